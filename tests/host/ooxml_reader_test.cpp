// The Office Open XML reader on crafted packages, one rule each: what the
// spreadsheet would show for shared, array and table formulas, names,
// sheets, comments, controls and shapes with macros, links, the date
// system and encryption.
#include "host/ReadFailure.h"
#include "host/Workbook.h"
#include "support/TestSupport.h"
#include "host/cfb/CompoundFile.h"
#include "host/ooxml/OoxmlLoader.h"
#include "host/ooxml/book/ExternalLinks.h"
#include "host/ooxml/crypto/EncryptedPackage.h"
#include "host/ooxml/package/ZipArchive.h"
#include "support/PackageWriter.h"

#include <QTemporaryDir>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

using namespace tabulon;
using tabulon::test::Book;

namespace {

model::Book load(const Book& b) {
    return ooxml::loadPackage(QStringLiteral("/tmp/crafted.xlsx"), ooxml::PackageBytes::of(b.writer().bytes()));
}

QString formulaAt(const model::Book& book, int sheet, int row, int col) {
    const model::Sheet& s = book.sheets.at(size_t(sheet));
    const model::CellData* c = model::findCell(s, row, col);
    return c ? model::cellFormula(s, *c) : QStringLiteral("<no cell>");
}

TEST(OoxmlReader, SharedArrayAndTableFormulasReadInEveryCellAsShown) {
    Book b;
    // The shared formula's first cell is B3, in the middle of its range.
    b.sheet("S", "<sheetData>"
                 "<row r=\"2\"><c r=\"B2\"><f t=\"shared\" si=\"0\"/><v>1</v></c></row>"
                 "<row r=\"3\"><c r=\"B3\"><f t=\"shared\" ref=\"B2:B5\" si=\"0\">A3*$C$1+_xlfn.IFS(A3,1)</f><v>2</v></c></row>"
                 "<row r=\"4\"><c r=\"B4\"><f t=\"shared\" si=\"0\"/><v>3</v></c>"
                 "<c r=\"D4\"><f t=\"array\" ref=\"D4:E5\">MMULT(A1:B2,A1:B2)</f><v>1</v></c><c r=\"E4\"><v>2</v></c></row>"
                 "<row r=\"5\"><c r=\"D5\"><v>3</v></c><c r=\"E5\"><v>4</v></c>"
                 "<c r=\"G5\"><f t=\"dataTable\" ref=\"G5:G6\" dt2D=\"0\" dtr=\"0\" r1=\"A1\"/><v>5</v></c></row>"
                 "<row r=\"6\"><c r=\"G6\"><v>6</v></c></row>"
                 "</sheetData>");
    const model::Book book = load(b);
    EXPECT_EQ(formulaAt(book, 0, 1, 1), QStringLiteral("=A2*$C$1+IFS(A2,1)")) << "a cell above its shared formula's first cell";
    EXPECT_EQ(formulaAt(book, 0, 2, 1), QStringLiteral("=A3*$C$1+IFS(A3,1)"));
    EXPECT_EQ(formulaAt(book, 0, 3, 1), QStringLiteral("=A4*$C$1+IFS(A4,1)"));
    for (auto [r, c] : {std::pair{3, 3}, {3, 4}, {4, 3}, {4, 4}})
        EXPECT_EQ(formulaAt(book, 0, r, c), QStringLiteral("=MMULT(A1:B2,A1:B2)")) << "array formula missing in a cell of its range";
    EXPECT_EQ(formulaAt(book, 0, 5, 6), QStringLiteral("=TABLE(,A1)")) << "a data table's other cells";
}

TEST(OoxmlReader, SheetsNamesAndDateSystemAsTheWorkbookPartStatesThem) {
    Book b;
    b.workbookPr = QStringLiteral("date1904=\"1\" codeName=\"ThisBook\"");
    b.sheet("Visible", "<sheetPr codeName=\"Sheet1\"/><sheetData><row r=\"1\"><c r=\"A1\"><f>Second!Local*2</f><v>4</v></c></row></sheetData>");
    b.sheet("Second", "<sheetData/>", "veryHidden");
    b.sheet("Third", "<sheetData/>", "hidden");
    b.workbookExtra = QStringLiteral(
        "<definedNames><definedName name=\"Local\" localSheetId=\"1\">Second!$A$1:$B$2</definedName>"
        "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">Visible!$A$1:$C$9</definedName>"
        "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">Visible!$1:$2</definedName>"
        "<definedName name=\"Rate\" hidden=\"1\">0.08</definedName></definedNames>");
    const model::Book book = load(b);
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.sheets[1].visibility, 2) << "a very hidden sheet";
    EXPECT_EQ(book.sheets[2].visibility, 1);
    EXPECT_TRUE(book.formats.date1904);
    EXPECT_EQ(book.codeName, QStringLiteral("ThisBook"));
    EXPECT_EQ(book.sheets[0].codeName, QStringLiteral("Sheet1"));
    EXPECT_EQ(formulaAt(book, 0, 0, 0), QStringLiteral("=Second!Local*2")) << "a sheet-level name used from another sheet";
    ASSERT_EQ(book.names.size(), 4u);
    EXPECT_TRUE(book.names[0].sheetLevel);
    EXPECT_EQ(book.names[0].sheet, QStringLiteral("Second"));
    EXPECT_EQ(book.names[1].name, QStringLiteral("Print_Area")) << "a built-in name keeps its stored prefix";
    EXPECT_TRUE(book.names[1].builtin);
    ASSERT_TRUE(book.names[2].areas);
    EXPECT_EQ(book.names[2].areas->front().lastCol, 16383) << "print titles must span the new grid";
    EXPECT_TRUE(book.names[3].hidden);
    EXPECT_FALSE(book.names[3].areas) << "a constant is no range";
    EXPECT_EQ(book.format.text(), QStringLiteral("OOXML (.xlsx)"));
}

TEST(OoxmlReader, ExternalLinksAreNamedByPathInFormulasAndLinkSources) {
    Book b;
    b.sheet("S", "<sheetData><row r=\"1\"><c r=\"A1\"><f>[1]Prices!$B$2*[1]!Rate</f><v>1</v></c></row></sheetData>");
    b.workbookExtra = QStringLiteral("<externalReferences><externalReference r:id=\"rIdX\"/></externalReferences>");
    b.part("xl/externalLinks/externalLink1.xml",
           QStringLiteral("<externalLink xmlns=\"%1\" xmlns:r=\"%2\"><externalBook r:id=\"rId1\"><sheetNames>"
                          "<sheetName val=\"Prices\"/></sheetNames></externalBook></externalLink>").arg(Book::kMain, Book::kRel).toUtf8());
    b.rel("xl/workbook.xml", "rIdX", "externalLink", "externalLinks/externalLink1.xml");
    b.rel("xl/externalLinks/externalLink1.xml", "rId1", "externalLinkPath", "file:///C:\\data\\Prices.xlsx", true);
    const model::Book book = load(b);
    EXPECT_EQ(formulaAt(book, 0, 0, 0), QStringLiteral("='C:\\data\\[Prices.xlsx]Prices'!$B$2*'C:\\data\\Prices.xlsx'!Rate"));
    ASSERT_EQ(book.links.size(), 1u);
    EXPECT_EQ(book.links[0].target, QStringLiteral("C:\\data\\Prices.xlsx"));
}

TEST(OoxmlReader, CommentsAndShapesWithTheirMacros) {
    Book b;
    const QString sheet = b.sheet("S", "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>"
                                       "<drawing r:id=\"rD\"/><legacyDrawing r:id=\"rV\"/>");
    b.rel(sheet, "rD", "drawing", "../drawings/drawing1.xml");
    b.rel(sheet, "rV", "vmlDrawing", "../drawings/vmlDrawing1.vml");
    b.rel(sheet, "rC", "comments", "../comments1.xml");
    b.rel(sheet, "rT", "http://schemas.microsoft.com/office/2017/10/relationships/threadedComment", "../threadedComments/t1.xml");
    b.rel("xl/workbook.xml", "rP", "http://schemas.microsoft.com/office/2017/10/relationships/person", "persons/person.xml");
    b.part("xl/drawings/drawing1.xml", QByteArray(
        "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><xdr:twoCellAnchor>"
        "<xdr:from><xdr:col>1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from>"
        "<xdr:to><xdr:col>3</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>4</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>"
        "<xdr:sp macro=\"[0]!Module1.Run\"><xdr:nvSpPr><xdr:cNvPr id=\"2\" name=\"実行\"/><xdr:cNvSpPr/></xdr:nvSpPr>"
        "<xdr:spPr><a:prstGeom prst=\"rect\"/><a:solidFill><a:srgbClr val=\"FF0000\"/></a:solidFill>"
        "<a:ln><a:prstDash val=\"dash\"/></a:ln></xdr:spPr>"
        "<xdr:txBody><a:bodyPr/><a:p><a:r><a:t>Run</a:t></a:r></a:p><a:p><a:r><a:t>now</a:t></a:r></a:p></xdr:txBody></xdr:sp>"
        "<xdr:clientData/></xdr:twoCellAnchor></xdr:wsDr>"));
    b.part("xl/drawings/vmlDrawing1.vml", QByteArray(
        "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
        "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
        "<v:shape id=\"_x0000_s1025\" type=\"#_x0000_t201\" fillcolor=\"buttonFace [67]\">"
        "<v:textbox><div>Go<br>on</div></v:textbox>"  // <br> unclosed, as Excel writes it now and then
        "<x:ClientData ObjectType=\"Button\"><x:Anchor>1, 0, 5, 0, 2, 0, 6, 0</x:Anchor>"
        "<x:FmlaMacro>[0]!Module1.Go</x:FmlaMacro></x:ClientData></v:shape>"
        "<v:shape id=\"_x0000_s1026\" fillcolor=\"#ffffe1\" style=\"visibility:hidden\"><x:ClientData ObjectType=\"Checkbox\">"
        "<x:Checked>1</x:Checked></x:ClientData></v:shape>"
        "<v:shape id=\"_x0000_s1027\" style=\"visibility:hidden\"><x:ClientData ObjectType=\"Note\"><x:Row>0</x:Row>"
        "<x:Column>0</x:Column></x:ClientData></v:shape></xml>"));
    b.part("xl/comments1.xml", QStringLiteral(
        "<comments xmlns=\"%1\"><authors><author>山田</author></authors><commentList><comment ref=\"A1\" authorId=\"0\">"
        "<text><r><rPr><b/></rPr><t>山田:</t></r><r><t xml:space=\"preserve\">\n確認</t></r></text></comment>"
        "<comment ref=\"B2\" authorId=\"0\"><text><t>[Threaded comment]</t></text></comment></commentList></comments>")
        .arg(Book::kMain).toUtf8());
    b.part("xl/threadedComments/t1.xml", QByteArray(
        "<ThreadedComments xmlns=\"http://schemas.microsoft.com/office/spreadsheetml/2018/threadedcomments\">"
        "<threadedComment ref=\"B2\" personId=\"{P1}\" id=\"{C1}\"><text>Why?</text></threadedComment>"
        "<threadedComment ref=\"B2\" personId=\"{P2}\" id=\"{C2}\" parentId=\"{C1}\"><text>Because.</text></threadedComment>"
        "</ThreadedComments>"));
    b.part("xl/persons/person.xml", QByteArray(
        "<personList xmlns=\"http://schemas.microsoft.com/office/spreadsheetml/2018/threadedcomments\">"
        "<person displayName=\"Ann\" id=\"{P1}\"/><person displayName=\"Bob\" id=\"{P2}\"/></personList>"));
    const model::Book book = load(b);
    const model::Sheet& s = book.sheets.at(0);
    ASSERT_EQ(s.notes.size(), 2u);
    EXPECT_EQ(s.notes.at({0, 0}).text, QStringLiteral("山田:\n確認"));
    EXPECT_EQ(s.notes.at({0, 0}).author, QStringLiteral("山田"));
    EXPECT_EQ(s.notes.at({1, 1}).text, QStringLiteral("Ann:\nWhy?\nBob:\nBecause.")) << "a thread must replace its placeholder";
    EXPECT_EQ(s.notes.at({1, 1}).author, QStringLiteral("Ann"));
    ASSERT_EQ(s.shapes.size(), 4u);
    const model::Shape& drawn = s.shapes[0];
    EXPECT_EQ(drawn.name, QStringLiteral("実行"));
    EXPECT_EQ(drawn.onAction, QStringLiteral("Module1.Run")) << "the own book's [0]! kept";
    EXPECT_EQ(drawn.text, QStringLiteral("Run\nnow"));
    EXPECT_EQ(drawn.fillColor, model::Color::of(0xFF0000));
    EXPECT_EQ(drawn.dashStyle, 4);
    ASSERT_TRUE(drawn.anchor);
    EXPECT_EQ(drawn.anchor->col1, 1);
    EXPECT_EQ(drawn.anchor->row2, 4);
    const model::Shape& button = s.shapes[1];
    EXPECT_EQ(button.kind, model::ShapeKind::Button);
    EXPECT_EQ(button.name, QStringLiteral("Button 1")) << "the default name .xls gives the first button";
    EXPECT_EQ(button.onAction, QStringLiteral("Module1.Go"));
    EXPECT_EQ(button.text, QStringLiteral("Go\non"));
    EXPECT_EQ(s.shapes[2].checked, 1);
    EXPECT_EQ(s.shapes[2].name, QStringLiteral("Check Box 2"));
    EXPECT_TRUE(s.shapes[3].isComment());
    EXPECT_EQ(s.shapes[3].text, QStringLiteral("山田:\n確認"));
}

// A compound file holding the two streams of an encrypted package.
void writeEncrypted(const QString& path, const ooxml::EncryptedStreams& s) {
    gsf_init();
    GsfOutput* out = gsf_output_stdio_new(path.toUtf8().constData(), nullptr);
    GsfOutfile* root = gsf_outfile_msole_new(out);
    for (const auto& [name, bytes] : {std::pair{"EncryptionInfo", s.encryptionInfo}, {"EncryptedPackage", s.encryptedPackage}}) {
        GsfOutput* child = gsf_outfile_new_child(root, name, FALSE);
        gsf_output_write(child, size_t(bytes.size()), reinterpret_cast<const guint8*>(bytes.constData()));
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(root));
    g_object_unref(root);
    g_object_unref(out);
}

TEST(OoxmlReader, AnEncryptedPackageOpensWithThePasswordAndIsRefusedWithout) {
    Book b;
    b.sheet("秘密", "<sheetData><row r=\"1\"><c r=\"A1\"><v>42</v></c></row></sheetData>");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.xlsx"));
    writeEncrypted(path, ooxml::encryptPackage(b.writer().bytes(), QStringLiteral("pw"), true, 100));
    const model::Book book = ooxml::loadOoxmlWorkbook(path, [](int) { return std::optional<QString>(QStringLiteral("pw")); });
    EXPECT_TRUE(book.encrypted);
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].cells.at(0).number, 42);
    try {
        ooxml::loadOoxmlWorkbook(path);
        ADD_FAILURE() << "opened without a password";
    } catch (const host::ReadError& e) {
        EXPECT_EQ(e.kind(), host::ReadFailure::PasswordNeeded);
    }
}

TEST(OoxmlReader, CellValuesOfEveryType) {
    Book b;
    b.sharedStrings({QStringLiteral("共有"), QStringLiteral("two")});
    b.sheet("S", "<dimension ref=\"A1:XFD1048576\"/><sheetData><row r=\"1\">"
                 "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"b\"><v>1</v></c><c r=\"C1\" t=\"e\"><v>#DIV/0!</v></c>"
                 "<c r=\"D1\" t=\"inlineStr\"><is><t>in_x000D_line</t></is></c><c r=\"E1\" t=\"str\"><f>\"a\"&amp;\"b\"</f><v>ab</v></c>"
                 "<c r=\"F1\"><v>1.5E+3</v></c><c r=\"G1\" t=\"s\"><v>99</v></c><c t=\"n\"><v>7</v></c>"
                 "<c r=\"I1\" t=\"s\"><f>A1</f><v>98</v></c></row></sheetData>");
    const model::Book book = load(b);
    const model::Sheet& s = book.sheets[0];
    ASSERT_EQ(s.cells.size(), 8u) << "a cell referring to a string that is not there is left out, unless it has a formula";
    EXPECT_EQ(s.cells[7].type, model::CellType::Empty) << "a formula's missing string is no value";
    EXPECT_EQ(model::cellFormula(s, s.cells[7]), QStringLiteral("=A1"));
    EXPECT_EQ(model::cellText(book, s, s.cells[0]), QStringLiteral("共有"));
    EXPECT_EQ(s.cells[1].type, model::CellType::Boolean);
    EXPECT_EQ(s.cells[2].number, model::errorcode::Div0);
    EXPECT_EQ(model::cellText(book, s, s.cells[3]), QStringLiteral("in\rline"));
    EXPECT_EQ(model::cellText(book, s, s.cells[4]), QStringLiteral("ab"));
    EXPECT_EQ(model::cellFormula(s, s.cells[4]), QStringLiteral("=\"a\"&\"b\""));
    EXPECT_EQ(s.cells[5].number, 1500);
    EXPECT_EQ(s.cells[6].col, 7) << "a cell without a reference follows the one before it";
    EXPECT_EQ(s.used.lastCol, 8) << "a dimension of the whole grid must not become the used range";
    EXPECT_EQ(s.used.lastRow, 0);
    EXPECT_FALSE(book.warnings.isEmpty());
}

}  // namespace

namespace {

TEST(OoxmlReader, CellReferencesPastTheGridStandForNoReference) {
    const struct {
        const char* ref;
        int row, col;  // where the cell lands: after C1 when its reference is unreadable
    } cases[] = {
        {"XFD1048576", 1048575, 16383}, {"$B$2", 1, 1}, {"xfd2", 1, 16383},
        {"XFE1", 0, 3}, {"A1048577", 0, 3}, {"AAAAAAAAAAAAAAAAAAAAAAAA1", 0, 3}, {"A99999999999999999999", 0, 3},
    };
    for (const auto& c : cases) {
        Book b;
        b.sheet("S", QStringLiteral("<sheetData><row r=\"1\"><c r=\"C1\"><v>1</v></c><c r=\"%1\"><v>2</v></c></row></sheetData>").arg(c.ref));
        const model::Book book = load(b);
        const model::Sheet& s = book.sheets.at(0);
        ASSERT_EQ(s.cells.size(), 2u) << c.ref;
        EXPECT_EQ(s.cells[1].row, c.row) << c.ref;
        EXPECT_EQ(s.cells[1].col, c.col) << c.ref;
    }
}

TEST(OoxmlReader, FunctionsOfXllAddInsAreListedAsTheOlderFormatListsThem) {
    Book b;
    b.workbookExtra = QStringLiteral("<definedNames><definedName name=\"Rate\">_xll.Curve(1)+_xll.DSSData(2)</definedName></definedNames>");
    b.sheet("S", "<sheetData><row r=\"1\"><c r=\"A1\"><f>_xll.DSSData(B1,\"_xll.NotCalled(\")/100</f><v>1</v></c>"
                 "<c r=\"A2\"><f>SUM(_xll.Yield(B1),_xll.dssdata(B2))</f><v>1</v></c></row></sheetData>");
    EXPECT_EQ(load(b).addInFunctions, QStringList({QStringLiteral("DSSData"), QStringLiteral("Yield"), QStringLiteral("Curve")}))
        << "each function once, first seen first, sheets before names; nothing in a string";
}

TEST(OoxmlReader, LinkedBookPathsAsTheLinkSourcesShowThem) {
    const struct {
        const char* target;
        const char* shown;
        const char* catches;
    } cases[] = {
        {"file:///C:\\data\\Prices.xlsx", "C:\\data\\Prices.xlsx", "the URL scheme kept"},
        {"file:///C:/data/My%20Prices.xlsx", "C:\\data\\My Prices.xlsx", "escapes or slashes of a drive path kept"},
        {"file:///\\\\server\\share\\B.xlsx", "\\\\server\\share\\B.xlsx", "a server path lost"},
        {"../../../../C:/data/Prices.xls", "C:\\data\\Prices.xls", "a drive reached by climbing read as relative"},
        {"Prices.xlsx", "/books/Prices.xlsx", "a relative path not resolved against the workbook's folder"},
        {"../other/Prices.xlsx", "/other/Prices.xlsx", "a climbing relative path not resolved"},
        {"https://example.com/b.xlsx", "https://example.com/b.xlsx", "a web address changed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ooxml::linkedBookPath(QString::fromUtf8(c.target), QStringLiteral("/books")), QString::fromUtf8(c.shown))
            << c.catches;
}

}  // namespace

// Formula texts of real workbooks, each checked against an independent
// reading of the same file (openpyxl's, which moves shared formulas too).
namespace {

TEST(OoxmlFixtures, FormulasReadAsAnIndependentReaderReadsThem) {
    const struct {
        const char* file;
        int sheet;
        const char* address;
        const char* formula;
    } cases[] = {
        {"ooxml/calamine/tests/issue_565_multi_axis_shared.xlsx", 1, "$D$2", "=D2"},
        {"ooxml/calamine/tests/issue_565_multi_axis_shared.xlsx", 1, "$K$1", "=D1"},
        {"ooxml/calamine/tests/issue_565_multi_axis_shared.xlsx", 1, "$F$4", "=A4"},
        {"ooxml/calamine/tests/shared_formula_reversed.xlsx", 1, "$B$1", "=A1"},
        {"ooxml/calamine/tests/shared_formula_reversed.xlsx", 2, "$B$5", "=A5"},
    };
    for (const auto& c : cases) {
        const host::Workbook book = host::Workbook::load(test::fixture(QString::fromUtf8(c.file)));
        QString found = QStringLiteral("<no cell>");
        book.sheet(c.sheet).usedRange().forEach([&](const host::Cell& cell) {
            if (cell.address() != QLatin1String(c.address)) return true;
            found = cell.formula();
            return false;
        });
        EXPECT_EQ(found.toStdString(), c.formula) << c.file << " " << c.address;
    }
    const host::Workbook button = host::Workbook::load(test::fixture("ooxml/closedxml/ClosedXML.Tests/Resource/TryToLoad/FileWithButton.xlsm"));
    EXPECT_EQ(button.model().format.text(), QStringLiteral("OOXML (.xlsm)"));
    ASSERT_EQ(button.sheet(1).shapes().size(), 1u);
    EXPECT_EQ(button.sheet(1).shapes()[0].name, QStringLiteral("Button 1"));
    EXPECT_EQ(button.sheet(1).shapes()[0].kind, model::ShapeKind::Button);
}

}  // namespace

namespace {

TEST(OoxmlReader, RibbonCallbacksAreWorkbookLevelEntryPoints) {
    Book b;
    b.sheet("S", "<sheetData/>");
    b.part("customUI/customUI14.xml", QByteArray(
        "<customUI xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\" onLoad=\"Ribbon.Loaded\"><ribbon><tabs>"
        "<tab id=\"t\" label=\"業務\"><group id=\"g\"><button id=\"run\" label=\"実行\" onAction=\"Module1.Run\"/>"
        "<button id=\"run2\" onAction=\"Module1.Run\" getEnabled=\"Module1.Enabled\"/></group></tab></tabs></ribbon></customUI>"));
    b.rel(QString(), "rIdUi", "http://schemas.microsoft.com/office/2007/relationships/ui/extensibility", "customUI/customUI14.xml");
    const model::Book book = load(b);
    ASSERT_EQ(book.ribbonActions.size(), 2u) << "only onAction callbacks are entry points clicked by the user";
    EXPECT_EQ(book.ribbonActions[0].control, QStringLiteral("run"));
    EXPECT_EQ(book.ribbonActions[0].label, QStringLiteral("実行"));
    EXPECT_EQ(book.ribbonActions[0].macro, QStringLiteral("Module1.Run"));
}

}  // namespace

// Empty cells take their row's style (customFormat), else their column's;
// a cell's own style comes first.
// A whole column merged past the last cell (as a sheet saved by the
// spreadsheet may hold) keeps the used range to the cells and the dimension,
// so the print image does not run to a million rows.
TEST(OoxmlReader, AMergedAreaPastTheCellsDoesNotStretchTheUsedRange) {
    Book b;
    b.sheet("S", "<dimension ref=\"A1:B3\"/><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                 "<row r=\"2\"><c r=\"A2\"><v>2</v></c></row></sheetData>"
                 "<mergeCells count=\"1\"><mergeCell ref=\"B1:B1048576\"/></mergeCells>");
    const model::Book book = load(b);
    const model::Sheet& s = book.sheets.at(0);
    EXPECT_EQ(s.used, (model::Area{0, 2, 0, 1}));
    ASSERT_EQ(s.layout.merges.size(), 1u);
    EXPECT_EQ(s.layout.merges[0].lastRow, 1048575);
}

// Custom views carry their own page setup, breaks, header and footer; the
// sheet prints with its own, each once.
TEST(OoxmlReader, CustomViewsLeaveTheSheetsPageSetupAlone) {
    const char* view = "<customSheetView guid=\"{1}\"><rowBreaks count=\"1\"><brk id=\"7\"/></rowBreaks>"
                       "<pageSetup scale=\"60\"/><headerFooter><oddFooter>&amp;LView</oddFooter></headerFooter>"
                       "</customSheetView>";
    Book b;
    b.sheet("S", QStringLiteral("<sheetData/><customSheetViews>%1%1</customSheetViews>"
                                "<pageSetup scale=\"59\"/><headerFooter><oddFooter>&amp;LOwn</oddFooter></headerFooter>"
                                "<rowBreaks count=\"1\"><brk id=\"20\"/></rowBreaks>").arg(view));
    const model::Book book = load(b);
    const model::PageSetup& page = book.sheets.at(0).layout.page;
    EXPECT_EQ(page.footerText, "&LOwn");
    EXPECT_EQ(page.scale, 59);
    EXPECT_EQ(page.rowBreaks, std::vector<int>{20});
}

TEST(OoxmlReader, EmptyCellsTakeTheirRowsElseTheirColumnsFormat) {
    Book b;
    b.sheet("S", "<cols><col min=\"2\" max=\"2\" width=\"9\" style=\"1\"/></cols><sheetData>"
                 "<row r=\"1\"><c r=\"B1\" s=\"2\"><v>1</v></c></row>"
                 "<row r=\"3\" s=\"3\" customFormat=\"1\"/><row r=\"4\" s=\"3\"/></sheetData>");
    const model::Book book = load(b);
    const model::SheetLayout& l = book.sheets.at(0).layout;
    EXPECT_EQ(l.cellFormat(0, 1), 2) << "its own";
    EXPECT_EQ(l.cellFormat(1, 1), 1) << "its column's";
    EXPECT_EQ(l.cellFormat(2, 0), 3) << "its row's";
    EXPECT_EQ(l.cellFormat(2, 1), 3) << "the row's before the column's";
    EXPECT_EQ(l.cellFormat(3, 0), -1) << "a row style without customFormat is not applied";
}
