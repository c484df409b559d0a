#pragma once
// Range addresses as the spreadsheet writes them for a name's cells or a
// print area: whole rows and columns by their own notation.
#include "host/model/Book.h"

namespace tabulon::host {

// "$A$1", "$A$1:$C$9", "$1:$3", "$A:$B" for one area of the book's grid.
QString areaAddress(const model::Area& a, const model::Book& book);

bool isWholeRows(const model::Area& a, const model::Book& book);
bool isWholeColumns(const model::Area& a, const model::Book& book);

}  // namespace tabulon::host
