#include "host/NameRanges.h"

#include "host/model/Notation.h"

namespace tabulon::host {

using model::Area;

bool isWholeRows(const Area& a, const model::Book& book) { return a.firstCol == 0 && a.lastCol == book.lastCol; }

bool isWholeColumns(const Area& a, const model::Book& book) {
    return a.firstRow == 0 && a.lastRow == book.lastRow && !isWholeRows(a, book);
}

QString areaAddress(const Area& a, const model::Book& book) {
    if (isWholeRows(a, book))
        return QStringLiteral("$%1:$%2").arg(a.firstRow + 1).arg(a.lastRow + 1);
    if (isWholeColumns(a, book))
        return QStringLiteral("$%1:$%2").arg(model::a1Column(a.firstCol), model::a1Column(a.lastCol));
    const QString first = model::cellAddress(a.firstRow, a.firstCol, true);
    if (a.firstRow == a.lastRow && a.firstCol == a.lastCol) return first;
    return first + QLatin1Char(':') + model::cellAddress(a.lastRow, a.lastCol, true);
}

}  // namespace tabulon::host
