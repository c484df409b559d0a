#include "analyses/workbook/AddinList.h"

#include "analyses/workbook/FolderFiles.h"
#include "host/AddIns.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

#include <QDir>

namespace tabulon::analyses::workbook {

code::CodeOutcome runAddinList(const WorkbookContext& ctx) {
    code::CodeOutcome out;
    code::runGuarded(ctx.messages, AddinPlace, out, [&] {
        const host::Workbook& book = openWorkbook(ctx);
        const auto registry = host::AddInRegistry::load(
            QDir(ctx.appFolder).filePath(QString::fromLatin1(host::AddInRegistry::FileName)));
        // From here on the table no longer holds an earlier run's rows.
        out.collected = true;
        collectInto(ctx, QStringLiteral("T_XlAddin"), AddinCollectingText,
                    [&](store::Table& table) {
            qint64 fileNo = 0;
            const std::vector<host::Sheet> sheets = documentedSheets(book);
            const qint64 n = qint64(sheets.size());
            for (qint64 i = 1; i <= n; ++i) {
                const QString sheetName = sheets[size_t(i - 1)].name();
                for (int j = 1; j <= registry.count(); ++j) {
                    const host::AddIn addIn = registry.registered(j);
                    table.addNew();
                    table.set(QStringLiteral("FileNo"), ++fileNo);
                    table.set(QStringLiteral("Name"), addIn.name);
                    table.set(QStringLiteral("FullName"), addIn.fullName);
                    table.set(QStringLiteral("Title"), addIn.title);
                    table.set(QStringLiteral("Installed"), addIn.installed);
                    table.set(QStringLiteral("objectName"), sheetName);
                    setFileFacts(table, fileFacts(addIn.fullName));
                    table.set(QStringLiteral("FilePath"), addIn.path);
                    table.update();
                    ++out.rows;
                }
                ctx.progress.progress(sheetProgress(i, n));
            }
        });
        finishChapter(ctx, out, 1);
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
