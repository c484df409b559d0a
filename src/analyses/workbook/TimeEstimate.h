#pragma once
// The processing-time estimate: the cells of every used range
// counted, turned into minutes, shown in a message box. Writes nothing.
#include "analyses/workbook/WorkbookRun.h"

namespace tabulon::analyses::workbook {

inline const QString TimeCheckPlace = QStringLiteral("場所:処理時間確認");

// Cells per minute of the detailed object inventory and the formula list
// together, measured by bench/analyses/bench_workbook_chapters on the
// generated workbook of 1,000,000 cells (one core of the build machine),
// rounded down to a round figure.
inline constexpr qint64 kCellsPerMinute = 60'000'000;

// Rows × columns of every documented sheet's used range, empty cells included.
qint64 usedCellTotal(const host::Workbook& book);
// The message box text for `cells`.
QString estimateText(qint64 cells);

// Shows the estimate. The outcome's end is Report on success (no report).
CodeOutcome runTimeEstimate(const WorkbookContext& ctx);

}  // namespace tabulon::analyses::workbook
