// TypeSelect and the declaration/call classification of the procedure list.
#include "analyses/code/ProcedureRows.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;

namespace {

QString text(const QVariant& v) {
    return v.isNull() ? QStringLiteral("<null>") : v.toString();
}

// "type" or, when Parameters and As are written, "type|parameters|as".
QString describe(const HeaderKind& h) {
    return h.hasParts ? QStringList{h.type, text(h.parameters), text(h.returnType)}.join(u'|') : h.type;
}

// "dimCall|bunrui|type|text|comment|numbered by procedure".
QString describe(const Statement& st) {
    return QStringList{QString::number(st.dimCall), st.bunrui, st.type, st.text, text(st.comment),
                       st.numberedByProcedure ? "yes" : "no"}
        .join(u'|');
}

// Headers arrive with the scope word already removed.
TEST(TypeSelect, KindParametersAndReturnType) {
    const std::pair<QString, QString> cases[] = {
        {"Function Sum(ByVal a As Long, ByVal b As Long) As Long", "Function|ByVal a As Long, ByVal b As Long|Long"},
        {"Property Get Name() As String", "Property Get|<null>|String"},
        {"Property Let Value(ByVal v As Variant)", "Property Let|ByVal v As Variant|<null>"},
        {"property set Obj(o As Object)", "Property Set|o As Object|<null>"},
        {"Declare Function GetTickCount Lib \"kernel32\" () As Long", "Declare Function|<null>|Long"},
        {"Declare Sub Sleep Lib \"kernel32\" (ByVal n As Long)", "Declare Sub|ByVal n As Long|<null>"},
        {"Sub Run(x)", "Sub|<null>|<null>"},
        {"Sub Run(ab)", "Sub|<null>|<null>"},
        {"Sub Run(abc  )", "Sub|abc|<null>"},
        {"Sub Foo", "Sub"},
        {"Function F(x) As Long ' Assigns", "Function|<null>|Long"},
        {"Function F(x) ' Assigns", "Function|<null>|<null>"},
        {"Static Sub X)(", "Sub"},
        {"Friend Property Get P() As Long", ""},
        {"Exit Sub ' done", ""},
        {"Event Changed(x As Long)", ""},
        {"Sub A(" + QString(149, u'p') + ")", "Sub|" + QString(149, u'p') + "|<null>"},
        {"Sub A(" + QString(150, u'p') + ")", "Sub"},  // parameter text of 150 or more is not written
    };
    for (const auto& [header, kind] : cases) EXPECT_EQ(describe(TypeSelect(header)), kind) << header.toStdString();
}

TEST(ClassifyStatement, KeywordTextCommentAndNumbering) {
    const struct { QString line, row; const char* why; } cases[] = {
        {"Dim i As Integer ' counter", "4|変数|Dim|i As Integer| counter|yes", "comment keeps its leading blank"},
        {"Private Type Point", "3|定義|Private|Point|<null>|no", "type definition"},
        {"Public Const MAX_ROW = 100", "5|定数|Const|MAX_ROW = 100|<null>|yes", "Const tested before Public"},
        {"Private Const A = 1 ' x", "5|定数|Const|A = 1| x|yes", "Const measures its length from its own start"},
        {"Call Calc(a, b)", "6|呼出|Call|Calc(a, b)|<null>|no", "call"},
        {"Global g As Long", "1|変数|Global|g As Long|<null>|no", "global"},
        {"Public p As String   ' name", "2|変数|Public|p As String| name|no",
         "trailing blanks before the comment removed"},
        {"Private m_showType As Long", "3|変数|Private|m_showType As Long|<null>|no",
         "TYPE inside a name makes no definition"},
        {"Public Type Pt ' point", "2|定義|Public|Pt| point|no", "a definition's text ends before the comment"},
        {"Private Enum Mode ' how", "3|定義|Private|Mode| how|no", "a scoped Enum is a definition too"},
        {"Private Enum LongPtr: [_]: End Enum", "3|定義|Private|LongPtr|<null>|no", "a block on one line"},
        {"Dim s As String: s = \"it's\"", "4|変数|Dim|s As String: s = \"it's\"|<null>|yes",
         "an apostrophe inside a string is no comment mark"},
        {"Const Q As String = \"it's\" ' apostrophe", "5|定数|Const|Q As String = \"it's\"| apostrophe|yes",
         "the comment column starts outside strings"},
        {"    Dim 表 As Long", "4|変数|Dim|表 As Long|<null>|yes", "indented"},
        {"x = 1: Call A ' go", "6|呼出|Call|A ' go| go|no", "length measured from position 1 runs past the comment"},
        {"x'Dim a", "4|変数|Dim|a|<null>|yes", "a mark before the threshold is no comment"},
        {"Dim a '" + QString(300, u'c'), "4|変数|Dim|a|" + QString(255, u'c') + "|yes", "comment cut at 255"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(classifyStatement(c.line)), c.row) << c.why;
}

}  // namespace
