// TypeSelect and the declaration/call classification of the procedure list.
#include "analyses/code/ProcedureRows.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;

namespace {

QString text(const QVariant& v) {
    return v.isNull() ? QStringLiteral("<null>") : v.toString();
}

struct TypeCase {
    const char* header;  // after PriPubDel: scope word already removed
    const char* type;
    bool parts;
    const char* parameters;
    const char* as;
};

class TypeSelectCases : public ::testing::TestWithParam<TypeCase> {};

TEST_P(TypeSelectCases, KindParametersAndReturnType) {
    const TypeCase& c = GetParam();
    const HeaderKind h = TypeSelect(QString::fromUtf8(c.header));
    EXPECT_EQ(h.type, QString::fromUtf8(c.type));
    EXPECT_EQ(h.hasParts, c.parts);
    if (!c.parts) return;
    EXPECT_EQ(text(h.parameters), QString::fromUtf8(c.parameters));
    EXPECT_EQ(text(h.returnType), QString::fromUtf8(c.as));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, TypeSelectCases,
    ::testing::Values(
        TypeCase{"Function Sum(ByVal a As Long, ByVal b As Long) As Long", "Function", true,
                 "ByVal a As Long, ByVal b As Long", "Long"},
        TypeCase{"Property Get Name() As String", "Property Get", true, "<null>", "String"},
        TypeCase{"Property Let Value(ByVal v As Variant)", "Property Let", true, "ByVal v As Variant",
                 "<null>"},
        TypeCase{"property set Obj(o As Object)", "Property Set", true, "o As Object", "<null>"},
        TypeCase{"Declare Function GetTickCount Lib \"kernel32\" () As Long", "Declare Function", true,
                 "<null>", "Long"},
        TypeCase{"Declare Sub Sleep Lib \"kernel32\" (ByVal n As Long)", "Declare Sub", true,
                 "ByVal n As Long", "<null>"},
        TypeCase{"Sub Run(x)", "Sub", true, "<null>", "<null>"},
        TypeCase{"Sub Run(ab)", "Sub", true, "<null>", "<null>"},
        TypeCase{"Sub Run(abc  )", "Sub", true, "abc", "<null>"},
        TypeCase{"Sub Foo", "Sub", false, "", ""},
        TypeCase{"Function F(x) As Long ' Assigns", "Function", true, "<null>", "Long"},
        TypeCase{"Function F(x) ' Assigns", "Function", true, "<null>", "<null>"},
        TypeCase{"Static Sub X)(", "Sub", false, "", ""},
        TypeCase{"Friend Property Get P() As Long", "", false, "", ""},
        TypeCase{"Exit Sub ' done", "", false, "", ""},
        TypeCase{"Event Changed(x As Long)", "", false, "", ""}));

TEST(TypeSelectLimits, ParameterTextOf150OrMoreIsNotWritten) {
    const QString p149(149, u'p'), p150(150, u'p');
    EXPECT_TRUE(TypeSelect(QStringLiteral("Sub A(") + p149 + QStringLiteral(")")).hasParts);
    EXPECT_FALSE(TypeSelect(QStringLiteral("Sub A(") + p150 + QStringLiteral(")")).hasParts);
}

struct StatementCase {
    const char* line;
    int dimCall;
    const char* bunrui;
    const char* type;
    const char* parameters;
    const char* as;
    const char* why;
};

class StatementCases : public ::testing::TestWithParam<StatementCase> {};

TEST_P(StatementCases, Classified) {
    const StatementCase& c = GetParam();
    const Statement st = classifyStatement(QString::fromUtf8(c.line));
    EXPECT_EQ(st.dimCall, c.dimCall) << c.why;
    EXPECT_EQ(st.bunrui, QString::fromUtf8(c.bunrui)) << c.why;
    EXPECT_EQ(st.type, QString::fromUtf8(c.type)) << c.why;
    EXPECT_EQ(st.text, QString::fromUtf8(c.parameters)) << c.why;
    EXPECT_EQ(text(st.comment), QString::fromUtf8(c.as)) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementCases,
    ::testing::Values(
        StatementCase{"Dim i As Integer ' counter", 4, "変数", "Dim", "i As Integer", " counter",
                      "comment keeps its leading blank"},
        StatementCase{"Private Type Point", 3, "定義", "Private", "Point", "<null>", "type definition"},
        StatementCase{"Public Const MAX_ROW = 100", 5, "定数", "Const", "MAX_ROW = 100", "<null>",
                      "Const tested before Public"},
        StatementCase{"Private Const A = 1 ' x", 5, "定数", "Const", "A = 1", " x",
                      "Const measures its length from its own start"},
        StatementCase{"Call Calc(a, b)", 6, "呼出", "Call", "Calc(a, b)", "<null>", "call"},
        StatementCase{"Global g As Long", 1, "変数", "Global", "g As Long", "<null>", "global"},
        StatementCase{"Public p As String   ' name", 2, "変数", "Public", "p As String", " name",
                      "trailing blanks before the comment removed"},
        StatementCase{"Private mType As Long", 3, "定義", "Private", " As Long", "<null>",
                      "TYPE inside a name: start 5 further on"},
        StatementCase{"Public Type Pt ' point", 2, "定義", "Public", "Pt ' poi", " point",
                      "TYPE does not adjust the length: 5 more characters"},
        StatementCase{"Dim s As String: s = \"it's\"", 4, "変数", "Dim", "s As String: s = \"it's\"",
                      "<null>", "an apostrophe inside a string is no comment mark"},
        StatementCase{"    Dim 表 As Long", 4, "変数", "Dim", "表 As Long", "<null>", "indented"},
        StatementCase{"x = 1: Call A ' go", 6, "呼出", "Call", "A ' go", " go",
                      "length measured from position 1 runs past the comment"},
        StatementCase{"x'Dim a", 4, "変数", "Dim", "a", "<null>",
                      "a mark before the threshold is no comment"}));

TEST(StatementLimits, CommentCutAt255Characters) {
    const Statement st = classifyStatement(QStringLiteral("Dim a '") + QString(300, u'c'));
    EXPECT_EQ(st.comment.toString().size(), 255);
    EXPECT_EQ(st.text, QStringLiteral("a"));
}

TEST(StatementNumbering, DimAndConstFollowTheProcedureNumber) {
    EXPECT_TRUE(classifyStatement(QStringLiteral("Dim a")).numberedByProcedure);
    EXPECT_TRUE(classifyStatement(QStringLiteral("Const a = 1")).numberedByProcedure);
    EXPECT_FALSE(classifyStatement(QStringLiteral("Call a")).numberedByProcedure);
    EXPECT_FALSE(classifyStatement(QStringLiteral("Private a")).numberedByProcedure);
}

}  // namespace
