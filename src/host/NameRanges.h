#pragma once
// The cell areas a defined name's formula covers, read straight from its
// tokens: only references, unions and their wrappers make a range.
#include "host/xls/Model.h"

#include <optional>
#include <vector>

namespace tabulon::host {

// Areas of the name's formula; nothing when the formula is not a range.
std::optional<std::vector<xls::Area>> nameAreas(const xls::NameModel& name, bool biff5 = false);

// "$A$1", "$A$1:$C$9", "$1:$3", "$A:$B" for one area.
QString areaAddress(const xls::Area& a);

bool isWholeRows(const xls::Area& a);
bool isWholeColumns(const xls::Area& a);

}  // namespace tabulon::host
