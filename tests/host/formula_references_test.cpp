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

TEST(FormulaReferences, DollarSignsFollowTheRelativeFlags) {
    EXPECT_EQ(decode(Tokens().ref(0, 0, true, true)), QStringLiteral("=A1"));
    EXPECT_EQ(decode(Tokens().ref(4, 2, false, true)), QStringLiteral("=C$5"));
    EXPECT_EQ(decode(Tokens().ref(4, 2, true, false)), QStringLiteral("=$C5"));
    EXPECT_EQ(decode(Tokens().ref(65535, 255, false, false)), QStringLiteral("=$IV$65536"));
    EXPECT_EQ(decode(Tokens().area(0, 25, 9, 26, false)), QStringLiteral("=$Z$1:$AA$10"));
}

TEST(FormulaReferences, WholeColumnsAndRowsShowWithoutTheOtherCoordinate) {
    EXPECT_EQ(decode(Tokens().area(0, 0, 65535, 1)), QStringLiteral("=A:B"));
    EXPECT_EQ(decode(Tokens().area(0, 2, 65535, 2, false)), QStringLiteral("=$C:$C"));
    EXPECT_EQ(decode(Tokens().area(0, 0, 1, 255, false)), QStringLiteral("=$1:$2"));
    EXPECT_EQ(decode(Tokens().area(4, 0, 4, 255)), QStringLiteral("=5:5"));
    // A range stopping one row short is an ordinary area.
    EXPECT_EQ(decode(Tokens().area(0, 0, 65534, 0)), QStringLiteral("=A1:A65535"));
}

TEST(FormulaReferences, SharedFormulaOffsetsMoveWithTheCell) {
    // RefN row -1, column +2 from the cell, and an absolute part kept as is.
    Tokens t;
    t.ref(0xFFFF, 2, true, true, 0x4C).ref(3, 1, false, false, 0x4C).op(0x03);
    EXPECT_EQ(decode(t, FormulaKind::Shared, 9, 0), QStringLiteral("=C9+$B$4"));
    EXPECT_EQ(decode(t, FormulaKind::Shared, 19, 3), QStringLiteral("=F19+$B$4"));
}

TEST(FormulaReferences, SharedOffsetsWrapAroundTheSheet) {
    Tokens t;
    t.ref(0xFFFF, 0xFF, true, true, 0x4C);  // one row up, one column left
    EXPECT_EQ(decode(t, FormulaKind::Shared, 0, 0), QStringLiteral("=IV65536"));
    Tokens area;
    area.area(0, 0, 2, 1, true, 0x2D);
    EXPECT_EQ(decode(area, FormulaKind::Shared, 65535, 255), QStringLiteral("=IV65536:A2"));
}

TEST(FormulaReferences, NameOffsetsCountFromA1) {
    Tokens t;
    t.ref(2, 1, true, true, 0x2C);
    EXPECT_EQ(decode(t, FormulaKind::Name, 50, 50), QStringLiteral("=B3"));
}

TEST(FormulaReferences, ThreeDimensionalPrefixesComeFromTheBook) {
    EXPECT_EQ(decode(Tokens().ref3d(0, 0, 0)), QStringLiteral("=Sheet1!$A$1"));
    EXPECT_EQ(decode(Tokens().area3d(1, 0, 0, 1, 1)), QStringLiteral("='My Sheet'!$A$1:$B$2"));
    EXPECT_EQ(decode(Tokens().ref3d(2, 0, 0, true).integer(2).op(0x05)),
              QStringLiteral("='C:\\data\\[Prices.xls]Sheet1'!A1*2"));
    // A deleted sheet.
    EXPECT_EQ(decode(Tokens().ref3d(3, 0, 0)), QStringLiteral("=#REF!$A$1"));
}

TEST(FormulaReferences, RelativeThreeDimensionalReferenceIsAnOffsetOnlyInNames) {
    // In a name the stored row and column count from A1 and wrap; an array
    // formula body (decoded like a shared one) holds plain positions.
    EXPECT_EQ(decode(Tokens().ref3d(0, 0xFFFF, 0xFF, true), FormulaKind::Name), QStringLiteral("=Sheet1!IV65536"));
    EXPECT_EQ(decode(Tokens().ref3d(0, 1, 0, true), FormulaKind::Shared, 4, 1), QStringLiteral("=Sheet1!A2"));
    EXPECT_EQ(decode(Tokens().ref3d(0, 1, 0, true), FormulaKind::Cell, 4, 1), QStringLiteral("=Sheet1!A2"));
}

TEST(FormulaReferences, DeletedCellsShowAsRefError) {
    EXPECT_EQ(decode(Tokens().u8(0x2A).u32(0)), QStringLiteral("=#REF!"));
    EXPECT_EQ(decode(Tokens().u8(0x2B).u32(0).u32(0).attr(0x10)), QStringLiteral("=SUM(#REF!)"));
    EXPECT_EQ(decode(Tokens().u8(0x3C).u16(0).u32(0)), QStringLiteral("=Sheet1!#REF!"));
    EXPECT_EQ(decode(Tokens().u8(0x3D).u16(3).u32(0).u32(0)), QStringLiteral("=#REF!"));
}

TEST(FormulaReferences, NamesComeFromTheBook) {
    EXPECT_EQ(decode(Tokens().name(2).integer(1).op(0x03)), QStringLiteral("=Name2+1"));
    EXPECT_EQ(decode(Tokens().nameX(1, 4)), QStringLiteral("=Book.xls!X1_4"));
}

TEST(FormulaReferences, MemoryTokensAreTransparent) {
    // PtgMemFunc around Sheet1!A1:B2 A1:A2 intersection; PtgMemArea with
    // one cached area in RgbExtra, followed by an array constant whose
    // values must still be found after it.
    Tokens t;
    t.u8(0x29).u16(11).area3d(0, 0, 0, 1, 1).area(0, 0, 1, 0).op(0x0F);
    EXPECT_EQ(decode(t), QStringLiteral("=Sheet1!$A$1:$B$2 A1:A2"));
    Tokens m;
    m.u8(0x26).u32(0).u16(9).area(0, 0, 1, 1).attr(0x10);
    m.array(1, 1).extraNumber(7).funcVar(2, 4);
    std::vector<uint8_t> cached{1, 0, 0, 0, 1, 0, 0, 0, 1, 0};
    m.extra.insert(m.extra.begin(), cached.begin(), cached.end());
    EXPECT_EQ(decode(m), QStringLiteral("=SUM(SUM(A1:B2),{7})"));
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
