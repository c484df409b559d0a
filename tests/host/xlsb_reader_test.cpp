// The binary workbook (.xlsb) reader on crafted record streams, one rule
// each: every kind of cell, each class of formula token in its wider
// form, shared and array formulas, names, external references, sheets'
// states and layout, comments, and damaged or hostile parts.
#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/Workbook.h"
#include "host/cfb/CompoundFile.h"
#include "host/vba/FormBinary.h"
#include "host/vba/Project.h"
#include "support/TestSupport.h"
#include "host/ooxml/OoxmlLoader.h"
#include "host/ooxml/binary/Records.h"
#include "host/ooxml/package/ZipArchive.h"
#include "xlswriter/XlsbWriter.h"
#include "xlswriter/ZipWriter.h"

#include <gtest/gtest.h>

using namespace tabulon;
using xlsw::RecordBody;
using xlsw::Rgce;
using xlsw::XlsbWriter;
using xlsw::record;

namespace {

namespace brt {
constexpr int RowHdr = 0x00, CellRk = 0x02, CellBool = 0x04, CellSt = 0x06, CellIsst = 0x07, FmlaString = 0x08,
              FmlaBool = 0x0A, FmlaError = 0x0B, Name = 0x27, ColInfo = 0x3C, CellRString = 0x3E, WsProp = 0x93;
constexpr int MergeCell = 0xB0, SupBookSrc = 0x163, SupTabs = 0x167, BeginSupBook = 0x168, ArrFmla = 0x1AA,
              ShrFmla = 0x1AB, BeginHeaderFooter = 0x1DF, CommentAuthor = 0x278, BeginComment = 0x27B,
              EndComment = 0x27C, CommentText = 0x27D, BeginRwBrk = 0x188, EndRwBrk = 0x189, Brk = 0x18C,
              BeginUserShViews = 0x1A6, BeginUserShView = 0x1A7, EndUserShView = 0x1A8, EndUserShViews = 0x1A9;
}  // namespace brt

model::Book load(const XlsbWriter& w) {
    return ooxml::loadPackage(QStringLiteral("/books/crafted.xlsb"), ooxml::PackageBytes::of(w.package()));
}

QString formulaAt(const model::Book& book, int sheet, int row, int col) {
    const model::Sheet& s = book.sheets.at(size_t(sheet));
    const model::CellData* c = model::findCell(s, row, col);
    return c ? model::cellFormula(s, *c) : QStringLiteral("<no cell>");
}

QString textAt(const model::Book& book, int sheet, int row, int col) {
    const model::Sheet& s = book.sheets.at(size_t(sheet));
    const model::CellData* c = model::findCell(s, row, col);
    return c ? model::cellText(book, s, *c) : QStringLiteral("<no cell>");
}

QByteArray u32le(uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

// A row header for the records a test writes itself.
QByteArray rowHeader(int row) { return record(brt::RowHdr, RecordBody().u32(quint32(row)).u32(0).u16(300).u8(0).u8(0).u8(0).u32(0)); }
RecordBody cell(int col) { return std::move(RecordBody().u32(quint32(col)).u32(0)); }

TEST(XlsbReader, CellsOfEveryKindWithTheirValues) {
    XlsbWriter w;
    xlsw::XlsbSheet& s = w.addSheet(QStringLiteral("S"));
    s.number(0, 0, 42).number(0, 1, 2.5).text(0, 2, QStringLiteral("共有"));
    xlsw::XlsCell& boolean = s.cells.emplace_back();
    boolean.col = 3, boolean.kind = xlsw::XlsCell::Boolean, boolean.boolean = true;
    xlsw::XlsCell& error = s.cells.emplace_back();
    error.col = 4, error.kind = xlsw::XlsCell::Error, error.errorCode = 0x07;
    // Row 2: an RK number in hundredths, an inline and a rich string, formulas of each result type.
    s.data = rowHeader(1) + record(brt::CellRk, cell(0).u32(12345u << 2 | 0x03)) +
             record(brt::CellSt, cell(1).wide(QStringLiteral("inline"))) +
             record(brt::CellRString, cell(2).u8(1).wide(QStringLiteral("rich")).u32(1).u16(2).u16(1)) +
             record(brt::FmlaString, cell(3).wide(QStringLiteral("ab")).u16(0).formula(Rgce(true).str("a").str("b").op(0x08).bytes())) +
             record(brt::FmlaBool, cell(4).u8(1).u16(0).formula(Rgce(true).boolean(true).bytes())) +
             record(brt::FmlaError, cell(5).u8(0x2A).u16(0).formula(Rgce(true).integer(1).integer(0).op(0x06).bytes())) +
             record(brt::CellIsst, cell(6).u32(99));
    const model::Book book = load(w);
    EXPECT_EQ(book.format.text(), QStringLiteral("OOXML binary (.xlsb)"));
    const model::Sheet& sh = book.sheets.at(0);
    EXPECT_EQ(model::findCell(sh, 0, 0)->number, 42) << "an RK integer";
    EXPECT_EQ(model::findCell(sh, 0, 1)->number, 2.5) << "a real number";
    EXPECT_EQ(textAt(book, 0, 0, 2), QStringLiteral("共有")) << "a shared string";
    EXPECT_EQ(model::findCell(sh, 0, 3)->type, model::CellType::Boolean);
    EXPECT_EQ(model::findCell(sh, 0, 4)->number, model::errorcode::Div0);
    EXPECT_DOUBLE_EQ(model::findCell(sh, 1, 0)->number, 123.45) << "an RK number stored in hundredths";
    EXPECT_EQ(textAt(book, 0, 1, 1), QStringLiteral("inline"));
    EXPECT_EQ(textAt(book, 0, 1, 2), QStringLiteral("rich"));
    EXPECT_EQ(textAt(book, 0, 1, 3), QStringLiteral("ab")) << "a formula's cached text";
    EXPECT_EQ(formulaAt(book, 0, 1, 3), QStringLiteral("=\"a\"&\"b\""));
    EXPECT_EQ(model::findCell(sh, 1, 4)->type, model::CellType::Boolean);
    EXPECT_EQ(formulaAt(book, 0, 1, 4), QStringLiteral("=TRUE"));
    EXPECT_EQ(model::findCell(sh, 1, 5)->number, model::errorcode::NA);
    EXPECT_EQ(model::findCell(sh, 1, 6), nullptr) << "a cell naming a shared string the file does not hold";
    EXPECT_FALSE(book.warnings.isEmpty());
    EXPECT_EQ(sh.used.lastRow, 1);
    EXPECT_EQ(sh.used.lastCol, 6) << "the left-out cell is still one the file holds";
}

// Each token class in its binary-workbook form: the rows are 32 bits wide
// and strings have a 16-bit count, so a decoder reading them as .xls
// tokens gets every case wrong.
TEST(XlsbReader, FormulaTokensOfEachClass) {
    const auto raw = [](std::initializer_list<int> bytes) {
        QByteArray b;
        for (int v : bytes) b.append(char(v));
        return b;
    };
    const struct {
        QByteArray rgce;
        const char* text;
        const char* catches;
    } cases[] = {
        {Rgce(true).ref(70000, 2).bytes(), "=C70001", "a row past 65536"},
        {Rgce(true).ref(0, 0, false, false).bytes(), "=$A$1", "absolute flags"},
        {Rgce(true).area(0, 0, 99999, 1).bytes(), "=A1:B100000", "an area's rows"},
        {Rgce(true).ref3d(1, 4, 1, false).bytes(), "=Other!$B$5", "a 3-D reference through the Xti list"},
        {Rgce(true).str(QStringLiteral("日本")).bytes(), "=\"日本\"", "a string constant"},
        {Rgce(true).number(1.5).integer(2).op(0x05).bytes(), "=1.5*2", "numbers and an operator"},
        {Rgce(true).integer(1).paren().op(0x13).bytes(), "=-(1)", "a unary operator and parentheses"},
        {Rgce(true).ref(0, 0).func(0x18).bytes(), "=ABS(A1)", "a fixed-argument function"},
        {Rgce(true).ref(0, 0).ref(1, 0).funcVar(4, 2).bytes(), "=SUM(A1,A2)", "a variable-argument function"},
        {Rgce(true).name(1).bytes(), "=Total", "a defined name"},
        {raw({0x1C, 0x07}), "=#DIV/0!", "an error constant"},
        {raw({0x2A, 0, 0, 0, 0, 0, 0}), "=#REF!", "a deleted reference is six bytes wide"},
        {raw({0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "={1,\"x\"}", "an array constant: 14 unused bytes, its values in the extra bytes"},
    };
    XlsbWriter w;
    xlsw::XlsbSheet& s = w.addSheet(QStringLiteral("S"));
    w.addSheet(QStringLiteral("Other"));
    w.workbookRecords = record(brt::Name, RecordBody().u32(0).u8(0).u32(0xFFFFFFFFu).wide(QStringLiteral("Total"))
                                              .formula(Rgce(true).ref3d(0, 0, 0, false).bytes()));
    // The array constant's values: one row, two columns, a number and a string.
    const QByteArray array = u32le(1) + u32le(2) + raw({0x00}) + QByteArray(8, 0) + raw({0x01, 1, 0, 'x', 0});
    int row = 0;
    for (const auto& c : cases) {
        xlsw::XlsCell& f = s.cells.emplace_back();
        f.row = row++, f.kind = xlsw::XlsCell::Formula, f.rgce = c.rgce;
        if (c.rgce.startsWith(char(0x20))) {
            f.extra = array;
            const double one = 1;
            f.extra.replace(9, 8, QByteArray(reinterpret_cast<const char*>(&one), 8));
        }
    }
    const model::Book book = load(w);
    row = 0;
    for (const auto& c : cases) EXPECT_EQ(formulaAt(book, 0, row++, 0).toStdString(), c.text) << c.catches;
}

TEST(XlsbReader, SharedAndArrayFormulasReadInEveryCellOfTheirRange) {
    XlsbWriter w;
    xlsw::XlsbSheet& s = w.addSheet(QStringLiteral("S"));
    // Shared over B1:B3: A(row)*2 with the row relative (PtgRefN: row offset 0, column offset -1).
    const QByteArray refN = QByteArray(1, char(0x2C)) + u32le(0) + QByteArray("\xFF\xFF", 2);
    const QByteArray shared = refN + Rgce(true).integer(2).op(0x05).bytes();
    const QByteArray exp = QByteArray(1, char(0x01)) + u32le(0);  // PtgExp naming row 1 ...
    const QByteArray colB = u32le(1), colD = u32le(3);            // ... and the column in PtgExtraCol
    for (int r = 0; r < 3; ++r) {
        xlsw::XlsCell& f = s.cells.emplace_back();
        f.row = r, f.col = 1, f.kind = xlsw::XlsCell::Formula, f.rgce = exp, f.extra = colB;
        if (r == 0) {
            // The body follows the first cell of its range.
            xlsw::XlsCell& d = s.cells.emplace_back();
            d.row = 0, d.col = 3, d.kind = xlsw::XlsCell::Formula, d.rgce = exp, d.extra = colD;
        }
    }
    xlsw::XlsCell& d2 = s.cells.emplace_back();
    d2.row = 2, d2.col = 3, d2.kind = xlsw::XlsCell::Formula, d2.rgce = exp, d2.extra = colD;
    s.data = record(brt::ShrFmla, RecordBody().u32(0).u32(2).u32(1).u32(1).formula(shared)) +
             record(brt::ArrFmla, RecordBody().u32(0).u32(2).u32(3).u32(3).u8(0)
                                      .formula(Rgce(true).area(0, 0, 2, 0, false).area(0, 1, 2, 1, false).op(0x05).bytes()));
    const model::Book book = load(w);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(formulaAt(book, 0, r, 1), QStringLiteral("=A%1*2").arg(r + 1)) << "a shared formula not moved to its cell";
    EXPECT_EQ(formulaAt(book, 0, 0, 3), QStringLiteral("=$A$1:$A$3*$B$1:$B$3"));
    EXPECT_EQ(formulaAt(book, 0, 2, 3), QStringLiteral("=$A$1:$A$3*$B$1:$B$3")) << "an array formula's other cells";
}

TEST(XlsbReader, NamesAndReferencesToOtherSheetsAndBooks) {
    XlsbWriter w;
    w.addSheet(QStringLiteral("Data"));
    xlsw::XlsbSheet& use = w.addSheet(QStringLiteral("Use"));
    // Rate: Data's own name; Total: the workbook's. Both used on Use.
    w.workbookRecords =
        record(brt::Name, RecordBody().u32(0).u8(0).u32(0).wide(QStringLiteral("Rate")).formula(Rgce(true).ref3d(0, 0, 0, false).bytes())) +
        record(brt::Name, RecordBody().u32(0).u8(0).u32(0xFFFFFFFFu).wide(QStringLiteral("Total"))
                              .formula(Rgce(true).ref3d(0, 0, 1, false).bytes()));
    // A linked book with its one sheet, Prices: supporting link 1, Xti 2.
    w.externals = record(brt::SupBookSrc, RecordBody().wide(QStringLiteral("rIdX")));
    w.moreXti.push_back({1, 0, 0});
    w.workbookRels = QStringLiteral("<Relationship Id=\"rIdX\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                    "relationships/externalLink\" Target=\"externalLinks/externalLink1.bin\"/>");
    w.part(QStringLiteral("xl/externalLinks/externalLink1.bin"),
           record(brt::BeginSupBook, RecordBody().u16(0).wide(QStringLiteral("rId1"))) +
               record(brt::SupTabs, RecordBody().u32(1).wide(QStringLiteral("Prices"))),
           QStringLiteral("application/vnd.ms-excel.externalLink"));
    w.part(QStringLiteral("xl/externalLinks/_rels/externalLink1.bin.rels"),
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/externalLinkPath\" "
           "Target=\"file:///C:\\data\\Prices.xlsx\" TargetMode=\"External\"/></Relationships>");
    use.formula(0, 0, Rgce(true).name(2).func(0x18)).formula(1, 0, Rgce(true).name(1));
    use.formula(2, 0, Rgce(true).ref3d(2, 1, 1, false));
    const model::Book book = load(w);
    EXPECT_EQ(formulaAt(book, 1, 0, 0), QStringLiteral("=ABS(Total)")) << "a workbook name";
    EXPECT_EQ(formulaAt(book, 1, 1, 0), QStringLiteral("=Data!Rate")) << "another sheet's own name";
    EXPECT_EQ(formulaAt(book, 1, 2, 0), QStringLiteral("='C:\\data\\[Prices.xlsx]Prices'!$B$2")) << "a linked book's sheet";
    ASSERT_EQ(book.links.size(), 1u);
    EXPECT_EQ(book.links[0].target, QStringLiteral("C:\\data\\Prices.xlsx"));
    ASSERT_EQ(book.names.size(), 2u);
    EXPECT_EQ(book.names[0].sheetIndex, 0) << "a sheet's own name kept on its sheet";
    EXPECT_EQ(book.names[1].sheetIndex, -1);
}

// An add-in's functions are listed after its link; a formula calls one by
// its number there (PtgNameX) through the user-defined function slot.
TEST(XlsbReader, AddInFunctionsAreCalledByName) {
    XlsbWriter w;
    xlsw::XlsbSheet& s = w.addSheet(QStringLiteral("S"));
    w.externals = record(0x29B) + record(0x169, RecordBody().wide(QStringLiteral("ISODD"))) +
                  record(0x169, RecordBody().wide(QStringLiteral("YEARFRAC")));
    w.moreXti.push_back({1, -2, -2});
    const QByteArray nameX = QByteArray(1, char(0x39)) + QByteArray("\x01\x00", 2) + u32le(2);  // Xti 1, name 2
    s.formula(0, 0, Rgce(true));
    s.cells.back().rgce = nameX + Rgce(true).ref(0, 1).ref(0, 2).funcVar(255, 3).bytes();
    const model::Book book = load(w);
    EXPECT_EQ(formulaAt(book, 0, 0, 0), QStringLiteral("=YEARFRAC(B1,C1)"));
    EXPECT_EQ(book.addInFunctions, QStringList({QStringLiteral("ISODD"), QStringLiteral("YEARFRAC")}));
}

// The VBA project is a part of its own, read by the same code as an .xlsm's.
TEST(XlsbReader, TheVbaProjectPartIsRead) {
    const cfb::CompoundFile file(test::fixture("xls/crafted/japanese_vba.xls"));
    XlsbWriter w;
    w.addSheet(QStringLiteral("S"));
    w.part(QStringLiteral("xl/vbaProject.bin"), vba::formBinary(file.root().storage(QStringLiteral("_VBA_PROJECT_CUR")), 64 << 20),
           QStringLiteral("application/vnd.ms-office.vbaProject"));
    w.workbookRels = QStringLiteral("<Relationship Id=\"rIdV\" Type=\"http://schemas.microsoft.com/office/2006/relationships/"
                                    "vbaProject\" Target=\"vbaProject.bin\"/>");
    const model::Book book = load(w);
    ASSERT_NE(book.vbaProject, nullptr);
    EXPECT_EQ(book.vbaProject->components().size(), vba::Project::load(test::fixture("xls/crafted/japanese_vba.xls")).components().size());
}

TEST(XlsbReader, SheetStatesLayoutAndComments) {
    XlsbWriter w;
    w.codeName = QStringLiteral("ThisWorkbook");
    xlsw::XlsbSheet& s = w.addSheet(QStringLiteral("見える"));
    w.addSheet(QStringLiteral("Hidden"), 1);
    w.addSheet(QStringLiteral("VeryHidden"), 2);
    s.number(0, 0, 1);
    s.head = record(brt::WsProp, RecordBody().u8(0).u8(0).u8(0).u32(0).u32(0).u32(0).u32(0).wide(QStringLiteral("Sheet1"))) +
             record(brt::ColInfo, RecordBody().u32(1).u32(2).u32(20 * 256).u32(0).u16(0x01));
    // A custom view with its own breaks and header, which are not the sheet's.
    const QByteArray view = record(brt::BeginUserShView, RecordBody().bytes(QByteArray(48, 0))) +
                            record(brt::BeginRwBrk, RecordBody().u32(1).u32(1)) +
                            record(brt::Brk, RecordBody().u32(7).u32(0).u32(16383).u32(1).u32(0)) + record(brt::EndRwBrk) +
                            record(brt::BeginHeaderFooter, RecordBody().u16(0).wide(QStringLiteral("&LView")).wide(QString())) +
                            record(brt::EndUserShView);
    s.tail = record(brt::MergeCell, RecordBody().u32(3).u32(4).u32(0).u32(2)) +
             record(brt::BeginHeaderFooter, RecordBody().u16(0).wide(QStringLiteral("&Cヘッダー")).wide(QStringLiteral("&P"))) +
             record(brt::BeginUserShViews) + view + record(brt::EndUserShViews);
    s.relsXml = QStringLiteral("<Relationship Id=\"rC\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                               "relationships/comments\" Target=\"../comments1.bin\"/>");
    w.part(QStringLiteral("xl/comments1.bin"),
           record(brt::CommentAuthor, RecordBody().wide(QStringLiteral("山田"))) +
               record(brt::BeginComment, RecordBody().u32(0).u32(0).u32(0).u32(0).u32(0).bytes(QByteArray(16, 0))) +
               record(brt::CommentText, RecordBody().u8(0).wide(QStringLiteral("メモ"))) + record(brt::EndComment),
           QStringLiteral("application/vnd.ms-excel.comments"));
    const model::Book book = load(w);
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.codeName, QStringLiteral("ThisWorkbook"));
    EXPECT_EQ(book.sheets[0].name, QStringLiteral("見える"));
    EXPECT_EQ(book.sheets[0].codeName, QStringLiteral("Sheet1"));
    EXPECT_EQ(book.sheets[1].visibility, 1);
    EXPECT_EQ(book.sheets[2].visibility, 2);
    const model::SheetLayout& l = book.sheets[0].layout;
    ASSERT_GE(l.columns.size(), 3u);
    EXPECT_EQ(l.columns[2].width256, 20 * 256);
    EXPECT_TRUE(l.columns[1].hidden);
    ASSERT_EQ(l.merges.size(), 1u);
    EXPECT_EQ(l.merges[0].lastRow, 4);
    EXPECT_EQ(book.sheets[0].used.lastRow, 0) << "a merged area past the cells does not stretch the used range";
    EXPECT_EQ(l.page.headerText, QStringLiteral("&Cヘッダー")) << "a custom view's header is not the sheet's";
    EXPECT_TRUE(l.page.rowBreaks.empty()) << "nor are its breaks";
    ASSERT_EQ(book.sheets[0].notes.size(), 1u);
    EXPECT_EQ(book.sheets[0].notes.begin()->second.text, QStringLiteral("メモ"));
    EXPECT_EQ(book.sheets[0].notes.begin()->second.author, QStringLiteral("山田"));
}

}  // namespace

// Damaged and hostile parts: a clear refusal when the workbook part is
// unreadable, else a partial read with a warning; never a crash or a hang.
namespace {

// The package of a small good workbook with one part replaced.
QByteArray withPart(const QString& name, const QByteArray& bytes) {
    XlsbWriter w;
    xlsw::XlsbSheet& s = w.addSheet(QStringLiteral("S"));
    s.number(0, 0, 1).number(1, 0, 2).formula(2, 0, Rgce(true).ref(0, 0).ref(1, 0).op(0x03), 3);
    const QByteArray good = w.package();
    if (name.isEmpty()) return good;
    ooxml::ZipArchive zip(ooxml::PackageBytes::of(good), QStringLiteral("good.xlsb"));
    std::vector<xlsw::ZipPart> parts;
    for (const ooxml::ZipEntry& e : zip.entries())
        parts.push_back({e.name, e.name == name ? bytes : zip.read(e, 1 << 20)});
    return xlsw::zipParts(parts);
}

QByteArray partOf(const QString& name) {
    const QByteArray good = withPart({}, {});
    ooxml::ZipArchive zip(ooxml::PackageBytes::of(good), QStringLiteral("good.xlsb"));
    return zip.read(*zip.find(name), 1 << 20);
}

TEST(XlsbDamage, AnUnreadableWorkbookPartIsRefusedAsDamaged) {
    const QString book = QStringLiteral("xl/workbook.bin");
    const QByteArray good = partOf(book);
    const struct {
        QByteArray bytes;
        const char* catches;
    } cases[] = {
        {QByteArray("\x83\x01\xFF\xFF\xFF\xFF", 6), "a record size of five bytes"},
        {QByteArray("\x83\x01\xFF\xFF\xFF\x7F", 6), "a record claiming 256 MB the part does not hold"},
        {QByteArray("\x83", 1), "a header cut short"},
        {good.left(good.indexOf(QByteArray("\x9C\x01", 2)) + 6), "the part cut inside the first sheet's record"},
    };
    for (const auto& c : cases) {
        try {
            ooxml::loadPackage(QStringLiteral("/b/x.xlsb"), ooxml::PackageBytes::of(withPart(book, c.bytes)));
            ADD_FAILURE() << c.catches << ": read without a refusal";
        } catch (const host::ReadError& e) {
            EXPECT_EQ(e.kind(), host::ReadFailure::Damaged) << c.catches;
            EXPECT_TRUE(e.technical().contains(book)) << c.catches << ": the refusal names the part";
        }
    }
}

TEST(XlsbDamage, ADamagedSheetKeepsWhatCameBeforeTheDamage) {
    const QString sheet = QStringLiteral("xl/worksheets/sheet1.bin");
    const QByteArray good = partOf(sheet);
    // The formula's record: its type and size take a byte each.
    qsizetype formula = -1;
    ooxml::RecordReader records(good, sheet);
    for (ooxml::BinaryRecord r; formula < 0 && records.next(r);)
        if (r.type == 0x09) formula = qsizetype(r.offset) - 2;
    ASSERT_GT(formula, 0);
    QByteArray shortToken = good;  // the formula's token stream claims more than it holds
    shortToken[formula + 2 + 8 + 8 + 2] = char(100);
    QByteArray tooLong = good.left(formula + 1) + QByteArray("\xFF\xFF\xFF\x7F", 4) + good.mid(formula + 2);
    const QByteArray unknown = record(0x3FFF, QByteArray(3, 'x'));
    const struct {
        QByteArray bytes;
        int cells;
        bool warned;
        const char* catches;
    } cases[] = {
        {good, 3, false, "the good part"},
        {good.left(formula + 5), 2, true, "the part cut inside the formula's record"},
        {tooLong, 2, true, "the formula's record claiming more than the part holds"},
        {shortToken, 2, true, "a token count past the record's end"},
        {good.left(formula) + unknown + good.mid(formula), 3, false, "an unknown record is passed over"},
        {QByteArray(), 0, false, "an empty sheet part"},
    };
    for (const auto& c : cases) {
        const model::Book book = ooxml::loadPackage(QStringLiteral("/b/x.xlsb"), ooxml::PackageBytes::of(withPart(sheet, c.bytes)));
        ASSERT_EQ(book.sheets.size(), 1u) << c.catches;
        EXPECT_EQ(book.sheets[0].cells.size(), size_t(c.cells)) << c.catches;
        EXPECT_EQ(!book.warnings.isEmpty(), c.warned) << c.catches << ": " << book.warnings.join(u'\n').toStdString();
    }
}

// The parts beside the sheets: damage there is a warning, the workbook reads.
TEST(XlsbDamage, DamagedStylesAndStringsPartsAreWarnedAbout) {
    // Each part's main record with a body too short for its fields: a font, a string claiming 2^31 characters.
    const std::pair<const char*, QByteArray> parts[] = {{"xl/styles.bin", QByteArray("\x2B\x03\x00\x00\x00", 5)},
                                                        {"xl/sharedStrings.bin", QByteArray("\x13\x05\x00\xFF\xFF\xFF\x7F", 7)}};
    for (const auto& [name, shortRecord] : parts) {
        const QString part = QString::fromLatin1(name);
        const QByteArray good = partOf(part);
        for (const QByteArray& bytes : {good.left(good.size() / 2), good.left(3) + QByteArray("\xFF\xFF\xFF\x7F", 4) + good.mid(4),
                                        shortRecord}) {
            const model::Book book = ooxml::loadPackage(QStringLiteral("/b/x.xlsb"), ooxml::PackageBytes::of(withPart(part, bytes)));
            ASSERT_EQ(book.sheets.size(), 1u) << name;
            EXPECT_GE(book.sheets[0].cells.size(), 3u) << name << ": the sheet's numbers and formula stay";
            EXPECT_FALSE(book.warnings.isEmpty()) << name;
        }
    }
}

TEST(XlsbDamage, ATokenStreamEndingEarlyLeavesTheFormulaEmptyWithAWarning) {
    const struct {
        QByteArray rgce;
        const char* catches;
    } cases[] = {
        {QByteArray("\x24\x01\x00", 3), "a reference cut inside its row"},
        {QByteArray("\x17\xFF\x7F\x41", 4), "a string claiming 32767 characters"},
        {QByteArray("\x42\x02\x04\x00", 4), "a function with no arguments on the stack"},
        {QByteArray("\x20\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 15), "an array constant without its values"},
    };
    XlsbWriter w;
    xlsw::XlsbSheet& s = w.addSheet(QStringLiteral("S"));
    for (const auto& c : cases) s.formula(int(&c - cases), 0, Rgce(true), 7).cells.back().rgce = c.rgce;
    const model::Book book = load(w);
    for (const auto& c : cases) {
        const int row = int(&c - cases);
        ASSERT_NE(model::findCell(book.sheets[0], row, 0), nullptr) << c.catches << ": the cell and its value stay";
        EXPECT_EQ(model::findCell(book.sheets[0], row, 0)->number, 7) << c.catches;
        EXPECT_TRUE(formulaAt(book, 0, row, 0).size() <= 1) << c.catches << ": " << formulaAt(book, 0, row, 0).toStdString();
    }
    EXPECT_GE(book.warnings.size(), qsizetype(std::size(cases)));
}

}  // namespace

// Real binary workbooks nobody here wrote, each value checked against an
// independent reading of the same file (SheetJS's, bench/ooxml/compare_sheetjs.sh).
namespace {

TEST(XlsbFixtures, FormulasNamesAndNotesReadAsAnIndependentReaderReadsThem) {
    const model::Book issues = ooxml::loadOoxmlWorkbook(test::fixture("ooxml/calamine/tests/issues.xlsb"));
    ASSERT_EQ(issues.sheets.size(), 6u);
    EXPECT_EQ(formulaAt(issues, 2, 1, 0), QStringLiteral("=B1+OneRange"));
    EXPECT_EQ(formulaAt(issues, 0, 2, 0), QStringLiteral("=CONCATENATE(\"a\",\"b\")"));
    EXPECT_EQ(textAt(issues, 0, 2, 0), QStringLiteral("ab"));
    EXPECT_EQ(formulaAt(issues, 0, 3, 0), QStringLiteral("=A1>A2"));
    EXPECT_EQ(model::findCell(issues.sheets[0], 3, 0)->type, model::CellType::Boolean);
    QStringList names;
    for (const model::Name& n : issues.names) names << n.name + n.refersTo;
    EXPECT_TRUE(names.contains(QStringLiteral("MyDataTypes=datatypes!$A$1:$A$6"))) << names.join(u' ').toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("OneRange=Sheet1!$A$1"))) << names.join(u' ').toStdString();

    const model::Book blanks =
        ooxml::loadOoxmlWorkbook(test::fixture("ooxml/exceldatareader/src/TestData/Test_Issue_11573_BlankValues.xlsb"));
    EXPECT_EQ(formulaAt(blanks, 0, 4, 2), QStringLiteral("=VLOOKUP(C3,IJ1:IK27,2,FALSE)"));
    EXPECT_EQ(model::findCell(blanks.sheets[0], 4, 2)->number, 21001110);
    EXPECT_EQ(formulaAt(blanks, 0, 12, 1), QStringLiteral("=VLOOKUP(C13,IR:IS,2,FALSE)")) << "whole columns";
    EXPECT_EQ(textAt(blanks, 0, 12, 1), QStringLiteral("070202"));
    EXPECT_EQ(formulaAt(blanks, 0, 12, 5), QStringLiteral("=IF(ISNUMBER(E13),D13*E13,0)"));
    ASSERT_EQ(blanks.sheets[0].notes.count({1, 2}), 1u);
    EXPECT_EQ(blanks.sheets[0].notes.at({1, 2}).author, QStringLiteral("MIRIAM"));
    EXPECT_TRUE(blanks.sheets[0].notes.at({1, 2}).text.contains(QStringLiteral("POLA SZARE WYPEŁNIA")));
    EXPECT_EQ(blanks.sheets[0].layout.merges.size(), 1u);
}

TEST(XlsbFixtures, AnEncryptedBinaryWorkbookOpensWithItsPassword) {
    const QString path = test::fixture("ooxml/exceldatareader/src/TestData/agile_AES128_SHA1_CBC_pwd_password.xlsb");
    const model::Book book = ooxml::loadOoxmlWorkbook(path, [](int) { return std::optional<QString>(QStringLiteral("password")); });
    EXPECT_TRUE(book.encrypted);
    EXPECT_EQ(book.format.text(), QStringLiteral("OOXML binary (.xlsb)"));
    ASSERT_FALSE(book.sheets.empty());
    EXPECT_FALSE(book.sheets[0].cells.empty());
    try {
        ooxml::loadOoxmlWorkbook(path);
        ADD_FAILURE() << "opened without its password";
    } catch (const host::ReadError& e) {
        EXPECT_EQ(e.kind(), host::ReadFailure::PasswordNeeded);
    }
}

}  // namespace
