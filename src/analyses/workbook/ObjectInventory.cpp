#include "analyses/workbook/ObjectInventory.h"

#include "analyses/workbook/WorkbookText.h"
#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/vba/Project.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

#include <QFileInfo>

namespace tabulon::analyses::workbook {

SheetCounts countSheet(const host::Sheet& sheet, bool detailed) {
    const host::Range used = sheet.usedRange();
    SheetCounts c;
    c.rows = used.rowCount();
    c.cols = used.columnCount();
    if (!detailed) {
        c.cells = used.count();
        return c;
    }
    qint64 filled = 0;
    used.forEach([&](const host::Cell& cell) {
        if (cell.isError())
            ++c.errors;
        else if (!cell.isEmpty())
            ++filled;
        if (cell.beginsWithEquals()) ++c.formulas;
        if (!cell.noteText().isEmpty()) ++c.comments;
        return true;
    });
    c.cells = filled + c.errors;
    return c;
}

namespace {

QString componentClass(vba::ComponentType type) {
    switch (type) {
    case vba::ComponentType::Standard: return QStringLiteral("標準ﾓｼﾞｭｰﾙ");
    case vba::ComponentType::Class: return QStringLiteral("ｸﾗｽﾓｼﾞｭｰﾙ");
    case vba::ComponentType::Form: return QStringLiteral("ﾌｫｰﾑﾓｼﾞｭｰﾙ");
    default: return {};
    }
}

class Run {
public:
    Run(const WorkbookContext& ctx, const host::Workbook& book, store::Database& db, intake::ObjectOption option,
        CodeOutcome& out)
        : ctx_(ctx), book_(book), db_(db), option_(option), out_(out) {}

    void bookRow() {
        ctx_.progress.status(QStringLiteral("Book 情報　取得中"));
        const QString fullName = book_.fullName();
        const QFileInfo file(fullName);
        auto t = db_.openTable(QStringLiteral("T_XlBook"));
        t->addNew();
        t->set(QStringLiteral("BookNo"), 1);
        t->set(QStringLiteral("XFileName"), cutTrim(fullName, 125));
        t->set(QStringLiteral("FileSize"), double(file.size()) / 1024.0);
        t->set(QStringLiteral("Title"), cutTrim(text(1), 125));
        t->set(QStringLiteral("SubTitle"), cutTrim(text(2), 125));
        t->set(QStringLiteral("Auther"), cutTrim(text(3), 20));
        t->set(QStringLiteral("Keywords"), cutTrim(text(4), 50));
        t->set(QStringLiteral("Comments"), property(5));
        t->set(QStringLiteral("LastAuther"), cutTrim(text(7), 20));
        t->set(QStringLiteral("UpdateDate"), file.lastModified());
        t->set(QStringLiteral("PrintDate"), property(10));
        t->set(QStringLiteral("CreateDate"), property(11));
        t->set(QStringLiteral("Category"), cutTrim(text(18), 30));
        t->set(QStringLiteral("Manager"), cutTrim(text(20), 20));
        t->set(QStringLiteral("Company"), cutTrim(text(21), 125));
        t->set(QStringLiteral("Hyperlink"), property(29));
        t->set(QStringLiteral("Label"), int(option_));
        t->update();
        ++out_.rows;
        ctx_.progress.progress(5);
    }

    void links() {
        ctx_.progress.status(QStringLiteral("リンク情報　取得中"));
        auto t = db_.openTable(QStringLiteral("T_XlLink"));
        int linkNo = 0;
        for (const auto& [kind, type] : {std::pair{host::LinkExcel, "Excel"}, std::pair{host::LinkOle, "OLE"}}) {
            for (const QString& source : book_.linkSources(kind)) {
                t->addNew();
                t->set(QStringLiteral("BookNo"), 1);
                t->set(QStringLiteral("LinkNo"), ++linkNo);
                t->set(QStringLiteral("LinkType"), QString::fromLatin1(type));
                t->set(QStringLiteral("LinkMoto"), cutTrim(source, 130));
                t->update();
                ++out_.rows;
            }
        }
    }

    void sheetsAndModules() {
        auto t = db_.openTable(QStringLiteral("T_XlObject"));
        ctx_.progress.progress(8);
        ctx_.progress.status(QStringLiteral("セル情報　取得中"));
        const std::vector<host::Sheet> sheets = documentedSheets(book_);
        const qint64 n = qint64(sheets.size());
        qint64 i = 0;
        for (const host::Sheet& sheet : sheets) {
            const SheetCounts c = countSheet(sheet, option_ == intake::ObjectOption::DetailedObjects);
            t->addNew();
            t->set(QStringLiteral("BookNo"), 1);
            t->set(QStringLiteral("objectNo"), ++objectNo_);
            t->set(QStringLiteral("Class"), QStringLiteral("ﾜｰｸｼｰﾄ"));
            t->set(QStringLiteral("objectName"), sheet.name());
            t->set(QStringLiteral("Row"), c.rows);
            t->set(QStringLiteral("Col"), c.cols);
            t->set(QStringLiteral("CellCount"), c.cells);
            t->set(QStringLiteral("ErrCount"), c.errors);
            t->set(QStringLiteral("ShapeCount"), qint64(sheet.shapes().size()));
            t->set(QStringLiteral("CalCount"), c.formulas);
            t->set(QStringLiteral("StVisible"), sheet.visible());
            t->set(QStringLiteral("ComentCount"), c.comments);
            t->update();
            ++out_.rows;
            ++i;
            ctx_.progress.progress(8 + percentOf(88 * i, 100 * n));
        }
        ctx_.progress.progress(96);
        ctx_.progress.status(QStringLiteral("ﾓｼﾞｭｰﾙ情報　取得中"));
        for (const vba::Component& component : components()) {
            const QString cls = componentClass(component.type);
            if (cls.isEmpty()) continue;
            t->addNew();
            t->set(QStringLiteral("BookNo"), 1);
            t->set(QStringLiteral("objectNo"), ++objectNo_);
            t->set(QStringLiteral("Class"), cls);
            t->set(QStringLiteral("objectName"), component.name);
            t->update();
            ++out_.rows;
        }
    }

private:
    // The modules of the project; none when the project is damaged (the
    // code chapters say so; the sheets are listed all the same).
    QList<vba::Component> components() const {
        try {
            return book_.vbaProject()->components();
        } catch (const host::ReadError& e) {
            if (e.kind() != host::ReadFailure::ProjectDamaged) throw;
            return {};
        }
    }

    // Each property on its own: one the workbook does not hold (a date of a
    // workbook never printed) stays empty and takes no other with it.
    QVariant property(int position) const {
        try {
            return book_.builtinProperty(position);
        } catch (const Error& e) {
            if (e.number() != err::PropertyNotHeld) throw;
            return QVariant();
        }
    }

    QString text(int position) const {
        const QVariant v = property(position);
        return v.isValid() ? v.toString() : QString();
    }

    const WorkbookContext& ctx_;
    const host::Workbook& book_;
    store::Database& db_;
    intake::ObjectOption option_;
    CodeOutcome& out_;
    qint64 objectNo_ = 0;
};

}  // namespace

CodeOutcome runObjectInventory(const WorkbookContext& ctx, const ObjectOptions& options) {
    CodeOutcome out;
    out.doneMark = options.doneMark;
    code::GuardRules rules{CellPlace, true};
    code::runGuarded(ctx.messages, ObjectPlace, out, [&] {
        if (options.doneMark != int(options.option)) {
            const host::Workbook& book = openWorkbook(ctx);
            auto db = store::Database::open(ctx.databasePath);
            store::CommandScope scope(*db);
            GatherScope busy(ctx.progress);
            db->clearTable(QStringLiteral("T_XlBook"));
            db->clearTable(QStringLiteral("T_XlObject"));
            db->clearTable(QStringLiteral("T_XlLink"));
            out.doneMark = 0;
            out.collected = true;
            Run run(ctx, book, *db, options.option, out);
            run.bookRow();
            run.links();
            if (options.option != intake::ObjectOption::Book) run.sheetsAndModules();
        }
        announceFinished(ctx.progress);
        out.doneMark = int(options.option);
        out.end = CodeOutcome::End::Report;
    }, rules);
    return out;
}

}  // namespace tabulon::analyses::workbook
