// The shared line rules of the code analyses: string primitives, keyword
// tests, scope routines and the procedure-name extractor.
#include "analyses/code/LineRules.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;

namespace {

TEST(GetProcName, ExtractsTheNameAsWritten) {
    const struct { QString text, name; const char* why; } cases[] = {
        {"Private Sub Foo(ByVal a As Long)", "Foo", "scope word cut at position 8"},
        {"Sub Foo()", "Foo", "no scope word"},
        {"Sub Foo", "ERROR", "no parenthesis: start lies behind anchor 0"},
        {"Public Property Get Name() As String", "Name", "property offset 12"},
        {"Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "GetTickCount",
         "Lib anchor with offset 17"},
        {"Declare Sub Sleep Lib \"kernel32\" (ByVal n As Long)", "Sleep", "Lib anchor with offset 12"},
        {"Static Sub Foo(x)", "Foo", "Static is passed over like a scope word"},
        {"Private Declare PtrSafe Sub Sleep Lib \"kernel32\" (ByVal n As LongPtr)", "Sleep",
         "PtrSafe reads like the 32-bit declaration"},
        {"Exit Sub ' comment", "ERROR", "contains SUB but has no anchor"},
        {"Sub Foo() ' public part", "Foo", "the trailing comment holds no scope word"},
        {"Function MakePublic (x)", "MakePublic", "a scope word counts only as a whole word"},
        {"Sub Run(\"(\") ' x", "Run", "a parenthesis in a literal is no anchor"},
        {"private sub x()", "x", "keywords are tested upper-cased"},
        {"Private Declare Function F lib \"k\" () As Long", "F lib \"k\" () As Lo",
         "lower-case lib is no anchor: ( decides, length from position 1"},
        {"Function 集計(a)", "集計", "positions count characters, not bytes"},
        {"Sub A() ' Lib x", "A", "Lib in the trailing comment is no anchor"},
        {"Sub Lib ()", "ERROR", "Lib right behind the keyword: no name, no abort"},
        {"Function rtcCallByName Lib \"VBE7.DLL\" (ByVal o As Object _", "rtcCallByName",
         "a declaration continued after Declare: its name measured from its keyword, not cut short"},
        {"Dim x As Long", "ERROR", "none of the three keywords"},
        {"Sub " + QString(300, u'n') + "()", "ERROR", "the ( lies beyond the 255-character cut"},
    };
    for (const auto& c : cases) EXPECT_EQ(GetProcName(c.text), c.name) << c.why;
}

TEST(Strings, TrimRemovesBlanksButNeverTabsAndUpperKeepsLength) {
    EXPECT_EQ(trim(u"  a b  "), QStringLiteral("a b"));
    EXPECT_EQ(ltrim(u"\t Dim x"), QStringLiteral("\t Dim x"));
    EXPECT_EQ(rtrim(u"x\t "), QStringLiteral("x\t"));
    EXPECT_EQ(trim(u"\u3000x\u3000"), QStringLiteral("\u3000x\u3000")) << "ideographic space is no blank";
    // Positions found in the upper-cased text must carry over to the original.
    EXPECT_EQ(upper(u"straße sub"), QStringLiteral("STRAßE SUB"));
    EXPECT_EQ(upper(u"ｓｕｂ"), QStringLiteral("ＳＵＢ"));
    EXPECT_EQ(upper(u"顧客 sub").size(), 6);
}

TEST(KeywordTests, ContainsBeginsWithAndCommentLinesOnLeftTrimmedText) {
    EXPECT_TRUE(contains(u"   private x", kw::Private));
    EXPECT_TRUE(contains(u"x = 1 ' the Sub is", kw::Sub));
    EXPECT_FALSE(contains(u"End Sub", kw::Sub)) << "no blank after SUB";
    EXPECT_TRUE(beginsWith(u"    dim i", kw::Dim));
    EXPECT_FALSE(beginsWith(u"\tDim i", kw::Dim)) << "tabs survive trimming";
    EXPECT_FALSE(beginsWith(u"ReDim a(5)", kw::Dim));
    EXPECT_TRUE(isCommentLine(u"   ' Sub Old()"));
    EXPECT_FALSE(isCommentLine(u"Sub Foo() ' trailing"));
    EXPECT_FALSE(isCommentLine(u"\t' tab indented")) << "tabs are not trimmed";
    EXPECT_FALSE(isCommentLine(u"Rem Sub Old()"));
}

TEST(ScopeWords, PriPubDelCutsAtTwoThousandCharactersAndPriPubDel2OnlyALeadingScopeWord) {
    QString line = QStringLiteral("Sub F(") + QString(2500, u'a');
    PriPubDel(line);
    EXPECT_EQ(line.size(), 2000);
    EXPECT_EQ(PriPubDel2(u"  Private Sub Foo()"), QStringLiteral("Sub Foo()"));
    EXPECT_EQ(PriPubDel2(u"Public Property Get Bar()"), QStringLiteral("Property Get Bar()"));
    EXPECT_EQ(PriPubDel2(u"Sub Foo() ' public"), QStringLiteral("Sub Foo() ' public"));
    EXPECT_EQ(PriPubDel2(u"Friend Sub X()"), QStringLiteral("Friend Sub X()"));
    EXPECT_EQ(PriPubDel2(QString(600, u'x')).size(), 512);
    EXPECT_EQ(PriPubDel2(u"\tPrivate Sub A()"), QStringLiteral("\tPrivate Sub A()"));
}

}  // namespace
