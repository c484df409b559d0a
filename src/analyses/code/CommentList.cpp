#include "analyses/code/CommentList.h"

#include "analyses/code/ChapterRun.h"
#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "analyses/code/SourceList.h"
#include "store/Database.h"

namespace tabulon::analyses::code {

namespace {
constexpr int CommentLimit = 255;
}

QString commentText(const QString& line) {
    const QStringView words = commentWords(line);
    if (words.isNull()) return QString();
    const QString text = rtrim(left(words, CommentLimit));
    return text.isEmpty() ? QString() : text;
}

CodeOutcome runCommentList(const CodeContext& ctx) {
    CodeOutcome out;
    if (refuseWithoutModules(ctx, out)) return out;
    const ChapterFrame frame{CommentListPlace, QStringLiteral("T_XlComment"),
                             CommentCollectingText};
    runChapter(ctx, frame, out, 1, [&](store::Database& db) {
        SourceCursor& c = ctx.cursor;
        auto table = db.openTable(QStringLiteral("T_XlComment"));
        qint64 commentNumber = 0;
        const ModuleKind* kind = nullptr;
        const auto begin = [&](const CodeModule& module) {
            kind = module.kind;
            // Comments above the first procedure belong to no procedure.
            c.procedureName = NoDeclarationsName;
        };
        const auto line = [&](LineReader&) {
            if (c.rawLine.isEmpty() || c.rawLine.startsWith(u"Attribute")) return;
            if (isHeaderCode(procedureCodeLine(c.rawLine))) c.procedureName = GetProcName(c.rawLine);
            const QString text = commentText(c.rawLine);
            if (text.isNull()) return;
            table->addNew();
            table->set(QStringLiteral("Object"), kind->label);
            table->set(QStringLiteral("objectNo"), c.moduleNumber);
            table->set(QStringLiteral("ProcedureNo"), ++commentNumber);
            table->set(QStringLiteral("objectName"), c.moduleFile);
            table->set(QStringLiteral("ProcedureName"), c.procedureName);
            table->set(QStringLiteral("Comment"), text);
            table->update();
            ++out.rows;
        };
        readModules(ctx, allModules(ctx), out, {begin, line, {}});
    });
    return out;
}

}  // namespace tabulon::analyses::code
