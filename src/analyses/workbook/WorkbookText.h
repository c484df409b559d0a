#pragma once
// The text rules the workbook chapters share: cuts that count characters,
// the "$" removal of cell addresses, the
// bracketed book reference of a linked workbook, and progress percentages.
#include "common/Blanks.h"

#include <QString>
#include <QtGlobal>

namespace tabulon::analyses::workbook {

// The first `length` characters; a cut that would fall between the two
// halves of a surrogate pair keeps the whole pair out.
QString cutChars(const QString& text, qsizetype length);
// The cut first, then the trim on both sides.
inline QString cutTrim(const QString& text, qsizetype length) { return trimBlanks(cutChars(text, length)); }
// The cut first, then the trailing blanks removed (leading blanks and tabs stay).
inline QString cutThenTrim(const QString& text, qsizetype length) {
    return trimTrailingBlanks(cutChars(text, length));
}

// Text with every occurrence of Find removed, compared without regard to
// case; the text after each removed occurrence is limited to 255 characters,
// and a removal at the very start also trims the rest. "$B$12" -> "B12".
// An empty Find leaves the text as it is.
QString StrDel(const QString& text, const QString& find);

// How a formula names a linked workbook: "C:\data\Prices.xls" ->
// "C:\data\[Prices.xls]"; "Prices.xls" -> "[Prices.xls]"; "" -> "".
QString LinkBookRef(const QString& path);

// round(100 × done / total), halves up, kept within 0..100; 0 when total is 0.
int percentOf(qint64 done, qint64 total);

}  // namespace tabulon::analyses::workbook
