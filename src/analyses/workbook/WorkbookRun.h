#pragma once
// What a workbook chapter needs from whoever runs it (the window, the command
// line, a test): the open workbook, the database, the message box and the
// progress display. Like the code commands, the chapters hold no window
// state: options and done marks come in, the outcome goes out.
#include "analyses/code/CodeCommand.h"
#include "host/Workbook.h"
#include "intake/Options.h"

#include <QString>
#include <functional>
#include <vector>

namespace tabulon::store {
class Table;
}

namespace tabulon::analyses::workbook {

using code::CodeOutcome;

struct WorkbookContext {
    QString databasePath;  // DbPath
    MessagePort& messages;
    ProgressPort& progress;
    // The open workbook, or null when none is loaded.
    std::function<const host::Workbook*()> workbook;
    QString workbookPath;  // the open workbook's path
    QString appFolder;     // AppFolder, where AddIns.ini lies
};

inline const QString FinishedText = QStringLiteral("終了しました");

// The open workbook; Error 91 when none is loaded.
const host::Workbook& openWorkbook(const WorkbookContext& ctx);

// The sheets the chapters document, in the workbook's order: every sheet the
// intake lists, that is all but those named "MODULE..." (in any case),
// wherever they stand. Hidden sheets, chart and dialog sheets included.
std::vector<host::Sheet> documentedSheets(const host::Workbook& book);
bool isModuleSheetName(const QString& name);

// The busy convention with the gauge shown at 0 %.
class GatherScope {
public:
    explicit GatherScope(ProgressPort& progress);
    ~GatherScope();
    GatherScope(const GatherScope&) = delete;
    GatherScope& operator=(const GatherScope&) = delete;

private:
    ProgressPort& progress_;
};

// The end of a completed run: "終了しました" at 100 %.
void announceFinished(ProgressPort& progress);

// The gathering frame of a chapter with one table: opens the database, enters
// the busy convention with the gauge at 0 %, shows the collecting text,
// empties the table and hands it over for the rows.
// Rows written before a failure stay.
void collectInto(const WorkbookContext& ctx, const QString& table,
                 const QString& collecting, const std::function<void(store::Table&)>& writeRows);
// The end of a chapter that succeeded: its done mark, finished, 100 %.
void finishChapter(const WorkbookContext& ctx, CodeOutcome& out, int doneMark);

// Progress after sheet i of n: 100 * i / n, halves rounded up.
int sheetProgress(qint64 i, qint64 n);

}  // namespace tabulon::analyses::workbook
