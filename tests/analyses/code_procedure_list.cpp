// The procedure list command: guards, numbering, the declarations row, the
// keyword filter, the done mark and failures, through a real database.
#include "analyses/code/ProcedureList.h"
#include "code_support.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::classHeader;
using tabulon::test::code::standardHeader;
using tabulon::intake::ProcedureOption;

namespace {

ProcedureListOptions detailed() { return {ProcedureOption::Detailed, 0}; }

class ProcedureListTest : public ::testing::Test {
protected:
    Workspace ws;
    // One "a|b|c" line per row, empty fields as "-".
    QStringList rows(const char* sql) { return tabulon::test::code::lines(ws.rows(sql), QStringLiteral("-")); }
    QStringList procs() {
        return rows("select objectNo, ProcedureNo, objectName, ProcedureName, PrivatePublic, Object, Type, DimCall, "
                    "Parameters, \"As\" from T_XlProcName order by ID");
    }
    QStringList dims() {
        return rows("select objectNo, ProcedureNo, Line, DimCall, Bunrui, Type, \"As\", Parameters from T_XlDimCall "
                    "order by ID");
    }
    CodeOutcome run(ProcedureListOptions o, int standard = 1, int classes = 0, int forms = 0) {
        return runProcedureList(ws.context(standard, classes, forms), o);
    }
};

// Every saved workbook carries document modules; without code in any module
// the command says there is none.
TEST_F(ProcedureListTest, NoModuleHoldingCodeIsRefusedWithoutTouchingTables) {
    ws.write(QStringLiteral("ThisWorkbook.bok"), classHeader("ThisWorkbook") << "Option Explicit" << "");
    const CodeOutcome out = run(detailed(), 0, 0, 0);
    EXPECT_EQ(out.end, CodeOutcome::End::Refused);
    ASSERT_EQ(ws.messages.shown.size(), 1u);
    EXPECT_EQ(ws.messages.shown[0], QStringLiteral("このﾌｧｲﾙにはModuleは存在しません"));
    EXPECT_EQ(ws.progress.statuses.back(), ws.messages.shown[0]);
    EXPECT_EQ(ws.progress.busyChanges, 0);
    EXPECT_TRUE(procs().empty());
}

TEST_F(ProcedureListTest, SameModeShowsAgainOtherModeRebuilds) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Dim x As Long" << "Sub A()" << "End Sub");
    CodeOutcome first = run(detailed());
    ASSERT_EQ(first.end, CodeOutcome::End::Report) << first.message.toStdString();
    EXPECT_EQ(first.doneMark, 2);
    EXPECT_TRUE(first.collected);
    ws.write(QStringLiteral("N.bas"), standardHeader("N") << "Sub B()" << "End Sub");
    CodeOutcome again = run({ProcedureOption::Detailed, first.doneMark});
    EXPECT_EQ(again.end, CodeOutcome::End::Report);
    EXPECT_FALSE(again.collected);
    EXPECT_EQ(procs().size(), 2) << "tables untouched by the short run";
    CodeOutcome other = run({ProcedureOption::Simple, again.doneMark});
    EXPECT_TRUE(other.collected);
    EXPECT_EQ(other.doneMark, 1);
    ASSERT_EQ(procs().size(), 2);
    EXPECT_TRUE(procs()[0].startsWith("1|1|M.bas|A|")) << "simple mode has no declarations row to number";
    EXPECT_TRUE(dims().empty());
    EXPECT_EQ(ws.progress.statuses.back(), QStringLiteral("終了しました"));
    EXPECT_EQ(ws.progress.values.back(), 100);
}

// A declaration row the database refuses (here by a trigger) fails the run.
TEST_F(ProcedureListTest, FailureShowsTheErrorBoxAndKeepsRows) {
    ws.write(QStringLiteral("A.bas"), standardHeader("A") << "Sub A()" << "End Sub");
    ws.write(QStringLiteral("B.bas"), standardHeader("B") << "Dim x");
    tabulon::store::Database::open(ws.dbPath())->execute(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE INSERT ON T_XlDimCall BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    const CodeOutcome out = run({ProcedureOption::Detailed, 1}, 2);
    EXPECT_EQ(out.end, CodeOutcome::End::Failed);
    EXPECT_NE(out.errorNumber, 0);
    EXPECT_EQ(out.doneMark, 1) << "mark not updated";
    ASSERT_EQ(ws.messages.shown.size(), 1u);
    EXPECT_TRUE(ws.messages.shown[0].startsWith(QStringLiteral("場所:プロシージャ一覧ｴﾗｰNo:"))) << ws.messages.shown[0].toStdString();
    EXPECT_FALSE(ws.progress.busyNow);
    EXPECT_EQ(procs().size(), 2) << "rows written before the failure stay (A's procedure, B's declarations row)";
}

TEST_F(ProcedureListTest, DeclarationsRowThenProceduresInDetailedMode) {
    ws.write(QStringLiteral("Module1.bas"), standardHeader("Module1") << "Option Explicit"
                                                << "Dim x As Long" << "" << "Sub A()" << "  Dim i As Integer"
                                                << "End Sub" << "Private Function B() As Long" << "End Function");
    run(detailed());
    EXPECT_EQ(procs(), (QStringList{"1|1|Module1.bas|-|-|(Declarations)|-|-|-|-",
                                           "1|2|Module1.bas|A|Public|標準ﾓｼﾞｭｰﾙ|Sub|0|-|-",
                                           "1|3|Module1.bas|B|Private|標準ﾓｼﾞｭｰﾙ|Function|0|-|Long"}));
    // Line: the physical line in the file, the Attribute line included.
    EXPECT_EQ(dims(), (QStringList{"1|1|3|4|変数|Dim|-|x As Long", "1|2|6|4|変数|Dim|-|i As Integer"}));
}

TEST_F(ProcedureListTest, ModuleNumbersRunAcrossKindsInFixedOrder) {
    ws.write(QStringLiteral("Sheet1.sht"), classHeader("Sheet1") << "Sub S()" << "End Sub");
    ws.write(QStringLiteral("ThisWorkbook.bok"), classHeader("ThisWorkbook") << "Sub W()" << "End Sub");
    ws.write(QStringLiteral("F.frm"), QStringList{"VERSION 5.00", "Attribute VB_Name = \"F\"", "Sub F()", "End Sub"});
    ws.write(QStringLiteral("C.cls"), classHeader("C") << "Public Sub C()" << "End Sub");
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub M()" << "End Sub");
    run(detailed(), 1, 1, 1);
    EXPECT_EQ(rows("select objectNo, ProcedureNo, ProcedureName, Object from T_XlProcName order by ID"),
              (QStringList{"1|1|M|標準ﾓｼﾞｭｰﾙ", "2|1|C|ｸﾗｽﾓｼﾞｭｰﾙ", "3|1|F|ﾌｫｰﾑﾓｼﾞｭｰﾙ", "4|1|W|ﾌﾞｯｸﾓｼﾞｭｰﾙ",
                           "5|1|S|ｼｰﾄﾓｼﾞｭｰﾙ"}));
    EXPECT_EQ(ws.progress.values, (std::vector<int>{0, 33, 66, 99, 132, 165, 100}));
}

TEST_F(ProcedureListTest, ContinuedHeaderIsOneRowWithBothPieces) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Public Function Sum(ByVal a As Long, _"
                                          << "                    ByVal b As Long) As Long" << "End Function"
                                          << "Sub Later()" << "  Call Sum(1, _" << "  2)");
    run(detailed());
    EXPECT_EQ(procs(), (QStringList{"1|1|M.bas|Sum|Public|標準ﾓｼﾞｭｰﾙ|Function|0|ByVal a As Long, ByVal b As Long|Long",
                                           "1|2|M.bas|Later|Public|標準ﾓｼﾞｭｰﾙ|Sub|0|-|-"}));
    // Line: the statement's last physical line.
    EXPECT_EQ(dims(), QStringList{"1|2|7|6|呼出|Call|-|Sum(1, 2)"});
}

// ReDim and a tab-indented Dim fail the begins-with test.
TEST_F(ProcedureListTest, KeywordFilterAndStatementRows) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub A()" << "    Dim i As Integer ' counter"
                                          << "    ReDim a(5)" << "\tDim t As Long" << "    Call Calc(a, b)"
                                          << "    Const K = 1" << "End Sub");
    run(detailed());
    EXPECT_EQ(dims(), (QStringList{"1|1|3|4|変数|Dim| counter|i As Integer", "1|1|6|6|呼出|Call|-|Calc(a, b)",
                                          "1|1|7|5|定数|Const|-|K = 1"}));
}

TEST_F(ProcedureListTest, DeclarationsAfterTheFirstProcedureGetNoDeclarationsRow) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub A()" << "End Sub" << "Private z As Long");
    ws.write(QStringLiteral("N.bas"), standardHeader("N") << "Global g As Long" << "Sub B()" << "End Sub");
    run(detailed(), 2);
    EXPECT_EQ(rows("select objectNo, ProcedureNo, ProcedureName, Object from T_XlProcName order by ID"),
              (QStringList{"1|1|A|標準ﾓｼﾞｭｰﾙ", "2|1|-|(Declarations)", "2|2|B|標準ﾓｼﾞｭｰﾙ"}));
    EXPECT_EQ(dims(), (QStringList{"1|1|4|3|変数|Private|-|z As Long", "2|1|2|1|変数|Global|-|g As Long"}));
}

}  // namespace
