#pragma once
// Whole numbers as users type them. A Japanese input method gives full-width
// digits ("８０") as readily as ASCII ones; both are read the same (Unicode
// compatibility normalisation, NFKC), and blanks around the number, full-width
// ones too, are ignored.
#include <QString>
#include <optional>

namespace tabulon {

// The number, or nothing when the text is not a whole number (a sign and
// decimal digits only).
std::optional<qint64> wholeNumber(const QString& text);

}  // namespace tabulon
