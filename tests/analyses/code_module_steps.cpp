// Step counts and the comment list: sections, counters per module, the
// declarations row of a module without procedures, Rem comments and the
// procedure a comment is filed under.
#include "analyses/code/CommentList.h"
#include "analyses/code/ModuleSteps.h"
#include "code_support.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::classHeader;
using tabulon::test::code::lines;
using tabulon::test::code::standardHeader;

namespace {

// "module|procedure|name|comments|blanks|code|total" per row.
QStringList stepRows(Workspace& ws) {
    return lines(ws.rows("select objectNo, ProcedureNo, ProcedureName, ComentCnt, SpaceCnt, ProcCnt, TotalCnt "
                         "from T_XlModStep order by ID"));
}

TEST(ModuleSteps, DeclarationsAndProcedureRowsOfTheFirstModule) {
    Workspace ws;
    ws.write(QStringLiteral("A.bas"), standardHeader("A") << "Option Explicit" << "" << "Sub A()" << "x = 1"
                                                          << "" << "End Sub");
    const CodeOutcome out = runModuleSteps(ws.context(1));
    ASSERT_EQ(out.end, CodeOutcome::End::Report) << out.message.toStdString();
    EXPECT_EQ(out.doneMark, 1);
    EXPECT_EQ(stepRows(ws), (QStringList{"1|1|(Declarations)|0|0|2|2", "1|2|A|0|1|2|3"}));
}

TEST(ModuleSteps, CountsStayWithTheirModuleAndRunsRepeat) {
    Workspace ws;
    ws.write(QStringLiteral("A.bas"), standardHeader("A") << "Sub A()" << "End Sub" << "' trailing" << "   ");
    ws.write(QStringLiteral("B.bas"), standardHeader("B") << "Const K = 1" << "Rem note" << "Rem" << "\t' tabbed"
                                                          << "\t");
    ws.write(QStringLiteral("C.cls"), classHeader("C") << "Friend Sub F() ' sub part" << "End Sub");
    ASSERT_EQ(runModuleSteps(ws.context(2, 1)).end, CodeOutcome::End::Report);
    const QStringList first = stepRows(ws);
    // A: its trailing comment and blank line stay in A; B has declarations
    // only, its comments counted however marked or indented (a bare Rem, a
    // tab); C's class header lines and its first header are its declarations.
    EXPECT_EQ(first, (QStringList{"1|1|A|1|1|2|4", "2|1|(Declarations)|3|1|1|5", "3|1|(Declarations)|0|0|5|5",
                                  "3|2|F|0|0|1|1"}));
    ASSERT_EQ(runModuleSteps(ws.context(2, 1)).end, CodeOutcome::End::Report);
    EXPECT_EQ(stepRows(ws), first) << "a second run gives the same numbers";
}

// Every whole-line comment reads alike, however it is indented or marked.
TEST(CommentText, ApostropheAndRemCommentsAsWritten) {
    const struct { const char* line; const char* text; } cases[] = {
        {"'-", "-"},                       // the mark goes
        {"    ' note", "note"},            // indentation, mark and one blank go
        {"\t\t' tabbed", "tabbed"},        // indented with tabs: listed too
        {"'   1. open", "  1. open"},      // the author's layout after the blank stays
        {"'", nullptr},                    // nothing follows the mark
        {"  '   ", nullptr},
        {"Rem see below  ", "see below"},  // the words after Rem
        {"  rem lower", "lower"},
        {"\tRem\ttabbed", "tabbed"},
        {"Rem", nullptr},
        {"Remark = 1", nullptr},
        {"x = 1 ' trailing", nullptr},
    };
    for (const auto& c : cases) {
        const QString got = commentText(QString::fromUtf8(c.line));
        if (c.text) EXPECT_EQ(got, QString::fromUtf8(c.text)) << c.line;
        else EXPECT_TRUE(got.isNull()) << c.line;
    }
    EXPECT_EQ(commentText(QStringLiteral("'") + QString(300, u'c')).size(), 255);
}

TEST(CommentList, CommentsAreFiledUnderTheirProcedure) {
    Workspace ws;
    ws.cursor.procedureName = QStringLiteral("LeftOver");
    ws.write(QStringLiteral("A.bas"), standardHeader("A") << "' module note" << "Sub A()"
                                                          << "' this function returns the total" << "End Sub");
    ws.write(QStringLiteral("B.bas"), standardHeader("B") << "Rem first" << "Function B() As Long"
                                                          << "    ' inside" << "End Function");
    const CodeOutcome out = runCommentList(ws.context(2));
    ASSERT_EQ(out.end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select objectNo, ProcedureNo, ProcedureName, Comment from T_XlComment order by ID")),
              (QStringList{"1|1|(Declarations)|module note", "1|2|A|this function returns the total",
                           "2|3|(Declarations)|first", "2|4|B|inside"}));
    EXPECT_EQ(ws.progress.values, (std::vector<int>{0, 50, 100, 100}));
}

}  // namespace
