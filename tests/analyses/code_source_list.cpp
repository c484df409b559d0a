// The module source list command: guards, selections, the class header skip,
// sections and procedure names, the skip rule and the report choice.
#include "analyses/code/SourceList.h"
#include "code_support.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::classHeader;
using tabulon::test::code::lines;
using tabulon::test::code::standardHeader;

namespace {

class SourceListTest : public ::testing::Test {
protected:
    Workspace ws;
    // "label|objectNo|procedureNo|line|file|procedure|text" per row.
    QStringList rows() {
        return lines(ws.rows("select Label, objectNo, ProcedureNo, Line, objectName, ProcedureName, Procedure "
                             "from T_XlSource order by ID"));
    }
    CodeOutcome run(int selection, int standard = 1, int classes = 0, int forms = 0, int mark = 0) {
        return runSourceList(ws.context(standard, classes, forms), {tabulon::intake::ModuleSelection(selection), mark});
    }
    void writeClassAndModule() {
        ws.write(QStringLiteral("C.cls"), classHeader("C") << "Private m As Long" << "Public Property Get V() As Long"
                                              << "  V = m" << "End Property");
        ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub A()" << "End Sub");
    }
};

// No module holding code refuses every selection; one kind chosen alone is
// refused without a module of that kind.
TEST(SourceListGuards, RefuseBeforeTouchingTheTable) {
    const struct { int selection, standard, classes, forms; QString code, message; } cases[] = {
        {4, 0, 0, 0, "Option Explicit", "このﾌｧｲﾙにはModuleは存在しません"},
        {6, 0, 0, 0, "Option Explicit", "このﾌｧｲﾙにはModuleは存在しません"},
        {1, 0, 1, 1, "Sub W()", "標準ﾓｼﾞｭｰﾙは存在しません"},
        {2, 1, 0, 1, "Sub W()", "ｸﾗｽﾓｼﾞｭｰﾙは存在しません"},
        {3, 1, 1, 0, "Sub W()", "ﾌｫｰﾑﾓｼﾞｭｰﾙは存在しません"},
    };
    for (const auto& g : cases) {
        Workspace ws;
        ws.write(QStringLiteral("ThisWorkbook.bok"), classHeader("ThisWorkbook") << g.code);
        const CodeOutcome out = runSourceList(ws.context(g.standard, g.classes, g.forms),
                                              {tabulon::intake::ModuleSelection(g.selection), 0});
        EXPECT_EQ(out.end, CodeOutcome::End::Refused) << g.selection;
        EXPECT_EQ(ws.messages.shown, std::vector<QString>{g.message});
        EXPECT_EQ(ws.progress.statuses.back(), g.message) << "the status line says what the box says";
        EXPECT_EQ(out.doneMark, 0);
        EXPECT_TRUE(ws.rows(QStringLiteral("select * from T_XlSource")).empty());
    }
}

TEST_F(SourceListTest, SameSelectionOnlyShowsTheReportAgain) {
    writeClassAndModule();
    const CodeOutcome first = run(1, 1, 1);
    EXPECT_TRUE(first.collected);
    EXPECT_EQ(first.doneMark, 1);
    ws.write(QStringLiteral("N.bas"), standardHeader("N") << "Sub B()" << "End Sub");
    const CodeOutcome again = run(1, 1, 1, 0, first.doneMark);
    EXPECT_FALSE(again.collected);
    EXPECT_EQ(again.end, CodeOutcome::End::Report);
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(run(6, 1, 1, 0, again.doneMark).doneMark, 6);
}

TEST_F(SourceListTest, ClassSelectionKeepsTheVersionHeaderLines) {
    writeClassAndModule();
    run(2, 1, 1);
    const QString head = QStringLiteral("2|1|1|%1|C.cls|(Declarations)|");
    EXPECT_EQ(rows(), (QStringList{head.arg(1) + "VERSION 1.0 CLASS", head.arg(2) + "BEGIN",
                                   head.arg(3) + "  MultiUse = -1  'True",  // leading blanks kept
                                   head.arg(4) + "END", head.arg(5) + "Private m As Long",
                                   "2|1|1|6|C.cls|V|Public Property Get V() As Long", "2|1|1|7|C.cls|V|  V = m",
                                   "2|1|1|8|C.cls|V|End Property"}));
}

// Modules in file-name code point order whatever their kind: C.cls, M.bas,
// Sheet1.sht.
TEST_F(SourceListTest, AllSelectionSkipsTheHeaderAndTagsKindsByExtension) {
    writeClassAndModule();
    ws.write(QStringLiteral("Sheet1.sht"), classHeader("Sheet1") << "Private Sub Worksheet_Change(ByVal t As Range)"
                                               << "End Sub");
    const CodeOutcome out = run(6, 1, 1);
    const QStringList r = rows();
    ASSERT_EQ(r.size(), 8);
    EXPECT_EQ(r[0], "2|1|1|1|C.cls|(Declarations)|Private m As Long");
    EXPECT_EQ(r[4], "1|2|2|5|M.bas|A|Sub A()");
    EXPECT_EQ(r[6], "5|3|3|7|Sheet1.sht|Worksheet_Change|Private Sub Worksheet_Change(ByVal t As Range)");
    EXPECT_EQ(r[7], "5|3|3|8|Sheet1.sht|Worksheet_Change|End Sub");
    EXPECT_EQ(out.rows, 8);
    // 3 modules, N = 2: 50 per module, past 100 for the uncounted one.
    EXPECT_EQ(ws.progress.values, (std::vector<int>{0, 50, 100, 150, 100}));
}

// The sheet selection reports no progress per file; the workbook selection
// reports even without a workbook module file.
TEST_F(SourceListTest, SheetAndWorkbookSelections) {
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Sub A()" << "End Sub");
    ws.write(QStringLiteral("Sheet1.sht"), classHeader("Sheet1") << "Sub S()" << "End Sub");
    ws.write(QStringLiteral("Sheet2.sht"), classHeader("Sheet2"));
    run(5);
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(ws.progress.values, (std::vector<int>{0, 100}));
    EXPECT_EQ(run(4).end, CodeOutcome::End::Report);
    EXPECT_TRUE(rows().empty());
}

TEST_F(SourceListTest, SectionsRunFromHeaderToEndAcrossFiles) {
    ws.write(QStringLiteral("A.bas"), standardHeader("A") << "Option Explicit" << "Private Sub Foo()"
                                          << "    Exit Sub" << "  End Sub" << "Dim z" << "Friend Sub F()"
                                          << "End Sub" << "Static Function G()" << "End Function");
    ws.write(QStringLiteral("B.bas"), standardHeader("B") << "Public Property Get Bar()" << "End Property");
    run(1, 2);
    EXPECT_EQ(lines(ws.rows("select objectNo, ProcedureNo, Line, ProcedureName from T_XlSource order by ID")),
              (QStringList{"1|1|1|(Declarations)", "1|1|2|Foo", "1|1|3|Foo", "1|1|4|Foo", "1|2|5|(Declarations)",
                           "1|2|6|F", "1|2|7|F", "1|3|8|G", "1|3|9|G", "2|4|10|Bar", "2|4|11|Bar"}));
}

TEST_F(SourceListTest, SkipRuleAndTextLimits) {
    const QString longLine = QStringLiteral("' ") + QString(250, u'x') + QStringLiteral("   ") + QString(45, u'y');
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "" << "     " << "  Attribute X.VB_Invoke = 1"
                                          << "Attribute Y.VB_Description = \"d\"" << longLine
                                          << "x = 1   " << "\t");
    run(1);
    // Cut at 255, then trailing blanks removed; a tab is not blank.
    EXPECT_EQ(lines(ws.rows("select Line, Procedure from T_XlSource order by ID")),
              (QStringList{"1|  Attribute X.VB_Invoke = 1", "2|' " + QString(250, u'x'), "3|x = 1", "4|\t"}));
}

}  // namespace
