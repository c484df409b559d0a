// The shared line rules of the code analyses: string primitives, keyword
// tests, scope routines and the procedure-name extractor.
#include "analyses/code/LineRules.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;

namespace {

struct NameCase {
    const char* text;
    const char* name;
    const char* why;
};

class GetProcNameCases : public ::testing::TestWithParam<NameCase> {};

TEST_P(GetProcNameCases, ExtractsAsWritten) {
    const NameCase& c = GetParam();
    EXPECT_EQ(GetProcName(QString::fromUtf8(c.text)), QString::fromUtf8(c.name)) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, GetProcNameCases,
    ::testing::Values(
        NameCase{"Private Sub Foo(ByVal a As Long)", "Foo", "scope word cut at position 8"},
        NameCase{"Sub Foo()", "Foo", "no scope word"},
        NameCase{"Sub Foo", "ERROR", "no parenthesis: start lies behind anchor 0"},
        NameCase{"Public Property Get Name() As String", "Name", "property offset 12"},
        NameCase{"Private Declare Function GetTickCount Lib \"kernel32\" () As Long",
                 "GetTickCount", "Lib anchor with offset 17"},
        NameCase{"Declare Sub Sleep Lib \"kernel32\" (ByVal n As Long)", "Sleep",
                 "Lib anchor with offset 12"},
        NameCase{"Static Sub Foo(x)", "Foo", "Static is passed over like a scope word"},
        NameCase{"Private Declare PtrSafe Sub Sleep Lib \"kernel32\" (ByVal n As LongPtr)", "Sleep",
                 "PtrSafe reads like the 32-bit declaration"},
        NameCase{"Exit Sub ' comment", "ERROR", "contains SUB but has no anchor"},
        NameCase{"Sub Foo() ' public part", "Foo", "the trailing comment holds no scope word"},
        NameCase{"Function MakePublic (x)", "MakePublic", "a scope word counts only as a whole word"},
        NameCase{"Sub Run(\"(\") ' x", "Run", "a parenthesis in a literal is no anchor"},
        NameCase{"private sub x()", "x", "keywords are tested upper-cased"},
        NameCase{"Private Declare Function F lib \"k\" () As Long", "F lib \"k\" () As Lo",
                 "lower-case lib is no anchor: ( decides, length from position 1"},
        NameCase{"Function 集計(a)", "集計", "positions count characters, not bytes"},
        NameCase{"Sub A() ' Lib x", "A", "Lib in the trailing comment is no anchor"},
        NameCase{"Sub Lib ()", "ERROR", "Lib right behind the keyword: no name, no abort"},
        NameCase{"Dim x As Long", "ERROR", "none of the three keywords"}));

TEST(Strings, TrimRemovesBlanksButNeverTabs) {
    EXPECT_EQ(trim(u"  a b  "), QStringLiteral("a b"));
    EXPECT_EQ(ltrim(u"\t Dim x"), QStringLiteral("\t Dim x"));
    EXPECT_EQ(rtrim(u"x\t "), QStringLiteral("x\t"));
    EXPECT_EQ(trim(u"\u3000x\u3000"), QStringLiteral("\u3000x\u3000")) << "ideographic space is no blank";
}

TEST(Strings, UpperKeepsLengthSoPositionsCarryOver) {
    EXPECT_EQ(upper(u"straße sub"), QStringLiteral("STRAßE SUB"));
    EXPECT_EQ(upper(u"ｓｕｂ"), QStringLiteral("ＳＵＢ"));
    EXPECT_EQ(upper(u"顧客 sub").size(), 6);
}

TEST(KeywordTests, ContainsAndBeginsWithWorkOnUpperCasedLeftTrimmedText) {
    EXPECT_TRUE(contains(u"   private x", kw::Private));
    EXPECT_TRUE(contains(u"x = 1 ' the Sub is", kw::Sub));
    EXPECT_FALSE(contains(u"End Sub", kw::Sub)) << "no blank after SUB";
    EXPECT_TRUE(beginsWith(u"    dim i", kw::Dim));
    EXPECT_FALSE(beginsWith(u"\tDim i", kw::Dim)) << "tabs survive trimming";
    EXPECT_FALSE(beginsWith(u"ReDim a(5)", kw::Dim));
}

TEST(KeywordTests, CommentLineLooksAtTheTrimmedRawLine) {
    EXPECT_TRUE(isCommentLine(u"   ' Sub Old()"));
    EXPECT_FALSE(isCommentLine(u"Sub Foo() ' trailing"));
    EXPECT_FALSE(isCommentLine(u"\t' tab indented")) << "tabs are not trimmed";
    EXPECT_FALSE(isCommentLine(u"Rem Sub Old()"));
}

TEST(ScopeWords, PriPubDelCutsAtTwoThousandCharacters) {
    QString line = QStringLiteral("Sub F(") + QString(2500, u'a');
    PriPubDel(line);
    EXPECT_EQ(line.size(), 2000);
}

TEST(ScopeWords, PriPubDel2OnlyCutsALeadingScopeWord) {
    EXPECT_EQ(PriPubDel2(u"  Private Sub Foo()"), QStringLiteral("Sub Foo()"));
    EXPECT_EQ(PriPubDel2(u"Public Property Get Bar()"), QStringLiteral("Property Get Bar()"));
    EXPECT_EQ(PriPubDel2(u"Sub Foo() ' public"), QStringLiteral("Sub Foo() ' public"));
    EXPECT_EQ(PriPubDel2(u"Friend Sub X()"), QStringLiteral("Friend Sub X()"));
    EXPECT_EQ(PriPubDel2(QString(600, u'x')).size(), 512);
    EXPECT_EQ(PriPubDel2(u"\tPrivate Sub A()"), QStringLiteral("\tPrivate Sub A()"));
}

TEST(ScopeWords, GetProcNameCutsItsTextAt255Characters) {
    const QString longName(300, u'n');
    EXPECT_EQ(GetProcName(QStringLiteral("Sub ") + longName + QStringLiteral("()")), QStringLiteral("ERROR"))
        << "the ( lies beyond the 255-character cut";
}

}  // namespace
