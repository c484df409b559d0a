// The code chapters leave nothing out: code that lives only in the workbook
// and sheet modules, a module that ends inside a continued statement, and
// declarations without a scope word in the procedure list.
#include "analyses/code/CommentList.h"
#include "analyses/code/ModuleSteps.h"
#include "analyses/code/ProcedureList.h"
#include "analyses/code/SourceList.h"
#include "code_support.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::classHeader;
using tabulon::test::code::lines;
using tabulon::test::code::standardHeader;
using tabulon::intake::ModuleSelection;
using tabulon::intake::ProcedureOption;

namespace {

// Event handlers in ThisWorkbook and a sheet module, the most common home of
// macros: no standard, class or form module exists, so no module is counted.
void writeEventCode(Workspace& ws) {
    ws.write(QStringLiteral("ThisWorkbook.bok"), classHeader("ThisWorkbook")
                                                     << "Option Explicit" << "' opens the menu"
                                                     << "Private Sub Workbook_Open()" << "    Menu.Show" << "End Sub");
    ws.write(QStringLiteral("Sheet1.sht"), classHeader("Sheet1") << "Private Sub Worksheet_Change(ByVal t As Range)"
                                                                 << "    ' recalculate" << "End Sub");
    ws.write(QStringLiteral("Sheet2.sht"), classHeader("Sheet2") << "Option Explicit");
}

TEST(DocumentModuleCode, EveryChapterThatReadsAllKindsListsIt) {
    Workspace ws;
    writeEventCode(ws);
    const CodeContext ctx = ws.context(0);
    ASSERT_EQ(runProcedureList(ctx, {ProcedureOption::Simple, 0}).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select objectName, ProcedureName, Object from T_XlProcName order by ID")),
              (QStringList{"ThisWorkbook.bok|Workbook_Open|ﾌﾞｯｸﾓｼﾞｭｰﾙ", "Sheet1.sht|Worksheet_Change|ｼｰﾄﾓｼﾞｭｰﾙ"}));
    ASSERT_EQ(runSourceList(ctx, {ModuleSelection::All, 0}).end, CodeOutcome::End::Report);
    EXPECT_EQ(ws.rows("select count(*) from T_XlSource where ProcedureName = 'Workbook_Open'")[0][0].toInt(), 3);
    ASSERT_EQ(runSourceList(ctx, {ModuleSelection::Sheet, 0}).end, CodeOutcome::End::Report) << "the sheet selection alone";
    ASSERT_EQ(runModuleSteps(ctx).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select objectName, ProcedureName, TotalCnt from T_XlModStep order by ID")),
              (QStringList{"ThisWorkbook.bok|(Declarations)|3", "ThisWorkbook.bok|Workbook_Open|2",
                           "Sheet1.sht|Worksheet_Change|3", "Sheet2.sht|(Declarations)|1"}));
    ASSERT_EQ(runCommentList(ctx).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select Object, ProcedureName, Comment from T_XlComment order by ID")),
              (QStringList{"ﾌﾞｯｸﾓｼﾞｭｰﾙ|(Declarations)|opens the menu", "ｼｰﾄﾓｼﾞｭｰﾙ|Worksheet_Change|recalculate"}));
    EXPECT_TRUE(ws.messages.shown.empty());
}

// A module whose last line ends in " _": the unfinished statement ends with
// the module, in the chapter that joins lines and in those that do not.
TEST(ContinuedLastLine, EndsTheStatementWithTheModule) {
    Workspace ws;
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub A()" << "    Call Run(1, _", false);
    ws.write(QStringLiteral("N.bas"), standardHeader("N") << "Sub B()" << "End Sub");
    const CodeOutcome out = runProcedureList(ws.context(2), {ProcedureOption::Detailed, 0});
    ASSERT_EQ(out.end, CodeOutcome::End::Report) << out.message.toStdString();
    EXPECT_EQ(lines(ws.rows("select objectNo, ProcedureName from T_XlProcName order by ID")),
              (QStringList{"1|A", "2|B"})) << "the next module is read as usual";
    EXPECT_EQ(lines(ws.rows("select Line, Type, Parameters from T_XlDimCall order by ID")),
              QStringList{"3|Call|Run(1,"});
    EXPECT_EQ(runSourceList(ws.context(2), {ModuleSelection::Standard, 0}).end, CodeOutcome::End::Report);
}

// Type and Enum without a scope word are Public in a standard module: the
// detailed procedure list shows them as definitions with the implied scope.
TEST(UnscopedDeclarations, TypeAndEnumRowsInTheProcedureList) {
    Workspace ws;
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Type OrderLine ' one line" << "    Qty As Long"
                                                          << "End Type" << "Enum Colour" << "    Red = 1"
                                                          << "End Enum" << "Enum LongPtr: [_]: End Enum"
                                                          << "Const RATE = 0.1" << "Sub A()"
                                                          << "End Sub");
    ASSERT_EQ(runProcedureList(ws.context(1), {ProcedureOption::Detailed, 0}).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select ProcedureNo, Line, DimCall, Bunrui, Type, \"As\", Parameters from T_XlDimCall "
                            "order by ID"),
                    "-"),
              (QStringList{"1|2|2|定義|(Public)| one line|OrderLine", "1|5|2|定義|(Public)|-|Colour",
                           "1|8|2|定義|(Public)|-|LongPtr", "1|9|5|定数|Const|-|RATE = 0.1"}));
}

}  // namespace
