#pragma once
// Which exported modules hold code. A workbook saved with macros carries a
// module for the workbook and for every sheet, most of them empty; the code
// chapters are for workbooks whose modules, of any kind, hold more than that.
#include <QStringView>

namespace tabulon::intake {

// An exported module text holds code when a line of the module's own source
// (after the exporter's VERSION header, which ends where the first
// Attribute line begins) is neither blank nor an Attribute line nor an Option statement.
// Comments count: the comment list documents them.
bool holdsCode(QStringView exportText);

}  // namespace tabulon::intake
