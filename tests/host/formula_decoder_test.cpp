// Formula text from crafted token streams: constants, operators as stored,
// function calls and the author's whitespace.
#include "formula_tokens.h"

#include <gtest/gtest.h>

using tabulon::test::decode;
using tabulon::test::Tokens;

namespace {

struct Case {
    const char* what;
    Tokens tokens;
    const char* text;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class FormulaText : public testing::TestWithParam<Case> {};

TEST_P(FormulaText, MatchesSpreadsheetText) {
    EXPECT_EQ(decode(GetParam().tokens).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Constants, FormulaText,
    testing::Values(
        Case{"integer", Tokens().integer(65535), "=65535"},
        Case{"number via number text", Tokens().number(0.5), "=0.5"},
        Case{"large number", Tokens().number(1e20), "=1E+20"},
        Case{"string with doubled quotes", Tokens().str(QStringLiteral("say \"hi\"")), "=\"say \"\"hi\"\"\""},
        Case{"wide string", Tokens().str(QStringLiteral("\u00e9t\u00e9"), true), "=\"\u00e9t\u00e9\""},
        Case{"booleans", Tokens().boolean(true).boolean(false).op(0x0B), "=TRUE=FALSE"},
        Case{"error constants", Tokens().error(0x07).error(0x2A).op(0x08), "=#DIV/0!&#N/A"},
        Case{"array constant rows and columns",
             Tokens().array(2, 2).extraNumber(1).extraNumber(2.5).extraString(QStringLiteral("a\"b"))
                 .extraTagged(0x04, 1),
             "={1,2.5;\"a\"\"b\",TRUE}"},
        Case{"array error and empty", Tokens().array(1, 2).extraTagged(0x10, 0x17).extraTagged(0x00, 0),
             "={#REF!,}"}));

INSTANTIATE_TEST_SUITE_P(
    Operators, FormulaText,
    testing::Values(
        Case{"stored order, no added parentheses", Tokens().integer(1).integer(2).op(0x03).integer(3).op(0x05),
             "=1+2*3"},
        Case{"parenthesis token", Tokens().integer(1).integer(2).op(0x03).op(0x15).integer(3).op(0x05),
             "=(1+2)*3"},
        Case{"all binary operators",
             Tokens().integer(1).integer(2).op(0x04).integer(3).op(0x06).integer(4).op(0x07)
                 .integer(5).op(0x09).integer(6).op(0x0A).integer(7).op(0x0C).integer(8).op(0x0D)
                 .integer(9).op(0x0E),
             "=1-2/3^4<5<=6>=7>8<>9"},
        Case{"unary and percent", Tokens().integer(5).op(0x14).op(0x13).op(0x12), "=+-5%"},
        Case{"range, union, intersection",
             Tokens().ref(0, 0).ref(1, 1).op(0x11).ref(2, 2).op(0x10).op(0x15).ref(3, 3).op(0x0F),
             "=(A1:B2,C3) D4"}));

INSTANTIATE_TEST_SUITE_P(
    Functions, FormulaText,
    testing::Values(
        Case{"fixed arity from the table", Tokens().ref(0, 0).integer(2).func(27), "=ROUND(A1,2)"},
        Case{"no arguments", Tokens().func(19), "=PI()"},
        Case{"variable arity", Tokens().ref(0, 0).ref(0, 1).integer(3).funcVar(3, 4), "=SUM(A1,B1,3)"},
        Case{"missing argument", Tokens().ref(0, 0).missing().integer(0).funcVar(3, 102),
             "=VLOOKUP(A1,,0)"},
        Case{"one-argument SUM attribute", Tokens().area(0, 0, 9, 0).attr(0x10), "=SUM(A1:A10)"},
        Case{"IF with jump attributes left out",
             Tokens().ref(0, 0).attr(0x02, 7).integer(1).attr(0x08, 3).integer(2).attr(0x08, 3).funcVar(3, 1),
             "=IF(A1,1,2)"},
        Case{"CHOOSE jump table skipped",
             Tokens().integer(1).u8(0x19).u8(0x04).u16(2).u16(6).u16(13).u16(20).integer(7).attr(0x08, 9)
                 .integer(8).attr(0x08, 3).funcVar(3, 100),
             "=CHOOSE(1,7,8)"},
        Case{"volatile attribute leaves no text", Tokens().attr(0x01).func(63), "=RAND()"},
        Case{"add-in function named by its first argument",
             Tokens().nameX(9, 1).ref(0, 0).funcVar(2, 255), "=MyAddIn(A1)"},
        Case{"user-defined function through a defined name", Tokens().name(3).funcVar(1, 255), "=Name3()"},
        Case{"prompt flag", Tokens().integer(1).funcVar(0x81, 86), "=TYPE?(1)"},
        Case{"nested calls", Tokens().ref(0, 0).func(24).func(25).funcVar(1, 5), "=AVERAGE(INT(ABS(A1)))"}));

INSTANTIATE_TEST_SUITE_P(
    Whitespace, FormulaText,
    testing::Values(
        Case{"space before operand", Tokens().ref(0, 0).space(0, 1).ref(0, 1).op(0x03), "=A1+ B1"},
        Case{"space before operator", Tokens().ref(0, 0).ref(0, 1).space(0, 2).op(0x03), "=A1  +B1"},
        Case{"line break before operand", Tokens().ref(0, 0).space(1, 1).ref(0, 1).op(0x03), "=A1+\nB1"},
        Case{"spaces around parentheses",
             Tokens().ref(0, 0).space(2, 1).space(4, 2).op(0x15), "= (A1  )"},
        Case{"line break before open parenthesis", Tokens().ref(0, 0).space(3, 1).op(0x15), "=\n(A1)"},
        Case{"space before a function and its close",
             Tokens().ref(0, 0).space(0, 1).space(4, 1).funcVar(1, 4), "= SUM(A1 )"},
        Case{"space before the percent sign", Tokens().integer(5).space(0, 1).op(0x14), "=5 %"},
        Case{"space before a unary minus", Tokens().ref(0, 0).space(0, 1).op(0x13), "= -A1"},
        Case{"space after the equals sign", Tokens().space(6, 2).integer(1), "=  1"},
        Case{"space-semi attribute", Tokens().u8(0x19).u8(0x41).u8(0).u8(1).func(74), "= NOW()"},
        Case{"space before SUM attribute", Tokens().area(0, 0, 1, 0).space(0, 1).attr(0x10), "= SUM(A1:A2)"}));

TEST(FormulaTextEmpty, EmptyNameFormulaIsJustEquals) {
    EXPECT_EQ(decode(Tokens(), tabulon::xls::FormulaKind::Name), QStringLiteral("="));
}

}  // namespace
