#include "analyses/workbook/AddinList.h"

#include "analyses/workbook/FolderFiles.h"
#include "host/AddIns.h"
#include "store/Database.h"
#include "store/ResetStatements.h"

#include <QDir>

namespace tabulon::analyses::workbook {

code::CodeOutcome runAddinList(const WorkbookContext& ctx) {
    code::CodeOutcome out;
    const auto& base = ctx.base;
    code::runGuarded(base, AddinPlace, out, [&] {
        const host::Workbook& book = openWorkbook(ctx);
        auto db = store::Database::open(base.databasePath);
        BusyGuard busy(base.progress);
        store::CommandScope scope(*db);
        base.progress.showGauge(true);
        base.progress.progress(0);
        db->execute(QString::fromLatin1(store::reset::XlAddin));
        base.progress.status(AddinCollectingText);
        const auto registry = host::AddInRegistry::load(
            QDir(ctx.appFolder).filePath(QString::fromLatin1(host::AddInRegistry::FileName)));
        auto table = db->openTable(QStringLiteral("T_XlAddin"));
        qint64 fileNo = 0;
        const int n = walkedSheetCount(ctx, book);
        for (int i = 1; i <= n; ++i) {
            const QString sheetName = book.sheet(i).name();
            for (int j = 1; j <= registry.count(); ++j) {
                const host::AddIn addIn = registry.registered(j);
                table->addNew();
                table->set(QStringLiteral("FileNo"), ++fileNo);
                table->set(QStringLiteral("Name"), addIn.name);
                table->set(QStringLiteral("FullName"), addIn.fullName);
                table->set(QStringLiteral("Title"), addIn.title);
                table->set(QStringLiteral("Installed"), addIn.installed);
                table->set(QStringLiteral("objectName"), sheetName);
                setFileFacts(*table, fileFacts(addIn.fullName));
                table->set(QStringLiteral("FilePath"), addIn.path);
                table->update();
            }
            base.progress.progress(sheetProgress(i, n));
        }
        table->close();
        out.rows = int(fileNo);
        out.collected = true;
        out.doneMark = 1;
        out.end = code::CodeOutcome::End::Report;
        out.report = AddinReport;
        base.progress.status(code::FinishedText);
        base.progress.progress(100);
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
