// Formula text of workbook parts made into the text the spreadsheet shows:
// shared formulas moved into each cell, stored prefixes removed, external
// books named by path, and the areas of reference-only formulas.
#include "host/ooxml/formula/FormulaText.h"

#include <gtest/gtest.h>

using namespace tabulon::ooxml;

namespace {

struct ShiftCase {
    const char* stored;
    int dRow, dCol;
    const char* shown;
    const char* catches;
};

TEST(OoxmlFormula, SharedFormulaMovesRelativeReferencesOnly) {
    const ShiftCase cases[] = {
        {"A1*2", 3, 0, "A4*2", "rows of a relative reference not moved"},
        {"$A1+A$1+$A$1", 2, 2, "$A3+C$1+$A$1", "an absolute part moved"},
        {"SUM(A1:B2)", 1, 1, "SUM(B2:C3)", "range ends moved apart"},
        {"SUM(A:A)", 5, 1, "SUM(B:B)", "a column range moved by rows"},
        {"SUM($1:2)", 1, 3, "SUM($1:3)", "a row range moved by columns or its absolute end moved"},
        {"Sheet2!A1+'My Sheet'!B2", 1, 0, "Sheet2!A2+'My Sheet'!B3", "references on other sheets left alone"},
        {"LOG10(A1)", 1, 0, "LOG10(A2)", "a function name shaped like a cell moved"},
        {"Table1[Col]+A1", 1, 0, "Table1[Col]+A2", "a table name shaped like a cell moved"},
        {"\"A1\"&A1", 1, 0, "\"A1\"&A2", "text inside a string moved"},
        {"A1-1E+5", 1, 0, "A2-1E+5", "a number's exponent read as a reference"},
        {"A1", -1, 0, "#REF!", "a reference moved off the sheet kept"},
        {"SUM(A1:B1)", 0, -1, "SUM(#REF!)", "a range with one end off the sheet kept"},
        {"XFD1+A1", 0, 1, "#REF!+B1", "the last column of the grid not respected"},
        {"Rate*A1", 1, 0, "Rate*A2", "a defined name moved"},
    };
    for (const ShiftCase& c : cases)
        EXPECT_EQ(shiftFormula(QString::fromUtf8(c.stored), c.dRow, c.dCol), QString::fromUtf8(c.shown)) << c.catches;
}

TEST(OoxmlFormula, StoredPrefixesAndExternalBooksAreShownAsTheSpreadsheetShowsThem) {
    const std::vector<ExternalBook> books = {{QStringLiteral("C:\\data\\Prices.xlsx"), {}, {}},
                                             {QStringLiteral("Rates.xlsx"), {}, {}},
                                             {{}, QStringLiteral("Excel"), QStringLiteral("C:\\x.xls")}};
    const struct {
        const char* stored;
        const char* shown;
        const char* catches;
    } cases[] = {
        {"_xlfn.IFERROR(A1,0)", "IFERROR(A1,0)", "the new-function prefix kept"},
        {"_xlfn._xlws.SORT(A1:A9)", "SORT(A1:A9)", "only the first of two prefixes removed"},
        {"_xlfn.LET(_xlpm.x,1,_xlpm.x+1)", "LET(x,1,x+1)", "parameter prefixes kept"},
        {"[1]Sheet1!A1", "'C:\\data\\[Prices.xlsx]Sheet1'!A1", "the book number left in place of the path"},
        {"'[1]My Sheet'!$B$2", "'C:\\data\\[Prices.xlsx]My Sheet'!$B$2", "a quoted external sheet not rewritten"},
        {"[2]Sheet1!A1", "[Rates.xlsx]Sheet1!A1", "a bare book name quoted"},
        {"[1]!Rate*2", "'C:\\data\\Prices.xlsx'!Rate*2", "an external name not given its book"},
        {"[0]!Local", "Local", "a name of the book itself given a prefix"},
        {"[3]!'R1C1'", "Excel|'C:\\x.xls'!'R1C1'", "a DDE link not named by server and topic"},
        {"[9]Sheet1!A1", "[9]Sheet1!A1", "an unknown book number dropped"},
        {"\"_xlfn.\"&[1]Sheet1!A1", "\"_xlfn.\"&'C:\\data\\[Prices.xlsx]Sheet1'!A1", "text in a string rewritten"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(displayFormula(QString::fromUtf8(c.stored), books), QString::fromUtf8(c.shown)) << c.catches;
}

TEST(OoxmlFormula, ReferenceAreasOfNames) {
    auto areas = referenceAreas(u"Sheet1!$A$1:$C$9,'My Sheet'!$E$2");
    ASSERT_TRUE(areas);
    ASSERT_EQ(areas->size(), 2u);
    EXPECT_EQ((*areas)[0].sheet, QStringLiteral("Sheet1"));
    EXPECT_EQ((*areas)[0].lastRow, 8);
    EXPECT_EQ((*areas)[0].lastCol, 2);
    EXPECT_EQ((*areas)[1].sheet, QStringLiteral("My Sheet"));
    EXPECT_EQ((*areas)[1].firstRow, 1);

    areas = referenceAreas(u"Sheet1!$1:$3,Sheet1!$A:$B");
    ASSERT_TRUE(areas);
    EXPECT_EQ((*areas)[0].lastCol, 16383) << "whole rows must span the new grid";
    EXPECT_EQ((*areas)[1].lastRow, 1048575) << "whole columns must span the new grid";

    for (const char16_t* notRange : {u"Sheet1!$A$1*2", u"0.08", u"SUM(Sheet1!A1)", u"", u"#REF!"})
        EXPECT_FALSE(referenceAreas(notRange)) << QString::fromUtf16(notRange).toStdString();
}

}  // namespace
