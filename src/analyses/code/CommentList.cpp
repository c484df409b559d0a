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
    const QString t = trim(line);
    if (t.size() >= 2 && t.startsWith(u'\''))
        return rtrim(mid(line, 2, CommentLimit));
    // Rem: the words after it, wherever the line is indented.
    const QString body = stripIndent(t);
    if (body.size() > 4 && upper(left(body, 4)) == u"REM ") {
        const QString text = rtrim(left(trim(mid(body, 5)), CommentLimit));
        if (!text.isEmpty()) return text;
    }
    return QString();
}

CodeOutcome runCommentList(const CodeContext& ctx) {
    CodeOutcome out;
    if (refuseWithoutModules(ctx, out)) return out;
    const ChapterFrame frame{CommentListPlace, QStringLiteral("T_XlComment"),
                             CommentCollectingText};
    runChapter(ctx, frame, out, 1, [&](store::Database& db) {
        SourceCursor& c = ctx.cursor;
        auto table = db.openTable(QStringLiteral("T_XlComment"));
        const std::vector<KindFile> files = allModuleFiles(c.workingFolder);
        qint64 commentNumber = 0;
        const ModuleKind* kind = nullptr;
        const auto begin = [&](int index) {
            kind = files[size_t(index)].kind;
            // Comments above the first procedure belong to no procedure.
            c.procedureName = NoDeclarationsName;
        };
        const auto line = [&](LineReader&) {
            if (c.rawLine.isEmpty() || c.rawLine.startsWith(u"Attribute")) return;
            if (isHeaderCode(procedureCodeLine(c.rawLine))) c.procedureName = GetProcName(c.rawLine);
            if (!isWholeLineComment(c.rawLine)) return;
            const QString text = commentText(c.rawLine);
            if (text.isNull()) return;
            table->addNew();
            table->set(QStringLiteral("Object"), kind->label);
            table->set(QStringLiteral("objectNo"), c.moduleNumber);
            table->set(QStringLiteral("ProcedureNo"), ++commentNumber);
            table->set(QStringLiteral("objectName"), moduleNameFromPath(c.filePath));
            table->set(QStringLiteral("ProcedureName"), c.procedureName);
            table->set(QStringLiteral("Comment"), text);
            table->update();
            ++out.rows;
        };
        readFiles(ctx, pathsOf(files), out, {begin, line, {}});
    });
    return out;
}

}  // namespace tabulon::analyses::code
