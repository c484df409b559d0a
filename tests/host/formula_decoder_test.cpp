// Formula text from crafted token streams: constants, operators as stored,
// function calls, the author's whitespace and references ("$" from the
// relative flags, shared formulas moved to each cell, names relative to A1,
// 3-D and external prefixes); the ranges of names; damaged token streams;
// numbers with the digits the spreadsheet shows, not what a default
// double-to-string conversion produces.
#include "formula_tokens.h"
#include "host/NameRanges.h"
#include "host/model/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <set>
#include <string>

using tabulon::Error;
using tabulon::test::decode;
using tabulon::test::Tokens;
using tabulon::xls::FormulaKind;
using tabulon::model::numberText;
using tabulon::model::sheetPrefixText;

namespace {

struct Case {
    const char* what;
    Tokens tokens;
    const char* text;
    FormulaKind kind = FormulaKind::Cell;
    int row = 0, col = 0;  // the cell the formula belongs to
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class FormulaText : public testing::TestWithParam<Case> {};

TEST_P(FormulaText, MatchesSpreadsheetText) {
    const Case& c = GetParam();
    EXPECT_EQ(decode(c.tokens, c.kind, c.row, c.col).toStdString(), c.text);
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

// PtgMemArea with one cached area in RgbExtra, then an array constant whose
// values must still be found after it.
Tokens memArea() {
    Tokens t;
    t.u8(0x26).u32(0).u16(9).area(0, 0, 1, 1).attr(0x10).array(1, 1).extraNumber(7).funcVar(2, 4);
    t.extra.insert(t.extra.begin(), {1, 0, 0, 0, 1, 0, 0, 0, 1, 0});
    return t;
}

INSTANTIATE_TEST_SUITE_P(
    References, FormulaText,
    testing::Values(
        Case{"empty name formula", Tokens(), "=", FormulaKind::Name},
        Case{"relative", Tokens().ref(0, 0, true, true), "=A1"},
        Case{"row absolute", Tokens().ref(4, 2, false, true), "=C$5"},
        Case{"column absolute", Tokens().ref(4, 2, true, false), "=$C5"},
        Case{"last cell", Tokens().ref(65535, 255, false, false), "=$IV$65536"},
        Case{"absolute area", Tokens().area(0, 25, 9, 26, false), "=$Z$1:$AA$10"},
        Case{"whole columns", Tokens().area(0, 0, 65535, 1), "=A:B"},
        Case{"absolute column", Tokens().area(0, 2, 65535, 2, false), "=$C:$C"},
        Case{"whole rows", Tokens().area(0, 0, 1, 255, false), "=$1:$2"},
        Case{"relative row", Tokens().area(4, 0, 4, 255), "=5:5"},
        Case{"one row short is an area", Tokens().area(0, 0, 65534, 0), "=A1:A65535"},
        // RefN row -1, column +2 from the cell, and an absolute part kept as is
        Case{"shared at row 10", Tokens().ref(0xFFFF, 2, true, true, 0x4C).ref(3, 1, false, false, 0x4C).op(0x03),
             "=C9+$B$4", FormulaKind::Shared, 9, 0},
        Case{"shared at D20", Tokens().ref(0xFFFF, 2, true, true, 0x4C).ref(3, 1, false, false, 0x4C).op(0x03),
             "=F19+$B$4", FormulaKind::Shared, 19, 3},
        Case{"shared offset wraps", Tokens().ref(0xFFFF, 0xFF, true, true, 0x4C), "=IV65536", FormulaKind::Shared},
        Case{"shared area wraps", Tokens().area(0, 0, 2, 1, true, 0x2D), "=IV65536:A2", FormulaKind::Shared, 65535, 255},
        Case{"name offsets count from A1", Tokens().ref(2, 1, true, true, 0x2C), "=B3", FormulaKind::Name, 50, 50},
        Case{"3-D", Tokens().ref3d(0, 0, 0), "=Sheet1!$A$1"},
        Case{"3-D area, quoted sheet", Tokens().area3d(1, 0, 0, 1, 1), "='My Sheet'!$A$1:$B$2"},
        Case{"3-D external", Tokens().ref3d(2, 0, 0, true).integer(2).op(0x05), "='C:\\data\\[Prices.xls]Sheet1'!A1*2"},
        Case{"3-D deleted sheet", Tokens().ref3d(3, 0, 0), "=#REF!$A$1"},
        // in a name the stored row and column count from A1 and wrap; an array
        // formula body (decoded like a shared one) holds plain positions
        Case{"relative 3-D in a name", Tokens().ref3d(0, 0xFFFF, 0xFF, true), "=Sheet1!IV65536", FormulaKind::Name},
        Case{"relative 3-D shared", Tokens().ref3d(0, 1, 0, true), "=Sheet1!A2", FormulaKind::Shared, 4, 1},
        Case{"relative 3-D in a cell", Tokens().ref3d(0, 1, 0, true), "=Sheet1!A2", FormulaKind::Cell, 4, 1},
        Case{"deleted cell", Tokens().u8(0x2A).u32(0), "=#REF!"},
        Case{"deleted area", Tokens().u8(0x2B).u32(0).u32(0).attr(0x10), "=SUM(#REF!)"},
        Case{"deleted 3-D cell", Tokens().u8(0x3C).u16(0).u32(0), "=Sheet1!#REF!"},
        Case{"deleted 3-D area", Tokens().u8(0x3D).u16(3).u32(0).u32(0), "=#REF!"},
        Case{"defined name", Tokens().name(2).integer(1).op(0x03), "=Name2+1"},
        Case{"external name", Tokens().nameX(1, 4), "=Book.xls!X1_4"},
        Case{"PtgMemFunc around an intersection", Tokens().u8(0x29).u16(11).area3d(0, 0, 0, 1, 1).area(0, 0, 1, 0).op(0x0F),
             "=Sheet1!$A$1:$B$2 A1:A2"},
        Case{"PtgMemArea", memArea(), "=SUM(SUM(A1:B2),{7})"}));

// Quoted where the name could be misread as a cell or range; beyond the last
// column or row a name cannot be a cell.
TEST(SheetPrefixQuoting, QuotesWhereTheNameCouldBeMisread) {
    const struct {
        const char *book, *first, *last, *prefix;
    } cases[] = {
        {"", "Sheet1", "", "Sheet1"},         {"", "売上", "", "売上"},      {"", "My Sheet", "", "'My Sheet'"},
        {"", "It's", "", "'It''s'"},           {"", "2007", "", "'2007'"},     {"", "AB12", "", "'AB12'"},
        {"", "S2", "", "'S2'"},                {"", "IV65536", "", "'IV65536'"}, {"", "Sh3", "", "Sh3"},
        {"", "IW1", "", "IW1"},                {"", "A65537", "", "A65537"},   {"", "R1C1", "", "'R1C1'"},
        {"", "RC", "", "'RC'"},                {"", "a-b", "", "'a-b'"},       {"", "Sheet1", "Sheet3", "Sheet1:Sheet3"},
        {"", "Sheet1", "Last one", "'Sheet1:Last one'"}, {"[Book2.xls]", "Sheet1", "", "[Book2.xls]Sheet1"},
        {"C:\\data\\[Prices.xls]", "Sheet1", "", "'C:\\data\\[Prices.xls]Sheet1'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheetPrefixText(QString::fromUtf8(c.book), QString::fromUtf8(c.first), QString::fromUtf8(c.last)),
                  QString::fromUtf8(c.prefix))
            << c.first;
}

// A name's range is read by the decoder's own token loop: references and
// unions (in parentheses too) make a range, anything else or a cut token none.
QString rangeOf(const Tokens& t) {
    tabulon::xls::FormulaInput in;
    in.rgce = t.bytes.data();
    in.cce = t.bytes.size();
    in.kind = FormulaKind::Name;
    const auto areas = tabulon::xls::formulaAreas(in, tabulon::test::FakeBook());
    if (!areas) return QStringLiteral("none");
    QStringList parts;
    const tabulon::model::Book grid;
    for (const tabulon::model::Area& a : *areas) parts << tabulon::host::areaAddress(a, grid);
    return parts.join(u',');
}

TEST(NameRanges, OnlyReferencesAndUnionsMakeARange) {
    const std::pair<Tokens, const char*> cases[] = {
        {Tokens().area3d(0, 0, 0, 9, 2).ref3d(1, 4, 1).op(0x10), "$A$1:$C$10,$B$5"},
        {Tokens().area(0, 0, 65535, 1, false), "$A:$B"},
        {Tokens().area(0, 0, 0, 255, false).op(0x15), "$1:$1"},
        {Tokens().ref(0, 0).integer(1).op(0x03), "none"},  // A1+1
        {Tokens().name(1), "none"},
        {Tokens().u8(0x25).u16(0).u16(3), "none"},  // area cut short
    };
    for (const auto& [tokens, expected] : cases)
        EXPECT_EQ(rangeOf(tokens), QString::fromLatin1(expected));
}

// Damaged or hostile token streams end in a clean error 1004, never in a
// crash, a hang or a read past the buffers.
int refusal(const Tokens& t) {
    try {
        decode(t);
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

Tokens sample() {
    Tokens t;
    t.ref3d(0, 1, 1).str(QStringLiteral("abc")).number(1.5).array(1, 2).extraNumber(1).extraString(
        QStringLiteral("x"));
    t.funcVar(4, 4).u8(0x19).u8(0x04).u16(1).u16(4).u16(8).name(1).area(0, 0, 3, 3).op(0x0F);
    return t.op(0x03);
}

// A cut inside a token is refused; a cut between tokens may leave a
// shorter valid formula or an unbalanced one, refused too. Every cut of the
// array constants is refused.
TEST(FormulaRobustness, EveryCutIsReadOrRefused) {
    const Tokens whole = sample();
    ASSERT_EQ(decode(whole), QStringLiteral("=SUM(Sheet1!$B$2,\"abc\",1.5,{1,\"x\"})+Name1 A1:D4"));
    const std::set<size_t> insideTokens{1, 3, 5, 8, 10, 12, 14, 20};
    for (size_t n = 1; n < whole.bytes.size(); ++n) {
        Tokens cut = whole;
        cut.bytes.resize(n);
        const int number = refusal(cut);
        EXPECT_TRUE(number == 1004 || (number == 0 && !insideTokens.count(n))) << "cut at " << n;
    }
    for (size_t n = 0; n < whole.extra.size(); ++n) {
        Tokens cut = whole;
        cut.extra.resize(n);
        EXPECT_EQ(refusal(cut), 1004) << "extra cut at " << n;
    }
}

Tokens nested(int depth, int op) {
    Tokens t;
    t.integer(1);
    for (int i = 0; i < depth; ++i)
        t.op(op);
    return t;
}

TEST(FormulaRobustness, MalformedStreamsAreRefused) {
    Tokens hugeArray;
    hugeArray.array(65536, 256).extraNumber(1);  // refused before the work
    const std::pair<const char*, Tokens> cases[] = {
        {"operator without operands", Tokens().op(0x03)},
        {"two values left", Tokens().integer(1).integer(2)},
        {"more arguments than values", Tokens().integer(1).funcVar(5, 4)},
        {"PtgExp belongs to the reader", Tokens().u8(0x01).u16(0).u16(0)},
        {"PtgTbl likewise", Tokens().u8(0x02).u16(0).u16(0)},
        {"unknown token", Tokens().u8(0x18).u8(0x01)},
        {"unused function number", Tokens().func(202)},
        {"variable function without count", Tokens().integer(1).func(4)},
        {"add-in call without a name", Tokens().funcVar(0, 255)},
        {"unknown error code", Tokens().error(0x33)},
        {"unknown attribute", Tokens().attr(0x80)},
        {"huge array count", hugeArray},
        {"deep nesting", nested(5000, 0x13)},
    };
    for (const auto& [what, tokens] : cases)
        EXPECT_EQ(refusal(tokens), 1004) << what;
    EXPECT_EQ(refusal(nested(100, 0x15)), 0);
    try {
        decode(Tokens().u8(0x1F).u8(0));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("truncated"))) << e.what();
    }
}

TEST(FormulaRobustness, RandomBytesNeverCrash) {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 20000; ++round) {
        Tokens t;
        for (int i = length(rng); i > 0; --i)
            t.u8(byte(rng));
        for (int i = length(rng); i > 0; --i)
            t.extra.push_back(static_cast<uint8_t>(byte(rng)));
        const int number = refusal(t);
        ASSERT_TRUE(number == 0 || number == 1004) << "round " << round;
    }
}

struct NumberCase {
    double value;
    const char* text;
};

class NumberTextTest : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, WritesSpreadsheetDigits) {
    EXPECT_EQ(numberText(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumberTextTest,
    testing::Values(
        NumberCase{0.0, "0"}, NumberCase{-0.0, "0"},                      // no "-0"
        NumberCase{1.0, "1"}, NumberCase{100000.0, "100000"},             // no exponent, no ".0"
        NumberCase{-0.5, "-0.5"}, NumberCase{0.25, "0.25"},               // leading zero kept
        NumberCase{0.0001, "0.0001"}, NumberCase{0.1 + 0.2, "0.3"},       // rounded to 15 digits
        NumberCase{1.0 / 3.0, "0.333333333333333"},                       // 15 significant digits
        NumberCase{2.0 / 3.0, "0.666666666666667"},                       // last digit rounded
        NumberCase{123456789012345.0, "123456789012345"},                 // 15 integer digits fixed
        NumberCase{1e15, "1E+15"}, NumberCase{1e20, "1E+20"},             // beyond: scientific
        NumberCase{1234567890123456.0, "1.23456789012346E+15"},
        NumberCase{1.5e100, "1.5E+100"}, NumberCase{-2e300, "-2E+300"},
        NumberCase{1e-15, "0.000000000000001"},                           // 15th decimal place fixed
        NumberCase{1e-16, "1E-16"}, NumberCase{1.0 / 3000000.0, "3.33333333333333E-07"},
        NumberCase{3.14159, "3.14159"}, NumberCase{-273.15, "-273.15"},
        NumberCase{std::numeric_limits<double>::infinity(), "#NUM!"},     // non-finite: the number error
        NumberCase{std::numeric_limits<double>::quiet_NaN(), "#NUM!"}));

// Values with a short decimal form, the most common in workbooks: the text
// is that form, the shortest that reads back as the value.
TEST(NumberTextSweep, ShortDecimalsAreWrittenAsTyped) {
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 200000; ++i) {
        const int places = int(random() % 10);
        const uint64_t digits = random() % (i % 2 ? 100000ull : 10000000000000ull);
        const double value = double(digits) / std::pow(10.0, places) * (i % 3 ? 1 : -1);
        if (value == 0) continue;
        char expected[64];
        const char* end = std::to_chars(expected, expected + sizeof expected, value, std::chars_format::fixed).ptr;
        ASSERT_EQ(numberText(value).toStdString(), std::string(expected, size_t(end - expected))) << digits << "e-" << places;
    }
}

// Any other value: at most 15 significant digits, within half a unit of the
// fifteenth of the value.
TEST(NumberTextSweep, OtherValuesKeepFifteenDigits) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const double value = std::ldexp(double(random() >> 11) / double(1ull << 53), int(random() % 80) - 40);
        if (value == 0) continue;
        const std::string text = numberText(value).toStdString();
        int significant = 0;
        bool leading = true;
        for (char c : text.substr(0, text.find('E'))) {
            if (c < '0' || c > '9') continue;
            if (c != '0') leading = false;
            if (!leading) ++significant;
        }
        EXPECT_LE(significant, 15) << text;
        EXPECT_NEAR(std::strtod(text.c_str(), nullptr), value, std::fabs(value) * 5.1e-15) << text;
    }
}

}  // namespace
