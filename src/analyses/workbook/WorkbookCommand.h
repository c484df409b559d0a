#pragma once
// What a workbook-content command needs besides the code commands' context:
// the open workbook (asked for after the reopen rule has run), the path shown
// in lblDBName, and how many trailing sheets are old macro sheets.
#include "analyses/code/CodeCommand.h"
#include "host/Workbook.h"

#include <functional>

namespace tabulon::store {
class Table;
}

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

// The gathering frame of a chapter: opens the database, enters the busy
// convention, shows the gauge at 0 % and the collecting text, empties the
// table with its reset statement and hands it over for the rows. Rows written
// before a failure stay.
void collectInto(const WorkbookContext& ctx, const QString& table, const char* reset,
                 const QString& collecting, const std::function<void(store::Table&)>& writeRows);
// The end of a chapter that succeeded: its done mark, its report, finished, 100 %.
void finishChapter(const WorkbookContext& ctx, code::CodeOutcome& out, int doneMark, const QString& report);

// Progress after sheet i of n: 100 * i / n, halves rounded up.
int sheetProgress(int i, int n);

}  // namespace tabulon::analyses::workbook
