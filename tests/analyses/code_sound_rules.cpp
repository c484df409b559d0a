// The code-line rules on ordinary VBA: string literals, trailing comments,
// 64-bit declarations, Exit statements, nested parentheses, Friend and
// Static, comment lines, indentation and whole words. Each case is one small
// module and the procedure rows a VBA programmer reads in it.
#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "analyses/code/ProcedureList.h"
#include "analyses/code/SourceList.h"
#include "code_support.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::standardHeader;

namespace {

struct ModuleCase {
    const char* rule;
    std::vector<const char*> lines;
    // Expected procedure rows, "name|scope|type|parameters|as" each.
    std::vector<const char*> procedures;
};

QString orNull(const QVariant& v) { return v.isNull() ? QStringLiteral("-") : v.toString(); }

class ProcedureRowsOnRealCode : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(ProcedureRowsOnRealCode, NamesScopesAndParts) {
    const ModuleCase& c = GetParam();
    Workspace ws;
    QStringList lines = standardHeader("M");
    for (const char* l : c.lines) lines << QString::fromUtf8(l);
    ws.write(QStringLiteral("M.bas"), lines);
    ASSERT_EQ(runProcedureList(ws.context(1), {1, 0, 0}).end, CodeOutcome::End::Report);
    QStringList got;
    for (const auto& r : ws.rows(QStringLiteral(
             "select ProcedureName, PrivatePublic, Type, Parameters, \"As\" from T_XlProcName order by ID")))
        got << QStringList{orNull(r[0]), orNull(r[1]), orNull(r[2]), orNull(r[3]), orNull(r[4])}.join(u'|');
    QStringList want;
    for (const char* p : c.procedures) want << QString::fromUtf8(p);
    EXPECT_EQ(got, want) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProcedureRowsOnRealCode,
    ::testing::Values(
        ModuleCase{"comment mark outside strings",
                   {"Function Q(ByVal x As String) As String ' \"quoted\" part",
                    "    Q = \"SELECT * WHERE name = '\" & x & \"'\"", "End Function"},
                   {"Q|Public|Function|ByVal x As String|String"}},
        ModuleCase{"64-bit declarations",
                   {"Private Declare PtrSafe Sub Sleep Lib \"kernel32\" (ByVal ms As LongPtr)",
                    "Declare PtrSafe Function GetTickCount Lib \"kernel32\" () As Long"},
                   {"Sleep|Private|Declare Sub|ByVal ms As LongPtr|-", "GetTickCount|Public|Declare Function|-|Long"}},
        ModuleCase{"exit statements are no headers",
                   {"Sub A(n)", "    If n > 1000 Then Exit Sub ' limit", "    Exit Function", "End Sub",
                    "Sub B()", "End Sub"},
                   {"A|Public|Sub|-|-", "B|Public|Sub|-|-"}},
        ModuleCase{"parameters to the matching parenthesis",
                   {"Function J(ParamArray v() As Variant) As String", "End Function",
                    "Sub K(a() As Long, Optional s As String = \"(x\")", "End Sub"},
                   {"J|Public|Function|ParamArray v() As Variant|String",
                    "K|Public|Sub|a() As Long, Optional s As String = \"(x\"|-"}},
        ModuleCase{"Friend and Static",
                   {"Private Static Function Counter() As Long", "End Function", "Friend Sub Init(ByVal n As Long)",
                    "End Sub", "Public Static Sub S()", "End Sub", "Private Static Property Get P() As Long",
                    "End Property"},
                   {"Counter|Private|Function|-|Long", "Init|Friend|Sub|ByVal n As Long|-", "S|Public|Sub|-|-",
                    "P|Private|Property Get|-|Long"}},
        ModuleCase{"comment lines are never headers",
                   {"' this function returns the total", "Rem Sub Old()", "Sub A()", "End Sub"},
                   {"A|Public|Sub|-|-"}},
        ModuleCase{"indented declarations",
                   {"#If VBA7 Then", "    Private Declare PtrSafe Function F Lib \"k\" () As Long", "#Else",
                    "\tPrivate Declare Function F Lib \"k\" () As Long", "#End If"},
                   {"F|Private|Declare Function|-|Long", "F|Private|Declare Function|-|Long"}},
        ModuleCase{"whole words in code",
                   {"Sub A()", "    GoSub StackPush", "    Assert \"1 Sub no args\"", "    x = y ' Find function resets",
                    "StackPush:", "End Sub"},
                   {"A|Public|Sub|-|-"}}));

TEST(DeclarationStatements, CommentColumnStartsOutsideStrings) {
    Workspace ws;
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Const Q As String = \"it's\" ' apostrophe");
    ASSERT_EQ(runProcedureList(ws.context(1), {2, 0, 0}).end, CodeOutcome::End::Report);
    const auto rows = ws.rows(QStringLiteral("select Parameters, \"As\" from T_XlDimCall"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("Q As String = \"it's\""));
    EXPECT_EQ(rows[0][1].toString(), QStringLiteral(" apostrophe"));
}

TEST(SourceSections, FriendHeadersAndExitLinesKeepTheirProcedure) {
    Workspace ws;
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Friend Sub Init()" << "    If x Then Exit Sub ' done"
                                                          << "    y = \"End Sub\"" << "End Sub" << "Dim z");
    ASSERT_EQ(runSourceList(ws.context(1), {1, 2, 0, 0}).end, CodeOutcome::End::Report);
    QStringList names;
    for (const auto& r : ws.rows(QStringLiteral("select ProcedureName from T_XlSource order by ID")))
        names << r[0].toString();
    EXPECT_EQ(names, (QStringList{"Init", "Init", "Init", "Init", "(Declarations)"}));
}

TEST(CodeLineRules, ExitStatementNeedsItsKeywordAsAWord) {
    EXPECT_TRUE(codeLine(u"If a Then Exit Sub").exit);
    EXPECT_TRUE(codeLine(u"x = 1:Exit Function: y = 2").exit);
    EXPECT_FALSE(codeLine(u"ExitSubroutine = 1").exit);
    EXPECT_FALSE(codeLine(u"s = \"Exit Sub\"").exit);
    EXPECT_FALSE(codeLine(u"x = 1 ' Exit Sub").exit);
}

TEST(CodeLineRules, EndPhraseInsideFriendIsNoEnd) {
    EXPECT_FALSE(isEndCode(codeLine(u"Friend Sub A()"), false));
    EXPECT_TRUE(isEndCode(codeLine(u"  End Sub ' done"), true));
    EXPECT_TRUE(isEndCode(codeLine(u"End Function"), true));
    EXPECT_FALSE(isEndCode(codeLine(u"' End Sub"), false));
}

TEST(CodeLineRules, ParenthesesNestAndSkipLiterals) {
    const auto span = parameterParens(maskStrings(u"Sub A(a(1), s = \")\")"));
    EXPECT_EQ(span.open, 6);
    EXPECT_EQ(span.close, 20);
    EXPECT_EQ(parameterParens(u"Sub A(x").open, 0) << "never closed";
}

TEST(CodeLineRules, ProgressShareIsCapped) {
    EXPECT_EQ(progressShare(1, 3), 33);
    EXPECT_EQ(progressShare(400, 400), 100);
    EXPECT_EQ(progressShare(500, 400), 100);
    EXPECT_EQ(progressShare(2, 0), 100);
}

}  // namespace
