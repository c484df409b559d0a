#pragma once
// The blank trim of the old runtime: only U+0020 counts as a blank. Tabs,
// full-width spaces and other white space stay, as Japanese texts need them.
// The intake (cover defaults, links) and the chapters trim alike with these.
#include <QString>

namespace tabulon {

// Blanks removed on both sides.
QString trimBlanks(const QString& text);
// Blanks removed at the end only.
QString trimTrailingBlanks(const QString& text);

}  // namespace tabulon
