#include "analyses/workbook/LinkSearch.h"

#include "analyses/workbook/CellInventory.h"
#include "analyses/workbook/WorkbookText.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::analyses::workbook {

LinkReference::LinkReference(const QString& path) {
    if (path.isEmpty()) return;
    QString doubled = path;
    doubled.replace(u'\'', QStringLiteral("''"));
    forms_ << LinkBookRef(path) << u'\'' + doubled + QStringLiteral("'!") << path + u'!';
    if (doubled != path) forms_ << LinkBookRef(doubled);
}

bool LinkReference::foundIn(const QString& formula) const {
    if (!formula.startsWith(u'=')) return false;
    for (const QString& form : forms_)
        if (formula.contains(form, Qt::CaseSensitive)) return true;
    return false;
}

CodeOutcome runLinkSearch(const WorkbookContext& ctx, const QString& chosen) {
    CodeOutcome out;
    const LinkReference reference(chosen);
    if (reference.isEmpty()) {
        ctx.messages.message(NoLinkChosenText);
        out.message = NoLinkChosenText;
        return out;
    }
    code::runGuarded(ctx.messages, LinkSearchPlace, out, [&] {
        const host::Workbook& book = openWorkbook(ctx);
        auto db = store::Database::open(ctx.databasePath);
        store::CommandScope scope(*db);
        GatherScope busy(ctx.progress);
        db->clearTable(QStringLiteral("T_XlCalc"));
        out.collected = true;
        ctx.progress.status(QStringLiteral("リンク先を検索中..."));
        CalcRows rows(*db);
        const std::vector<host::Sheet> sheets = documentedSheets(book);
        const qint64 n = qint64(sheets.size());
        qint64 ordinal = 0;
        for (const host::Sheet& sheet : sheets) {
            ++ordinal;
            sheet.usedRange().forEach([&](const host::Cell& cell) {
                if (!cell.beginsWithEquals()) return true;
                const QString formula = cell.formula();
                if (reference.foundIn(formula))
                    rows.add({9, sheet.name(), ordinal, storedAddress(cell), trimBlanks(formula), QString()});
                return true;
            });
            ctx.progress.progress(percentOf(ordinal, n));
        }
        out.rows = int(rows.written());
        announceFinished(ctx.progress);
        out.end = CodeOutcome::End::Report;
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
