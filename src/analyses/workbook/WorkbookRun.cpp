#include "analyses/workbook/WorkbookRun.h"

#include "common/Error.h"
#include "intake/Rounding.h"
#include "store/Database.h"

namespace tabulon::analyses::workbook {

const host::Workbook& openWorkbook(const WorkbookContext& ctx) {
    const host::Workbook* book = ctx.workbook ? ctx.workbook() : nullptr;
    if (!book) throw Error(err::ObjectMissing, QStringLiteral("オブジェクト変数が設定されていません。"));
    return *book;
}

bool isModuleSheetName(const QString& name) {
    return name.left(6).compare(QLatin1String("MODULE"), Qt::CaseInsensitive) == 0;
}

std::vector<host::Sheet> documentedSheets(const host::Workbook& book) {
    std::vector<host::Sheet> sheets;
    const int count = book.sheetCount();
    sheets.reserve(size_t(count));
    for (int i = 1; i <= count; ++i) {
        host::Sheet sheet = book.sheet(i);
        if (!isModuleSheetName(sheet.name())) sheets.push_back(std::move(sheet));
    }
    return sheets;
}

GatherScope::GatherScope(ProgressPort& progress) : progress_(progress) {
    progress_.busy(true);
    progress_.showGauge(true);
    progress_.progress(0);
}

GatherScope::~GatherScope() { progress_.busy(false); }

void announceFinished(ProgressPort& progress) {
    progress.status(FinishedText);
    progress.progress(100);
}

void collectInto(const WorkbookContext& ctx, const QString& table,
                 const QString& collecting, const std::function<void(store::Table&)>& writeRows) {
    auto db = store::Database::open(ctx.databasePath);
    GatherScope gather(ctx.progress);
    store::CommandScope scope(*db);
    ctx.progress.status(collecting);
    db->clearTable(table);
    auto rows = db->openTable(table);
    writeRows(*rows);
    rows->close();
}

void finishChapter(const WorkbookContext& ctx, CodeOutcome& out, int doneMark) {
    out.doneMark = doneMark;
    out.end = CodeOutcome::End::Report;
    announceFinished(ctx.progress);
}

int sheetProgress(qint64 i, qint64 n) {
    if (n <= 0) return 100;
    return int(intake::roundHalfUp(100.0 * double(i) / double(n), 0));
}

}  // namespace tabulon::analyses::workbook
