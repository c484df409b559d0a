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
using tabulon::test::code::lines;
using tabulon::test::code::standardHeader;

using tabulon::intake::ProcedureOption;
using tabulon::intake::ModuleSelection;

namespace {

// Procedure rows read "name|scope|type|parameters|as".
TEST(ProcedureRowsOnRealCode, NamesScopesAndParts) {
    const struct { const char* rule; QStringList lines, procedures; } cases[] = {
        {"comment mark outside strings",
         {"Function Q(ByVal x As String) As String ' \"quoted\" part",
          "    Q = \"SELECT * WHERE name = '\" & x & \"'\"", "End Function"},
         {"Q|Public|Function|ByVal x As String|String"}},
        {"64-bit declarations",
         {"Private Declare PtrSafe Sub Sleep Lib \"kernel32\" (ByVal ms As LongPtr)",
          "Declare PtrSafe Function GetTickCount Lib \"kernel32\" () As Long"},
         {"Sleep|Private|Declare Sub|ByVal ms As LongPtr|-", "GetTickCount|Public|Declare Function|-|Long"}},
        {"exit statements are no headers",
         {"Sub A(n)", "    If n > 1000 Then Exit Sub ' limit", "    Exit Function", "End Sub",
          "Sub B()", "End Sub"},
         {"A|Public|Sub|-|-", "B|Public|Sub|-|-"}},
        {"parameters to the matching parenthesis",
         {"Function J(ParamArray v() As Variant) As String", "End Function",
          "Sub K(a() As Long, Optional s As String = \"(x\")", "End Sub"},
         {"J|Public|Function|ParamArray v() As Variant|String",
          "K|Public|Sub|a() As Long, Optional s As String = \"(x\"|-"}},
        {"Friend and Static",
         {"Private Static Function Counter() As Long", "End Function", "Friend Sub Init(ByVal n As Long)",
          "End Sub", "Public Static Sub S()", "End Sub", "Private Static Property Get P() As Long",
          "End Property"},
         {"Counter|Private|Function|-|Long", "Init|Friend|Sub|ByVal n As Long|-", "S|Public|Sub|-|-",
          "P|Private|Property Get|-|Long"}},
        {"comment lines are never headers",
         {"' this function returns the total", "Rem Sub Old()", "Sub A()", "End Sub"},
         {"A|Public|Sub|-|-"}},
        {"indented declarations",
         {"#If VBA7 Then", "    Private Declare PtrSafe Function F Lib \"k\" () As Long", "#Else",
          "\tPrivate Declare Function F Lib \"k\" () As Long", "#End If"},
         {"F|Private|Declare Function|-|Long", "F|Private|Declare Function|-|Long"}},
        {"whole words in code",
         {"Sub A()", "    GoSub StackPush", "    Assert \"1 Sub no args\"", "    x = y ' Find function resets",
          "StackPush:", "End Sub"},
         {"A|Public|Sub|-|-"}},
    };
    for (const auto& c : cases) {
        Workspace ws;
        ws.write(QStringLiteral("M.bas"), standardHeader("M") + c.lines);
        ASSERT_EQ(runProcedureList(ws.context(1), {ProcedureOption::Simple, 0}).end, CodeOutcome::End::Report);
        EXPECT_EQ(lines(ws.rows("select ProcedureName, PrivatePublic, Type, Parameters, \"As\" from T_XlProcName "
                                "order by ID"),
                        "-"),
                  c.procedures)
            << c.rule;
    }
}

TEST(SourceSections, FriendHeadersAndExitLinesKeepTheirProcedure) {
    Workspace ws;
    ws.write(QStringLiteral("M.bas"), standardHeader("M") << "Friend Sub Init()" << "    If x Then Exit Sub ' done"
                                                          << "    y = \"End Sub\"" << "End Sub" << "Dim z");
    ASSERT_EQ(runSourceList(ws.context(1), {ModuleSelection::Standard, 0}).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select ProcedureName from T_XlSource order by ID")),
              (QStringList{"Init", "Init", "Init", "Init", "(Declarations)"}));
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
