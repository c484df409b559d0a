#pragma once
// The faces reports are set in. The build prepares them from the system's
// Noto Sans CJK collections with a character map that names every shared
// glyph by its plain character (scripts/report-font.py): a PDF's text layer
// then reads 一覧 and 日 as printed, not as radical look-alikes. They carry
// families of their own and are registered with the application's font
// database from their files, so the PDF writer can embed them.
#include <QHash>
#include <QString>

namespace tabulon::reports {

struct PreparedFace {
    QString family;  // empty when the prepared fonts are not installed
    // Characters the face no longer maps, each with the character whose
    // glyph it shares (U+2F00 -> U+4E00).
    QHash<char32_t, char32_t> aliases;
};

// The prepared sans-serif or monospaced face, registered on first use from
// the fonts/ folder beside the executable, else the build's fonts/.
const PreparedFace& preparedFace(bool mono);
// The prepared serif face, which sets the Mincho texts of sheet prints.
const PreparedFace& preparedSerifFace();

}  // namespace tabulon::reports
