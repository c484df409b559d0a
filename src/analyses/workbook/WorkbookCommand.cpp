#include "analyses/workbook/WorkbookCommand.h"

#include "intake/Rounding.h"
#include "store/Database.h"

#include <algorithm>

namespace tabulon::analyses::workbook {

const host::Workbook& openWorkbook(const WorkbookContext& ctx) {
    if (ctx.base.reopenWorkbook) ctx.base.reopenWorkbook();
    const host::Workbook* book = ctx.workbook ? ctx.workbook() : nullptr;
    if (!book)
        throw Error(err::ObjectMissing, QStringLiteral("オブジェクト変数が設定されていません。"));
    return *book;
}

int walkedSheetCount(const WorkbookContext& ctx, const host::Workbook& book) {
    return std::max(0, book.sheetCount() - ctx.moduleSheetCount);
}

void collectInto(const WorkbookContext& ctx, const QString& table, const char* reset,
                 const QString& collecting, const std::function<void(store::Table&)>& writeRows) {
    ProgressPort& progress = ctx.base.progress;
    auto db = store::Database::open(ctx.base.databasePath);
    BusyGuard busy(progress);
    store::CommandScope scope(*db);
    progress.showGauge(true);
    progress.progress(0);
    progress.status(collecting);
    db->execute(QString::fromLatin1(reset));
    auto rows = db->openTable(table);
    writeRows(*rows);
    rows->close();
}

void finishChapter(const WorkbookContext& ctx, code::CodeOutcome& out, int doneMark, const QString& report) {
    out.doneMark = doneMark;
    out.end = code::CodeOutcome::End::Report;
    out.report = report;
    ctx.base.progress.status(code::FinishedText);
    ctx.base.progress.progress(100);
}

int sheetProgress(int i, int n) {
    if (n <= 0) return 100;
    return int(intake::roundHalfUp(100.0 * i / n, 0));
}

}  // namespace tabulon::analyses::workbook
