#pragma once
// The add-ins registered with the spreadsheet (AddIns.ini in the program
// folder) with their files, repeated under every sheet of the workbook, one
// T_XlAddin row each.
#include "analyses/workbook/WorkbookRun.h"

namespace tabulon::analyses::workbook {

inline const QString AddinPlace = QStringLiteral("場所:アドイン情報");
inline const QString AddinCollectingText = QStringLiteral("アドイン情報　取得中");

// Gathers on every run; the done mark of a completed run is 1. A registered
// add-in whose file is gone keeps its row with empty file columns.
code::CodeOutcome runAddinList(const WorkbookContext& ctx);

}  // namespace tabulon::analyses::workbook
