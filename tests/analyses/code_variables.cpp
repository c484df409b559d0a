// Variables, constants and user types, and the procedure citations: the
// declaration rules on small standard modules, and the one-pass name search
// against the plain list-order search.
#include "analyses/code/Citations.h"
#include "analyses/code/Variables.h"
#include "code_support.h"

#include <gtest/gtest.h>
#include <random>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::lines;
using tabulon::test::code::standardHeader;

namespace {

// Rows read "procedure|name|scope|kind|type|description".
TEST(Declarations, RowsAsAVbaProgrammerReadsThem) {
    const struct { const char* why; QStringList lines, rows; } cases[] = {
        {"comment, constant, list",
         {"Dim i As Integer ' counter", "Private Const MAX_ROW As Long = 100", "Public a, b As String"},
         {"(Declarations)|i|Dim|変数|型/Integer|counter",
          "(Declarations)|MAX_ROW As Long|Private|定数|値/100|",
          "(Declarations)|a|Public|変数||", "(Declarations)|b|Public|変数|型/String|"}},
        {"commas inside parentheses and strings",
         {"Dim a(1, 2) As Long, b As String", "Private Const S As String = \"a, b\" ' it's"},
         {"(Declarations)|a(1, 2)|Dim|変数|型/Long|", "(Declarations)|b|Dim|変数|型/String|",
          "(Declarations)|S As String|Private|定数|値/\"a, b\"|it's"}},
        {"constants declared together with a scope word",
         {"Private Const A = 1, B = 2"},
         {"(Declarations)|A|Private|定数|値/1|", "(Declarations)|B|Private|定数|値/2|"}},
        {"Type inside a name and As inside a word",
         {"Dim strType As String", "Public X ' was here", "Dim Areas As Range",
          "Dim n As Long ' type of row"},
         {"(Declarations)|strType|Dim|変数|型/String|", "(Declarations)|X|Public|変数||was here",
          "(Declarations)|Areas|Dim|変数|型/Range|", "(Declarations)|n|Dim|変数|型/Long|type of row"}},
        {"a type block",
         {"Private Type Point ' pt", "    X As Long", "    ' comment", "", "    Flag", "    Y As Long ' y",
          "End Type ' done", "Dim after As Point"},
         {"|Point|Private|定義||pt", "(Declarations)|X|Private|定義|型/Long|",
          "(Declarations)|Y|Private|定義|型/Long|y", "(Declarations)|||||done",
          "(Declarations)|after|Dim|変数|型/Point|"}},
        {"a type block running to the end of the file", {"Public Type T", "    A As Long"},
         {"|T|Public|定義||", "(Declarations)|A|Public|定義|型/Long|"}},
        {"declarations without a scope word take the scope the language gives them",
         {"Type OrderLine ' one line", "    Qty As Long", "End Type", "Enum Colour", "    Red = 1 ' first",
          "    Green", "End Enum", "Const RATE = 0.1, TAX = 8", "Public Sub A()", "    Const K = 2", "End Sub",
          "Const AFTER = 3"},
         {"|OrderLine|(Public)|定義||one line", "(Declarations)|Qty|(Public)|定義|型/Long|", "(Declarations)|||||",
          "|Colour|(Public)|定義|Enum|", "(Declarations)|Red|(Public)|定義|値/1|first",
          "(Declarations)|Green|(Public)|定義||", "(Declarations)|RATE|(Private)|定数|値/0.1|",
          "(Declarations)|TAX|(Private)|定数|値/8|", "A|K|(Dim)|定数|値/2|", "A|AFTER|(Private)|定数|値/3|"}},
        {"a scoped Enum", {"Private Enum Mode", "    Fast", "End Enum"},
         {"|Mode|Private|定義|Enum|", "(Declarations)|Fast|Private|定義||"}},
        {"an Enum on one line, its statements parted by colons",
         {"Private Enum LongPtr: [_]: End Enum", "Private Enum Pair: A = 1: B = 2: End Enum ' two", "Dim after"},
         {"|LongPtr|Private|定義|Enum|", "(Declarations)|[_]|Private|定義||", "|Pair|Private|定義|Enum|two",
          "(Declarations)|A|Private|定義|値/1|", "(Declarations)|B|Private|定義|値/2|",
          "(Declarations)|after|Dim|変数||"}},
        {"indented declarations inside procedures, with or without a scope word",
         {"Public Sub Main()", "    Dim a As Long, b As Long", "End Sub", "Sub Plain()", "  Dim q", "End Sub",
          "Public Property Get Size() As Long", "    Dim z", "End Property"},
         {"Main|a|Dim|変数|型/Long|", "Main|b|Dim|変数|型/Long|", "Plain|q|Dim|変数||", "Size|z|Dim|変数||"}},
    };
    for (const auto& c : cases) {
        Workspace ws;
        ws.write(QStringLiteral("M.bas"), standardHeader("M") + c.lines, false);
        const CodeOutcome out = runVariables(ws.context(1));
        ASSERT_EQ(out.end, CodeOutcome::End::Report) << out.message.toStdString();
        EXPECT_EQ(lines(ws.rows("select ProcedureName, HensuName, Property, Bunrui, Type, Description "
                                "from T_XlHensu order by ID")),
                  c.rows)
            << c.why;
    }
}

TEST(VariablesRun, PieceCountAndProcedureNumbersRunOverModules) {
    Workspace ws;
    ws.write(QStringLiteral("A.bas"), standardHeader("A") << "Dim a, b, c" << "Private Sub S()" << "Dim d");
    ws.write(QStringLiteral("B.bas"), standardHeader("B") << "Dim e");
    ws.write(QStringLiteral("C.cls"), {QStringLiteral("Dim f")});
    ASSERT_EQ(runVariables(ws.context(2, 1)).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select objectNo, ProcedureNo, objectName, ProcedureName, HensuName, Line "
                            "from T_XlHensu order by ID")),
              (QStringList{"1|0|A.bas|(Declarations)|a|1", "1|0|A.bas|(Declarations)|b|2",
                           "1|0|A.bas|(Declarations)|c|3", "1|1|A.bas|S|d|5", "2|1|B.bas|(Declarations)|e|6"}));
}

TEST(Citations, FirstListedNameOfEachCandidateLine) {
    Workspace ws;
    ws.write(QStringLiteral("Module1.bas"), standardHeader("Module1") << "Public Sub Init()" << "End Sub"
                                                                      << "Public Function Calc(a As Long) As Long"
                                                                      << "    Calc = a * 2" << "End Function"
                                                                      << "' Sub Old()");
    ws.write(QStringLiteral("Module2.bas"), standardHeader("Module2") << "Public Sub Main()" << "    Call Init"
                                                                      << "    x = Calc(3) + Init2" << "    Init"
                                                                      << "    y = init" << "    z = Old");
    ASSERT_EQ(runCitations(ws.context(2)).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(ws.rows("select objectNo, ProcedureNo, objectName, Procedure, LinkProcedure, MotoName "
                            "from T_XlLinkModule order by ID")),
              (QStringList{"1|1|Module1.bas|Calc|Calc|Module1.bas", "2|0|Module2.bas|Main|Init|Module1.bas",
                           "2|0|Module2.bas|Main|Init|Module1.bas"}));
}

TEST(Citations, OnePassSearchAgreesWithTheListOrderSearch) {
    std::mt19937 random(14);
    const QString letters = QStringLiteral("abAB_1");
    auto word = [&](int min, int max) {
        QString w;
        const int n = std::uniform_int_distribution<int>(min, max)(random);
        for (int i = 0; i < n; ++i) w += letters[std::uniform_int_distribution<int>(0, 5)(random)];
        return w;
    };
    for (int round = 0; round < 200; ++round) {
        QStringList names;
        for (int i = 0; i < 8; ++i) names << word(1, 4);
        const FirstNameMatcher matcher(names);
        for (int l = 0; l < 20; ++l) {
            const QString line = word(0, 24);
            int expected = -1;
            for (int i = 0; i < names.size() && expected < 0; ++i)
                if (line.contains(names[i])) expected = i;
            ASSERT_EQ(matcher.firstIn(line), expected) << line.toStdString() << " in " << names.join(',').toStdString();
        }
    }
}

}  // namespace
