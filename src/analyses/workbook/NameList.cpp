#include "analyses/workbook/NameList.h"

#include "analyses/workbook/WorkbookText.h"
#include "common/Error.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::analyses::workbook {

QString sheetPartOf(const QString& refersTo) {
    bool quoted = false;
    for (qsizetype i = 1; i < refersTo.size(); ++i) {
        const QChar ch = refersTo[i];
        if (ch == u'\'') quoted = !quoted;  // a doubled quote toggles twice
        else if (ch == u'!' && !quoted) return refersTo.mid(1, i - 1);
    }
    return QString();
}

NameRow nameRow(const host::Name& name) {
    NameRow row;
    row.labelName = name.name();
    const QString refersTo = name.refersTo();
    QString address;
    try {
        address = name.refersToRangeAddress();
    } catch (const Error& e) {
        if (e.number() != err::Refused) throw;
        row.sheetMei = refersTo;
        return row;
    }
    row.sheetMei = sheetPartOf(refersTo);
    row.stCell = cutChars(StrDel(address, QStringLiteral("$")), 200);
    return row;
}

std::vector<int> nameCollection(const host::Workbook& book) {
    std::vector<int> positions;
    for (int i = 1; i <= book.nameCount(); ++i) {
        const model::Name& model = book.model().names[size_t(i - 1)];
        if (!(model.vbaMacro && model.hidden)) positions.push_back(i);
    }
    return positions;
}

bool isListedName(const host::Name& name) { return !name.name().contains(u'!'); }

CodeOutcome runNameList(const WorkbookContext& ctx) {
    CodeOutcome out;
    code::runGuarded(ctx.messages, NamePlace, out, [&] {
        const host::Workbook& book = openWorkbook(ctx);
        out.collected = true;
        collectInto(ctx, QStringLiteral("T_XlName"), QStringLiteral("名前情報　取得中"),
                    [&](store::Table& table) {
            const std::vector<int> positions = nameCollection(book);
            const qint64 n = qint64(positions.size());
            qint64 done = 0;
            for (const int i : positions) {
                const host::Name name = book.name(i);
                if (isListedName(name)) {
                    const NameRow row = nameRow(name);
                    table.addNew();
                    table.set(QStringLiteral("StCell"), row.stCell);
                    table.set(QStringLiteral("LabelName"), row.labelName);
                    table.set(QStringLiteral("SheetMei"), row.sheetMei);
                    table.update();
                    ++out.rows;
                }
                ctx.progress.progress(percentOf(++done, n));
            }
        });
        finishChapter(ctx, out, 1);
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
