// Formula texts of real workbooks, each checked against an independent
// reading (LibreOffice's conversion of the same file) and against the
// spreadsheet's own way of writing where the two differ: whole rows, the
// author's spaces, TRUE rather than TRUE(), error constants, exponents.
#include "host/Workbook.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using tabulon::host::Workbook;
using tabulon::test::fixture;

namespace {

QString formulaAt(const Workbook& book, const QString& sheet, const QString& address) {
    QString found;
    book.sheet(sheet).usedRange().forEach([&](const tabulon::host::Cell& c) {
        if (c.address() != address)
            return true;
        found = c.formula();
        return false;
    });
    return found;
}

QString refersTo(const Workbook& book, const QString& name) {
    for (int i = 1; i <= book.nameCount(); ++i) {
        if (book.name(i).name() == name)
            return book.name(i).refersTo();
    }
    return QStringLiteral("(no such name)");
}

struct Expect {
    const char* file;
    const char* sheet;
    const char* address;
    const char* formula;
};

void PrintTo(const Expect& e, std::ostream* os) { *os << e.file << " " << e.sheet << "!" << e.address; }

class FixtureFormula : public testing::TestWithParam<Expect> {};

TEST_P(FixtureFormula, ReadsAsTheSpreadsheetWritesIt) {
    const Expect& e = GetParam();
    const Workbook book = Workbook::load(fixture(QString::fromUtf8(e.file)));
    EXPECT_EQ(formulaAt(book, QString::fromUtf8(e.sheet), QString::fromUtf8(e.address)).toStdString(),
              e.formula);
}

INSTANTIATE_TEST_SUITE_P(
    Workbooks, FixtureFormula,
    testing::Values(
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$H$47", "=12:12 H10"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$E$256", "=COLUMN(1:2)"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$F$292",
               "=COUNT(2, \"A\",  \"\", #REF!, #DIV/0!)"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$F$128",
               "=ADDRESS(2,3,3,TRUE,\"[Book1]Sheet1\")"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$H$1136",
               "=QUOTIENT(3.14159,6.02214179E+23)"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$F$800",
               "=TRUNC(IRR(AL7:AL9, -10%),4)"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$N$1044",
               "=SUM(OFFSET(K7:L8, 0,0,))"},
        Expect{"xls/poi/SharedFormulaTest.xls", "0", "$B$3", "=A$1*2"},
        Expect{"xls/poi/SharedFormulaTest.xls", "0", "$DY$2", "=DZ2*2"},
        Expect{"xls/poi/shared_formulas.xls", "Label", "$A$6", "=B6"},
        Expect{"xls/poi/externalFunctionExample.xls", "Sheet1", "$A$3", "=YEARFRAC(B3, C3,D3)"},
        Expect{"xls/poi/externalFunctionExample.xls", "Sheet1", "$A$4", "=IF(ISEVEN(3), 1.2,1.6)"},
        Expect{"xls/calamine/xls_formula.xls", "Sheet1", "$A$3", "=2*Sheet2!A1"},
        Expect{"xls/xlrd/namesdemo.xls", "Sheet3", "$A$14", "=SUM(rectangle1 rectangle2)"},
        Expect{"xls/xlrd/namesdemo.xls", "Sheet3", "$A$15", "=SUM(rectangle1, rectangle2)"}));

TEST(FixtureNames, DefinedNamesReadLikeFormulas) {
    const Workbook tokens = Workbook::load(fixture(QStringLiteral("xls/xlrd/formula_test_names.xls")));
    EXPECT_EQ(refersTo(tokens, QStringLiteral("testchoose")), QStringLiteral("=CHOOSE(3,\"A\",\"B\",\"C\")"));
    EXPECT_EQ(refersTo(tokens, QStringLiteral("tfunc")), QStringLiteral("=ABS(2*-3)"));
    EXPECT_EQ(refersTo(tokens, QStringLiteral("singlesum")), QStringLiteral("=SUM(4)"));
    const Workbook demo = Workbook::load(fixture(QStringLiteral("xls/xlrd/namesdemo.xls")));
    EXPECT_EQ(refersTo(demo, QStringLiteral("Apostrophe")), QStringLiteral("='Seamus O''Reilly'!$A$1:$Z$10"));
    EXPECT_EQ(refersTo(demo, QStringLiteral("Intersection")), QStringLiteral("=rectangle1 rectangle2"));
    EXPECT_EQ(refersTo(demo, QStringLiteral("EmptyString")), QStringLiteral("=\"\""));
}

}  // namespace
