// References in formula text: "$" from the relative flags, shared formulas
// moved to each cell, names relative to A1, 3-D and external prefixes.
#include "formula_tokens.h"
#include "host/NameRanges.h"

#include <gtest/gtest.h>

using tabulon::test::decode;
using tabulon::test::Tokens;
using tabulon::xls::FormulaKind;
using tabulon::xls::sheetPrefixText;

namespace {

struct RefCase {
    const char* what;
    Tokens tokens;
    const char* text;
    FormulaKind kind = FormulaKind::Cell;
    int row = 0, col = 0;  // the cell the formula belongs to
};

// "$" from the relative flags, whole rows and columns, shared and name offsets,
// 3-D and external prefixes, deleted references, names and memory tokens.
TEST(FormulaReferences, ReadAsTheSpreadsheetWritesThem) {
    Tokens memArea;  // PtgMemArea with one cached area in RgbExtra, then an array constant after it
    memArea.u8(0x26).u32(0).u16(9).area(0, 0, 1, 1).attr(0x10).array(1, 1).extraNumber(7).funcVar(2, 4);
    memArea.extra.insert(memArea.extra.begin(), {1, 0, 0, 0, 1, 0, 0, 0, 1, 0});
    const RefCase cases[] = {
        {"relative", Tokens().ref(0, 0, true, true), "=A1"},
        {"row absolute", Tokens().ref(4, 2, false, true), "=C$5"},
        {"column absolute", Tokens().ref(4, 2, true, false), "=$C5"},
        {"last cell", Tokens().ref(65535, 255, false, false), "=$IV$65536"},
        {"absolute area", Tokens().area(0, 25, 9, 26, false), "=$Z$1:$AA$10"},
        {"whole columns", Tokens().area(0, 0, 65535, 1), "=A:B"},
        {"absolute column", Tokens().area(0, 2, 65535, 2, false), "=$C:$C"},
        {"whole rows", Tokens().area(0, 0, 1, 255, false), "=$1:$2"},
        {"relative row", Tokens().area(4, 0, 4, 255), "=5:5"},
        {"one row short is an area", Tokens().area(0, 0, 65534, 0), "=A1:A65535"},
        // RefN row -1, column +2 from the cell, and an absolute part kept as is
        {"shared at row 10", Tokens().ref(0xFFFF, 2, true, true, 0x4C).ref(3, 1, false, false, 0x4C).op(0x03),
         "=C9+$B$4", FormulaKind::Shared, 9, 0},
        {"shared at D20", Tokens().ref(0xFFFF, 2, true, true, 0x4C).ref(3, 1, false, false, 0x4C).op(0x03),
         "=F19+$B$4", FormulaKind::Shared, 19, 3},
        {"shared offset wraps", Tokens().ref(0xFFFF, 0xFF, true, true, 0x4C), "=IV65536", FormulaKind::Shared},
        {"shared area wraps", Tokens().area(0, 0, 2, 1, true, 0x2D), "=IV65536:A2", FormulaKind::Shared, 65535, 255},
        {"name offsets count from A1", Tokens().ref(2, 1, true, true, 0x2C), "=B3", FormulaKind::Name, 50, 50},
        {"3-D", Tokens().ref3d(0, 0, 0), "=Sheet1!$A$1"},
        {"3-D area, quoted sheet", Tokens().area3d(1, 0, 0, 1, 1), "='My Sheet'!$A$1:$B$2"},
        {"3-D external", Tokens().ref3d(2, 0, 0, true).integer(2).op(0x05), "='C:\\data\\[Prices.xls]Sheet1'!A1*2"},
        {"3-D deleted sheet", Tokens().ref3d(3, 0, 0), "=#REF!$A$1"},
        // in a name the stored row and column count from A1 and wrap; an array
        // formula body (decoded like a shared one) holds plain positions
        {"relative 3-D in a name", Tokens().ref3d(0, 0xFFFF, 0xFF, true), "=Sheet1!IV65536", FormulaKind::Name},
        {"relative 3-D shared", Tokens().ref3d(0, 1, 0, true), "=Sheet1!A2", FormulaKind::Shared, 4, 1},
        {"relative 3-D in a cell", Tokens().ref3d(0, 1, 0, true), "=Sheet1!A2", FormulaKind::Cell, 4, 1},
        {"deleted cell", Tokens().u8(0x2A).u32(0), "=#REF!"},
        {"deleted area", Tokens().u8(0x2B).u32(0).u32(0).attr(0x10), "=SUM(#REF!)"},
        {"deleted 3-D cell", Tokens().u8(0x3C).u16(0).u32(0), "=Sheet1!#REF!"},
        {"deleted 3-D area", Tokens().u8(0x3D).u16(3).u32(0).u32(0), "=#REF!"},
        {"defined name", Tokens().name(2).integer(1).op(0x03), "=Name2+1"},
        {"external name", Tokens().nameX(1, 4), "=Book.xls!X1_4"},
        {"PtgMemFunc around an intersection", Tokens().u8(0x29).u16(11).area3d(0, 0, 0, 1, 1).area(0, 0, 1, 0).op(0x0F),
         "=Sheet1!$A$1:$B$2 A1:A2"},
        {"PtgMemArea", memArea, "=SUM(SUM(A1:B2),{7})"},
    };
    for (const RefCase& c : cases)
        EXPECT_EQ(decode(c.tokens, c.kind, c.row, c.col), QString::fromUtf8(c.text)) << c.what;
}

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

}  // namespace

// A name's range is read by the decoder's own token loop: references and
// unions (in parentheses too) make a range, anything else or a cut token none.
namespace {

QString rangeOf(const Tokens& t) {
    tabulon::xls::NameModel name;
    name.rgce = t.bytes;
    const auto areas = tabulon::host::nameAreas(name);
    if (!areas) return QStringLiteral("none");
    QStringList parts;
    for (const tabulon::xls::Area& a : *areas) parts << tabulon::host::areaAddress(a);
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

}  // namespace
