#pragma once
// What a workbook-content command needs besides the code commands' context:
// the open workbook (asked for after the reopen rule has run), the path shown
// in lblDBName, and how many trailing sheets are old macro sheets.
#include "analyses/code/CodeCommand.h"
#include "host/Workbook.h"

#include <functional>

namespace tabulon::analyses::workbook {

struct WorkbookContext {
    const code::CodeContext& base;   // messages, progress, database, reopen rule
    std::function<const host::Workbook*()> workbook;
    QString workbookPath;            // lblDBName
    int moduleSheetCount = 0;        // ModuleSheetCount
    QString appFolder;               // AppFolder, where AddIns.ini lies
};

// The open workbook after the reopen rule; Error 91 when none is open.
const host::Workbook& openWorkbook(const WorkbookContext& ctx);

// The sheets the workbook chapters walk: all but the old macro sheets.
int walkedSheetCount(const WorkbookContext& ctx, const host::Workbook& book);

// Progress after sheet i of n: 100 * i / n, halves rounded up.
int sheetProgress(int i, int n);

}  // namespace tabulon::analyses::workbook
