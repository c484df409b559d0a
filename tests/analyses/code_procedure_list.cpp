// The procedure list command: guards, numbering, the declarations row, the
// keyword filter, the done mark and failures, through a real database.
#include "analyses/code/ProcedureList.h"
#include "code_support.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::classHeader;
using tabulon::test::code::standardHeader;

namespace {

using Rows = std::vector<std::vector<QVariant>>;

QString cell(const Rows& rows, std::size_t r, std::size_t c) {
    const QVariant& v = rows.at(r).at(c);
    return v.isNull() ? QStringLiteral("<null>") : v.toString();
}

ProcedureListOptions detailed() { return {2, 0, 0}; }

const char* ProcColumns =
    "select objectNo, ProcedureNo, objectName, ProcedureName, PrivatePublic, Object, Type, DimCall, "
    "Parameters, \"As\" from T_XlProcName order by ID";
const char* DimColumns =
    "select objectNo, ProcedureNo, Line, DimCall, Bunrui, Type, \"As\", Parameters from T_XlDimCall order by ID";

class ProcedureListTest : public ::testing::Test {
protected:
    Workspace ws;
    Rows procs() { return ws.rows(QString::fromUtf8(ProcColumns)); }
    Rows dims() { return ws.rows(QString::fromUtf8(DimColumns)); }
    CodeOutcome run(ProcedureListOptions o, int standard = 1, int classes = 0, int forms = 0) {
        return runProcedureList(ws.context(standard, classes, forms), o);
    }
};

// ---- guards and the done mark ---------------------------------------------

TEST_F(ProcedureListTest, NoCountedModuleIsRefusedWithoutTouchingTables) {
    ws.write(QStringLiteral("ThisWorkbook.bok"), classHeader("ThisWorkbook") << "Sub A()" << "End Sub");
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
    EXPECT_EQ(first.report, QStringLiteral("R_ModuleList"));
    ws.write(QStringLiteral("N.bas"), standardHeader("N") << "Sub B()" << "End Sub");
    CodeOutcome again = run({2, 1, first.doneMark});
    EXPECT_FALSE(again.collected);
    EXPECT_EQ(again.report, QStringLiteral("R_ModuleList50"));
    EXPECT_EQ(procs().size(), 2u) << "tables untouched by the short run";
    CodeOutcome other = run({1, 0, again.doneMark});
    EXPECT_TRUE(other.collected);
    EXPECT_EQ(other.doneMark, 1);
    ASSERT_EQ(procs().size(), 2u);
    EXPECT_EQ(cell(procs(), 0, 1), "1") << "simple mode has no declarations row to number";
    EXPECT_TRUE(dims().empty());
    EXPECT_EQ(ws.progress.statuses.back(), QStringLiteral("終了しました"));
    EXPECT_EQ(ws.progress.values.back(), 100);
}

TEST_F(ProcedureListTest, ContinuedLastLineFailsWithErrorBoxAndKeepsRows) {
    ws.write(QStringLiteral("A.bas"), standardHeader("A") << "Sub A()" << "End Sub");
    ws.write(QStringLiteral("B.bas"), standardHeader("B") << "Sub B(x, _");
    const CodeOutcome out = run({2, 0, 1}, 2);
    EXPECT_EQ(out.end, CodeOutcome::End::Failed);
    EXPECT_EQ(out.errorNumber, 62);
    EXPECT_EQ(out.doneMark, 1) << "mark not updated";
    EXPECT_TRUE(out.report.isEmpty());
    ASSERT_EQ(ws.messages.shown.size(), 1u);
    EXPECT_TRUE(ws.messages.shown[0].startsWith(QStringLiteral("場所:プロシージャ一覧ｴﾗｰNo:62\r場所とｴﾗｰNoを控えメールをお願いします。\r内容:")));
    EXPECT_FALSE(ws.progress.busyNow);
    EXPECT_EQ(procs().size(), 1u) << "rows written before the failure stay";
}

// ---- numbering ---------------------------------------------------------------

TEST_F(ProcedureListTest, DeclarationsRowThenProceduresInDetailedMode) {
    ws.write(QStringLiteral("Module1.bas"), standardHeader("Module1") << "Option Explicit"
                                                << "Dim x As Long" << "" << "Sub A()" << "  Dim i As Integer"
                                                << "End Sub" << "Private Function B() As Long" << "End Function");
    run(detailed());
    const Rows p = procs();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(cell(p, 0, 1), "1");
    EXPECT_EQ(cell(p, 0, 5), QStringLiteral("(Declarations)"));
    EXPECT_EQ(cell(p, 0, 3), "<null>");
    EXPECT_EQ(cell(p, 0, 2), QStringLiteral("Module1.bas"));
    EXPECT_EQ(cell(p, 1, 1), "2");
    EXPECT_EQ(cell(p, 1, 3), "A");
    EXPECT_EQ(cell(p, 2, 1), "3");
    EXPECT_EQ(cell(p, 2, 4), "Private");
    EXPECT_EQ(cell(p, 2, 9), "Long");
    const Rows d = dims();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(cell(d, 0, 1), "1");
    EXPECT_EQ(cell(d, 0, 2), "3") << "physical line in the file, Attribute line included";
    EXPECT_EQ(cell(d, 1, 1), "2");
    EXPECT_EQ(cell(d, 1, 7), QStringLiteral("i As Integer"));
}

TEST_F(ProcedureListTest, ModuleNumbersRunAcrossKindsInFixedOrder) {
    ws.write(QStringLiteral("Sheet1.sht"), classHeader("Sheet1") << "Sub S()" << "End Sub");
    ws.write(QStringLiteral("ThisWorkbook.bok"), classHeader("ThisWorkbook") << "Sub W()" << "End Sub");
    ws.write(QStringLiteral("F.frm"), QStringList{"VERSION 5.00", "Attribute VB_Name = \"F\"", "Sub F()", "End Sub"});
    ws.write(QStringLiteral("C.cls"), classHeader("C") << "Public Sub C()" << "End Sub");
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub M()" << "End Sub");
    run(detailed(), 1, 1, 1);
    const Rows p = procs();
    ASSERT_EQ(p.size(), 5u);
    const char* names[] = {"M", "C", "F", "W", "S"};
    const char* objects[] = {"標準ﾓｼﾞｭｰﾙ", "ｸﾗｽﾓｼﾞｭｰﾙ", "ﾌｫｰﾑﾓｼﾞｭｰﾙ", "ﾌﾞｯｸﾓｼﾞｭｰﾙ", "ｼｰﾄﾓｼﾞｭｰﾙ"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(cell(p, i, 0), QString::number(i + 1));
        EXPECT_EQ(cell(p, i, 1), "1");
        EXPECT_EQ(cell(p, i, 3), QString::fromLatin1(names[i]));
        EXPECT_EQ(cell(p, i, 5), QString::fromUtf8(objects[i]));
    }
    const std::vector<int> expected{0, 33, 66, 99, 132, 165, 100};
    EXPECT_EQ(ws.progress.values, expected);
}

// ---- headers ------------------------------------------------------------------

TEST_F(ProcedureListTest, ContinuedHeaderIsOneRowWithBothPieces) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Public Function Sum(ByVal a As Long, _"
                                          << "                    ByVal b As Long) As Long" << "End Function"
                                          << "Sub Later()" << "  Call Sum(1, _" << "  2)");
    run(detailed());
    const Rows p = procs();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(cell(p, 0, 8), QStringLiteral("ByVal a As Long, ByVal b As Long"));
    const Rows d = dims();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(cell(d, 0, 2), "7") << "line number of the statement's last physical line";
    EXPECT_EQ(cell(d, 0, 7), QStringLiteral("Sum(1, 2)"));
}

// ---- declarations and calls --------------------------------------------------------

TEST_F(ProcedureListTest, KeywordFilterAndStatementRows) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub A()" << "    Dim i As Integer ' counter"
                                          << "    ReDim a(5)" << "\tDim t As Long" << "    Call Calc(a, b)"
                                          << "    Const K = 1" << "End Sub");
    run(detailed());
    const Rows d = dims();
    ASSERT_EQ(d.size(), 3u) << "ReDim and tab-indented Dim fail the begins-with test";
    EXPECT_EQ(cell(d, 0, 3), "4");
    EXPECT_EQ(cell(d, 0, 6), QStringLiteral(" counter"));
    EXPECT_EQ(cell(d, 1, 3), "6");
    EXPECT_EQ(cell(d, 1, 1), "1");
    EXPECT_EQ(cell(d, 2, 3), "5");
    EXPECT_EQ(cell(d, 2, 7), QStringLiteral("K = 1"));
}

TEST_F(ProcedureListTest, DeclarationsAfterTheFirstProcedureGetNoDeclarationsRow) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub A()" << "End Sub" << "Private z As Long");
    ws.write(QStringLiteral("N.bas"), standardHeader("N") << "Global g As Long" << "Sub B()" << "End Sub");
    run(detailed(), 2);
    const Rows p = procs();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(cell(p, 0, 3), "A");
    EXPECT_EQ(cell(p, 1, 5), QStringLiteral("(Declarations)"));
    EXPECT_EQ(cell(p, 1, 0), "2");
    EXPECT_EQ(cell(p, 2, 1), "2");
    const Rows d = dims();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(cell(d, 0, 1), "1");
    EXPECT_EQ(cell(d, 0, 5), QStringLiteral("Private"));
    EXPECT_EQ(cell(d, 1, 0), "2");
    EXPECT_EQ(cell(d, 1, 5), QStringLiteral("Global"));
}

}  // namespace
