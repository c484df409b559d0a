#pragma once
// The book, sheet-object and link inventory: the workbook's file data and
// document properties (T_XlBook), its link sources (T_XlLink), and under the
// simple and detailed object options one row per sheet and per program module
// (T_XlObject). The detailed option visits every cell of every used range to
// count values, errors, formulas and comments.
#include "analyses/workbook/WorkbookRun.h"

namespace tabulon::analyses::workbook {

inline const QString ObjectPlace = QStringLiteral("場所:オブジェクト情報");
inline const QString CellPlace = QStringLiteral("場所:セル情報");

struct ObjectOptions {
    intake::ObjectOption option = intake::ObjectOption::SimpleObjects;
    int doneMark = 0;  // the object mark: the option the tables were filled with
};

// One sheet's row of T_XlObject.
struct SheetCounts {
    qint64 rows = 0, cols = 0, cells = 0, errors = 0, formulas = 0, comments = 0;
};
SheetCounts countSheet(const host::Sheet& sheet, bool detailed);

CodeOutcome runObjectInventory(const WorkbookContext& ctx, const ObjectOptions& options);

}  // namespace tabulon::analyses::workbook
