// What the reader makes of real workbooks: sheets, cells, notes, names, links,
// page setup and document properties, checked against what the spreadsheet
// shows for the same files, and the dump's JSON of them.
#include "common/Error.h"
#include "host/Workbook.h"
#include "host/dump/WorkbookJson.h"
#include "host/model/NumberText.h"
#include "host/vba/Project.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QJsonArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <tuple>
#include <gtest/gtest.h>

using namespace tabulon;
using tabulon::host::Workbook;

namespace {

Workbook open(const char* relative) { return Workbook::load(test::fixture(QString::fromUtf8(relative))); }

// The cell at a 1-based position of the used range, found by address.
host::Cell cellAt(const host::Sheet& sheet, const QString& address) {
    const host::Range r = sheet.usedRange();
    for (qint64 i = 0; i < r.count(); ++i)
        if (r.cell(i).address() == address) return r.cell(i);
    ADD_FAILURE() << "no cell " << address.toStdString();
    return r.cell(0);
}

QString refersTo(const Workbook& book, const QString& name) {
    for (int i = 1; i <= book.nameCount(); ++i) {
        if (book.name(i).name() == name)
            return book.name(i).refersTo();
    }
    return QStringLiteral("(no such name)");
}

int errorNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(XlsSheets, NamesKindsAndVisibilityInWorkbookOrder) {
    const Workbook wb = open("xls/xlrd/namesdemo.xls");
    ASSERT_EQ(wb.sheetCount(), 4);
    EXPECT_EQ(wb.sheet(1).name(), "Sheet1");
    EXPECT_EQ(wb.sheet(4).name(), "Seamus O'Reilly");
    EXPECT_EQ(wb.sheet(QStringLiteral("sheet3")).index(), 3) << "lookup by name ignores case";
    EXPECT_EQ(wb.sheet(1).visible(), host::SheetVisible);
    EXPECT_EQ(open("xls/poi/DBCSSheetName.xls").sheet(2).name(), QString::fromUtf8("एक"));

    const Workbook hidden = open("xls/calamine/OOM_alloc.xls");
    EXPECT_EQ(hidden.sheet(1).visible(), host::SheetVisible);
    EXPECT_EQ(hidden.sheet(2).visible(), host::SheetHidden) << "hidden sheets report 0, not 1";

    const Workbook chart = open("xls/poi/ex42570-20305.xls");
    EXPECT_EQ(chart.sheet(QStringLiteral("Chart")).kind(), host::SheetKind::Chart);
    EXPECT_EQ(chart.sheet(QStringLiteral("Chart")).usedRange().count(), 1) << "chart series caches are no cells";
}

TEST(XlsSheets, OutOfRangeSheetAndNameAreRefused) {
    const Workbook wb = open("xls/poi/SimpleWithComments.xls");
    EXPECT_EQ(errorNumber([&] { wb.sheet(0); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorNumber([&] { wb.sheet(4); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorNumber([&] { wb.sheet(QStringLiteral("NoSuchSheet")); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorNumber([&] { wb.name(1); }), err::SubscriptOutOfRange);
}

TEST(XlsUsedRange, SizeAndAddressAndEmptySheetIsA1) {
    const Workbook wb = open("xls/poi/SimpleWithComments.xls");
    const host::Range used = wb.sheet(1).usedRange();
    EXPECT_EQ(std::make_tuple(used.address(), used.rowCount(), used.columnCount(), used.count()),
              std::make_tuple(QString("$A$1:$B$3"), 3, 2, qint64(6)));
    const host::Range empty = wb.sheet(2).usedRange();
    EXPECT_EQ(std::make_tuple(empty.address(), empty.count(), empty.cell(0).formula()),
              std::make_tuple(QString("$A$1"), qint64(1), QString()));
    EXPECT_TRUE(empty.cell(0).isEmpty());
}

TEST(XlsUsedRange, EnumeratesRowByRowIncludingEmptyCells) {
    const Workbook wb = open("xls/xlrd/namesdemo.xls");
    const host::Range used = wb.sheet(3).usedRange();
    ASSERT_EQ(used.address(), "$A$1:$N$27");
    QStringList order;
    used.forEach([&](const host::Cell& c) {
        order << c.address();
        return order.size() < 16;
    });
    EXPECT_EQ(QStringList({order[0], order[1], order[13], order[14]}), QStringList({"$A$1", "$B$1", "$N$1", "$A$2"}))
        << "second row follows the first";
    EXPECT_TRUE(used.cell(0).isEmpty());
    EXPECT_EQ(used.cell(1).value().toString(), "Jan");
}

TEST(XlsCells, ValuesAndFormulaTextOfConstants) {
    const Workbook wb = open("xls/poi/SimpleWithComments.xls");
    const host::Sheet s = wb.sheet(1);
    const host::Cell a1 = cellAt(s, "$A$1");
    EXPECT_EQ(a1.value().toDouble(), 1.0);
    EXPECT_EQ(a1.formula(), "1") << "a constant number reads as the spreadsheet writes it";
    EXPECT_FALSE(a1.isError());
    EXPECT_EQ(cellAt(s, "$B$2").value().toString(), "two");
    EXPECT_EQ(cellAt(s, "$B$2").formula(), "two");
}

TEST(XlsCells, SharedStringsSplitOverContinueRecords) {
    const Workbook wb = open("xls/calamine/sst_continue.xls");
    const host::Range used = wb.sheet(1).usedRange();
    ASSERT_EQ(used.count(), 136);
    // The last CONTINUE begins exactly with a new string: no flag byte there.
    EXPECT_EQ(used.cell(134).value().toString(), "This is a long string with a serial num");
    EXPECT_EQ(used.cell(135).value().toString(), "New CONTINUE block");
    for (qint64 i = 0; i < 134; ++i) {
        const QString expected = QStringLiteral("This is a long string with a serial number at the end %1")
                                     .arg(i + 1, 4, 10, QLatin1Char('0'));
        ASSERT_EQ(used.cell(i).value().toString(), expected) << "row " << i + 1;
    }
    EXPECT_TRUE(wb.warnings().isEmpty());
}

// The formula texts of this book are in the fixture formula table.
TEST(XlsCells, SharedFormulaCellsKeepTheirOwnResult) {
    const Workbook wb = open("xls/poi/SharedFormulaTest.xls");
    EXPECT_EQ(cellAt(wb.sheet(1), "$B$2").formula(), "=A$1*2");
    EXPECT_EQ(cellAt(wb.sheet(1), "$DY$2").value().toDouble(), 4.0);
}

TEST(XlsCells, ExternalReferenceCarriesTheResolvedBookPath) {
    const Workbook wb = open("xls/poi/multibookFormulaA.xls");
    const QString folder = QFileInfo(test::fixture("xls/poi/multibookFormulaA.xls")).absolutePath();
    const host::Cell a1 = cellAt(wb.sheet(1), "$A$1");
    EXPECT_EQ(a1.formula(), "='" + folder + "/[multibookFormulaB.xls]BSheet1'!B1");
    EXPECT_EQ(a1.value().toDouble(), 35.0);
}

TEST(XlsNotes, CommentTextWithItsAuthorLineAlsoOnEmptyCells) {
    const Workbook book = open("xls/poi/SimpleWithComments.xls");
    const host::Sheet s = book.sheet(1);
    EXPECT_EQ(cellAt(s, "$B$1").noteText(), "Yegor Kozlov:\nfirst cell");
    EXPECT_EQ(cellAt(s, "$B$3").noteText(), "Yegor Kozlov:\nthird cell");
    EXPECT_EQ(cellAt(s, "$A$1").noteText(), "");
    const Workbook other = open("xls/poi/comments.xls");
    const host::Cell empty = cellAt(other.sheet(1), "$A$1");
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(empty.noteText().startsWith("comment top row1 (index0)"));
    // The NOTE record names the author apart from the text.
    EXPECT_EQ(s.model().notes.at({0, 1}).author, QStringLiteral("Yegor Kozlov"));
}

// The add-in functions the formulas call, as the workbook lists them.
TEST(XlsLinks, AddInFunctionsTheFormulasCall) {
    EXPECT_EQ(open("xls/poi/externalFunctionExample.xls").model().addInFunctions, QStringList({"ISODD", "ISEVEN", "YEARFRAC"}));  // the Analysis ToolPak's
    EXPECT_TRUE(open("xls/poi/SimpleMacro.xls").model().addInFunctions.isEmpty());
}

// The workbook and its sheets keep the names their code modules go by.
TEST(XlsSheets, CodeNamesOfTheWorkbookAndItsSheets) {
    const Workbook book = open("xls/poi/SimpleMacro.xls");
    EXPECT_EQ(book.model().codeName, QStringLiteral("ThisWorkbook"));
    EXPECT_EQ(book.sheet(1).model().codeName, QStringLiteral("Sheet1"));
}

// Everything is read at load, from one reading of the file: a file changed
// or gone afterwards changes nothing the workbook answers, down to the cell
// formats of the print image and the VBA project.
TEST(XlsLoad, TheFileIsReadOnceAtLoad) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xls"));
    ASSERT_TRUE(QFile::copy(test::fixture("xls/poi/SimpleMacro.xls"), path));
    const Workbook book = Workbook::load(path);
    const host::Cell first = book.sheet(1).usedRange().cell(0);
    const QString shown = book.sheet(1).display(first).text;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
    }
    EXPECT_EQ(book.sheet(1).display(book.sheet(1).usedRange().cell(0)).text, shown);
    EXPECT_FALSE(shown.isEmpty());
    ASSERT_TRUE(book.vbaProject()->isPresent());
    EXPECT_EQ(book.vbaProject()->components().size(), 5);
    QFile::remove(path);
    EXPECT_EQ(book.vbaProject()->components().front().name, QStringLiteral("Module1"));
}

TEST(XlsNames, WorkbookAndSheetLevelNames) {
    const Workbook wb = open("xls/xlrd/namesdemo.xls");
    std::map<QString, host::Name> byName;
    for (int i = 1; i <= wb.nameCount(); ++i) byName.emplace(wb.name(i).name(), wb.name(i));
    ASSERT_TRUE(byName.count("Apostrophe"));
    EXPECT_EQ(byName.at("Apostrophe").refersToRangeAddress(), "$A$1:$Z$10");
    ASSERT_TRUE(byName.count("Sheet1!LocalRange")) << "sheet-level names carry their sheet";
    EXPECT_TRUE(byName.at("Sheet1!LocalRange").isSheetLevel());
    ASSERT_TRUE(byName.count("Sheet3!Print_Titles")) << "built-in names get their text";
    EXPECT_EQ(byName.at("Sheet3!Print_Titles").refersToRangeAddress(), "$A:$A,$1:$1");
    ASSERT_TRUE(byName.count("PosInt"));
    EXPECT_EQ(byName.at("PosInt").refersTo(), "=65535");
    EXPECT_EQ(errorNumber([&] { byName.at("PosInt").refersToRangeAddress(); }), err::Refused) << "a constant has no range";
}

TEST(XlsPageSetup, PrintAreaAndTitlesFromBuiltinNames) {
    const Workbook wb = open("xls/xlrd/namesdemo.xls");
    const host::PageSetup ps = wb.sheet(3).pageSetup();
    EXPECT_EQ(QStringList({ps.printArea, ps.printTitleRows, ps.printTitleColumns}),
              QStringList({"$A$1:$N$4", "$1:$1", "$A:$A"}));
    const host::PageSetup none = wb.sheet(1).pageSetup();
    EXPECT_EQ(QStringList({none.printArea, none.printTitleRows, none.printTitleColumns}), QStringList({"", "", ""}));
}

TEST(XlsLinks, WorkbookLinksAsFullPathsAndNoOleLinks) {
    const Workbook wb = open("xls/poi/multibookFormulaA.xls");
    const QString folder = QFileInfo(test::fixture("xls/poi/multibookFormulaA.xls")).absolutePath();
    EXPECT_EQ(wb.linkSources(host::LinkExcel), QStringList{folder + "/multibookFormulaB.xls"});
    EXPECT_TRUE(wb.linkSources(host::LinkOle).isEmpty());
    EXPECT_TRUE(open("xls/poi/SimpleWithComments.xls").linkSources(host::LinkExcel).isEmpty());
}

// Author, Last Author, Application, Company by position; an absent text is
// empty, an absent date (Last Print Date, never printed) the automation error.
TEST(XlsProperties, BuiltinPositions) {
    const Workbook wb = open("xls/xlrd/namesdemo.xls");
    QStringList texts;
    for (int position : {3, 7, 9, 21}) texts << wb.builtinProperty(position).toString();
    EXPECT_EQ(texts, (QStringList{"John Machin", "John Machin", "Microsoft Excel", "Lingfo Pty Ltd"}));
    EXPECT_EQ(wb.builtinProperty(11).toDateTime().toUTC().date(), QDate(2006, 9, 1));  // Creation Date
    EXPECT_FALSE(wb.builtinProperty(1).isValid());
    EXPECT_EQ(errorNumber([&] { wb.builtinProperty(10); }), err::PropertyNotHeld);
}

TEST(XlsCells, ConstantNumbersReadAsTheFormulaNumberRule) {
    // Whole numbers take a shortcut; it must give the same text as the rule.
    for (double v : {0.0, 1.0, -1.0, 7.0, 42.0, 100.0, 9999.0, 10000.0, 65536.0, -123456789012345.0, 999999999999999.0, 1e15, 1e16, 0.5, -0.0,
                     1.0 / 3.0, 123456.789}) {
        tabulon::model::CellData data;
        data.type = tabulon::model::CellType::Number;
        data.number = v;
        EXPECT_EQ(host::Cell(&data, 0, 0, nullptr).formula(), tabulon::model::numberText(v)) << v;
    }
}

// Formula texts of real workbooks, each checked against an independent
// reading (LibreOffice's conversion of the same file) and against the
// spreadsheet's own way of writing where the two differ: whole rows, the
// author's spaces, TRUE rather than TRUE(), error constants, exponents.
namespace {

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
    const Workbook book = open(e.file);
    EXPECT_EQ(cellAt(book.sheet(QString::fromUtf8(e.sheet)), QString::fromUtf8(e.address)).formula().toStdString(),
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
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$H$1136", "=QUOTIENT(3.14159,6.02214179E+23)"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$F$800", "=TRUNC(IRR(AL7:AL9, -10%),4)"},
        Expect{"xls/poi/FormulaEvalTestData.xls", "EverythingTests", "$N$1044", "=SUM(OFFSET(K7:L8, 0,0,))"},
        Expect{"xls/poi/SharedFormulaTest.xls", "0", "$B$3", "=A$1*2"},
        Expect{"xls/poi/SharedFormulaTest.xls", "0", "$DY$2", "=DZ2*2"},
        Expect{"xls/poi/shared_formulas.xls", "Label", "$A$6", "=B6"},
        Expect{"xls/poi/externalFunctionExample.xls", "Sheet1", "$A$3", "=YEARFRAC(B3, C3,D3)"},
        Expect{"xls/poi/externalFunctionExample.xls", "Sheet1", "$A$4", "=IF(ISEVEN(3), 1.2,1.6)"},
        Expect{"xls/calamine/xls_formula.xls", "Sheet1", "$A$3", "=2*Sheet2!A1"},
        Expect{"xls/xlrd/namesdemo.xls", "Sheet3", "$A$14", "=SUM(rectangle1 rectangle2)"},
        Expect{"xls/xlrd/namesdemo.xls", "Sheet3", "$A$15", "=SUM(rectangle1, rectangle2)"}));

TEST(FixtureNames, DefinedNamesReadLikeFormulas) {
    const Workbook tokens = open("xls/xlrd/formula_test_names.xls");
    EXPECT_EQ(refersTo(tokens, QStringLiteral("testchoose")), QStringLiteral("=CHOOSE(3,\"A\",\"B\",\"C\")"));
    EXPECT_EQ(refersTo(tokens, QStringLiteral("tfunc")), QStringLiteral("=ABS(2*-3)"));
    EXPECT_EQ(refersTo(tokens, QStringLiteral("singlesum")), QStringLiteral("=SUM(4)"));
    const Workbook demo = open("xls/xlrd/namesdemo.xls");
    EXPECT_EQ(refersTo(demo, QStringLiteral("Apostrophe")), QStringLiteral("='Seamus O''Reilly'!$A$1:$Z$10"));
    EXPECT_EQ(refersTo(demo, QStringLiteral("Intersection")), QStringLiteral("=rectangle1 rectangle2"));
    EXPECT_EQ(refersTo(demo, QStringLiteral("EmptyString")), QStringLiteral("=\"\""));
}

}  // namespace

// The dump's JSON: the members other tools and people read.
TEST(XlsJson, SheetsCellsNotesNamesLinksAndWarnings) {
    const QJsonObject root = host::workbookJson(open("xls/poi/SimpleWithComments.xls"));
    for (const char* member : {"fullName", "properties", "sheets", "names", "links", "warnings"})
        EXPECT_TRUE(root.contains(QLatin1String(member))) << member;
    const QJsonArray sheets = root.value("sheets").toArray();
    ASSERT_EQ(sheets.size(), 3);
    const QJsonObject first = sheets.at(0).toObject();
    EXPECT_EQ(first.value("name").toString(), "Sheet1");
    EXPECT_EQ(first.value("kind").toString(), "worksheet");
    EXPECT_EQ(first.value("visible").toInt(), -1);
    EXPECT_EQ(first.value("usedRange").toObject().value("address").toString(), "$A$1:$B$3");
    EXPECT_TRUE(first.value("shapes").isArray());
    const QJsonArray cells = first.value("cells").toArray();
    ASSERT_EQ(cells.size(), 6) << "only cells with something in them";
    const QJsonObject b1 = cells.at(1).toObject();
    EXPECT_EQ(b1.value("address").toString(), "$B$1");
    EXPECT_EQ(b1.value("value").toString(), "one");
    EXPECT_EQ(b1.value("note").toString(), "Yegor Kozlov:\nfirst cell");
    EXPECT_FALSE(cells.at(0).toObject().contains("note"));
    EXPECT_EQ(root.value("properties").toObject().value("7").toString(), "Yegor Kozlov");
    EXPECT_FALSE(root.value("properties").toObject().contains("10")) << "a missing date is left out";
    EXPECT_TRUE(root.value("links").toObject().value("excel").toArray().isEmpty());
}
