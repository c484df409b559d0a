// Excel 5.0/95 workbooks: the format is told by the stream's first BOF,
// byte strings read through the workbook's code page (Shift_JIS here), the
// older token forms give the same formula text as BIFF8, and macros the
// exporter cannot read are recognised.
#include "common/Error.h"
#include "host/CellDisplay.h"
#include "host/Workbook.h"
#include "host/vba/Project.h"
#include "host/xls/Loader.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"
#include "xls_bytes.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <map>
#include <functional>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::xls;
namespace model = tabulon::model;
using namespace tabulon::xls::testbytes;

namespace {

const QString kPrices = QStringLiteral("\x01\x01" "C\x03" "data\x03" "[Prices.xls]Jan");

QByteArray bof5(int dt) { return record(rt::Bof, Bytes().u16(0x0500).u16(dt).u32(0).bytes()); }
QByteArray externSheet(const QString& latin) {
    return record(rt::ExternSheet, Bytes().u8(int(latin.size())).raw(latin.toLatin1()).bytes());
}
QByteArray boundSheet(uint32_t bof, int dt, const QByteArray& name) {
    return record(rt::BoundSheet8, Bytes().u32(bof).u8(0).u8(dt).u8(int(name.size())).raw(name).bytes());
}
// EXTERNSHEET index (negative: this workbook), sheets, then a BIFF5 address.
Bytes& ref3dHead(Bytes& b, int ptg, int ixals, int firstTab, int lastTab) {
    return b.u8(ptg).u16(ixals).raw(QByteArray(8, '\0')).u16(firstTab).u16(lastTab);
}

// Globals with a name, a sheet "売上" with text, a formula over 3-D, area,
// external and name references, an array constant, a note split over two NOTE records, a
// button running a macro; a sheet "Sheet2"; a VB module sheet.
QByteArray biff5Book() {
    Bytes name;  // 税率: =Sheet2!$B$1
    ref3dHead(name, 0x3A, -1, 1, 1).u16(0).u8(1);
    Bytes f;     // SUM(Sheet2!A1:B2)+'C:\data\[Prices.xls]Jan'!A1*税率&"ソ"&A2
    ref3dHead(f, 0x3B, -1, 1, 1).u16(0xC000).u16(0xC001).u8(0).u8(1);
    f.u8(0x42).u8(1).u16(4);
    ref3dHead(f, 0x3A, 1, 0, 0).u16(0xC000).u8(0);
    f.u8(0x23).u16(1).raw(QByteArray(12, '\0')).u8(0x05).u8(0x03);
    f.u8(0x17).u8(2).u8(0x83).u8(0x5C).u8(0x08).u8(0x24).u16(0xC001).u8(0).u8(0x08);
    const QByteArray sheet1 =
        bof5(0x10) + record(0x16, Bytes().u16(1).bytes()) + externSheet(kPrices) +
        record(rt::Label, Bytes().u16(0).u16(0).u16(0).u16(4).raw("\x93\x8C\x8B\x9E").bytes()) +
        record(rt::Label, Bytes().u16(0).u16(1).u16(0).u16(4).raw("\x83\x5C\x95\x5C").bytes()) +
        record(rt::Rk, Bytes().u16(1).u16(0).u16(0).u32((7 << 2) | 2).bytes()) +
        record(rt::Formula, Bytes().u16(2).u16(0).u16(0).u32(0).u16(0).u16(0xFFFF).u16(0).u32(0)
                                .u16(int(f.bytes().size())).raw(f.bytes()).bytes()) +
        record(rt::StringRec, Bytes().u16(4).raw("\x93\x8C\x8B\x9E").bytes()) +
        record(rt::Formula, Bytes().u16(3).u16(0).u16(0).u32(0).u32(0).u16(0).u32(0).u16(8).u8(0x60)
                                .raw(QByteArray(7, '\0')).u8(2).u16(1).u8(1).raw(QByteArray("\0\0\0\0\0\0\xF8\x3F", 8))
                                .u8(2).u8(2).u8(0x83).u8(0x5C).bytes()) +
        record(rt::Note, Bytes().u16(0).u16(0).u16(4).raw("\x83\x81\x83").bytes()) +
        record(rt::Note, Bytes().u16(0xFFFF).u16(0).u16(1).raw("\x82").bytes()) +
        record(rt::Obj, Bytes().u32(1).u16(7).u16(1).u16(0).raw(QByteArray(16, '\0')).u16(21)
                            .raw(QByteArray(16, '\0')).u16(15).u32(0).u8(0x43).u16(1).raw(QByteArray(12, '\0'))
                            .bytes()) + eof();
    const QByteArray sheet2 = bof5(0x10) + record(rt::Rk, Bytes().u16(0).u16(1).u16(0).u32(2).bytes()) + eof();
    auto globals = [&](uint32_t first, uint32_t second) {
        return bof5(0x05) + record(rt::CodePage, Bytes().u16(932).bytes()) +
               boundSheet(first, 0, "\x94\x84\x8F\xE3") + boundSheet(second, 0, "Sheet2") +
               boundSheet(0, 6, "Module1") +
               record(rt::Lbl, Bytes().u16(0).u8(0).u8(4).u16(int(name.bytes().size())).u16(0).u16(0).u32(0)
                                   .raw("\x90\xC5\x97\xA6").raw(name.bytes()).bytes()) + eof();
    };
    const uint32_t first = uint32_t(globals(0, 0).size());
    return globals(first, first + uint32_t(sheet1.size())) + sheet1 + sheet2;
}

}  // namespace

TEST(Biff5Workbook, ReadsSheetsCellsFormulasNamesNotesAndShapesInTheCodePage) {
    const model::Book book = readWorkbookStream(biff5Book(), QStringLiteral("/books/old.xls"));
    EXPECT_EQ(book.format.name, QStringLiteral("BIFF5"));
    EXPECT_TRUE(book.unreadableMacros) << "VB module sheets are macros we cannot export";
    ASSERT_EQ(book.sheets.size(), 2u) << "the module sheet is no member of the sheets";
    const model::Sheet& s = book.sheets[0];
    EXPECT_EQ(s.name, QString::fromUtf8("売上"));
    ASSERT_EQ(s.cells.size(), 5u);
    EXPECT_EQ(cellText(book, s, s.cells[0]), QString::fromUtf8("東京"));
    EXPECT_EQ(cellText(book, s, s.cells[1]), QString::fromUtf8("ソ表")) << "a trail byte 0x5C is no backslash";
    EXPECT_EQ(s.cells[2].number, 7);
    EXPECT_EQ(cellFormula(s, s.cells[3]),
              QString::fromUtf8("=SUM(Sheet2!A1:B2)+'C:\\data\\[Prices.xls]Jan'!A1*税率&\"ソ\"&A2"));
    EXPECT_EQ(cellText(book, s, s.cells[3]), QString::fromUtf8("東京")) << "the cached text result";
    EXPECT_EQ(cellFormula(s, s.cells[4]), QString::fromUtf8("={1.5,\"ソ\"}")) << "an array constant's own counts and byte string";
    EXPECT_EQ(s.notes.at({0, 0}).text, QString::fromUtf8("メモ")) << "a character split over two NOTE records";
    ASSERT_EQ(s.shapes.size(), 1u);
    EXPECT_EQ(s.shapes[0].name, QStringLiteral("Button 1"));
    EXPECT_EQ(s.shapes[0].onAction, QString::fromUtf8("税率")) << "the macro after the button's own fields";
    ASSERT_EQ(book.names.size(), 1u);
    EXPECT_EQ(book.names[0].name, QString::fromUtf8("税率"));
    EXPECT_EQ(book.names[0].refersTo, QStringLiteral("=Sheet2!$B$1"));
    ASSERT_EQ(book.links.size(), 1u) << "the sheet's link joins the workbook's";
    EXPECT_EQ(book.links[0].target, QStringLiteral("C:\\data\\Prices.xls"));
    EXPECT_TRUE(book.warnings.isEmpty()) << book.warnings.join(QLatin1Char('\n')).toStdString();
}

TEST(Biff5Workbook, VersionComesFromTheFirstBofNotTheStreamName) {
    QTemporaryDir dir;
    xlsw::XlsWriter biff8;
    biff8.addSheet(QStringLiteral("Data")).number(0, 0, 4);
    biff8.setWorkbookStream("Book");
    const QString path8 = dir.filePath(QStringLiteral("book8.xls"));
    ASSERT_TRUE(biff8.save(path8));
    const model::Book read8 = loadWorkbook(path8);
    EXPECT_EQ(read8.format.name, QStringLiteral("BIFF8"));
    ASSERT_EQ(read8.sheets.size(), 1u);
    EXPECT_EQ(read8.sheets[0].cells.size(), 1u);
    EXPECT_FALSE(read8.unreadableMacros);

    xlsw::XlsWriter biff5;
    biff5.setWorkbookStream("Book", biff5Book());
    const QString path5 = dir.filePath(QStringLiteral("book5.xls"));
    ASSERT_TRUE(biff5.save(path5));
    const host::Workbook read5 = host::Workbook::load(path5);
    EXPECT_EQ(read5.model().format.text(), QStringLiteral("BIFF5 (Excel 5.0/95)"));
    EXPECT_TRUE(read5.hasUnreadableMacros()) << "VB module sheets are macros we cannot export";
    EXPECT_FALSE(read5.vbaProject()->isPresent());
}

TEST(Biff5Workbook, OlderAndUnknownFormatsAreRefusedInJapanese) {
    const auto refusal = [](const std::function<void()>& read) {
        try {
            read();
        } catch (const Error& e) {
            return e.description();
        }
        return QStringLiteral("(read)");
    };
    const QByteArray excel4 = record(rt::Bof4, Bytes().u16(0).u16(0x0100).bytes()) + eof();
    const QByteArray biff4 = record(rt::Bof, Bytes().u16(0x0400).u16(0x0005).u32(0).bytes()) + eof();
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("excel4.xls"));  // Excel 4.0 wrote no compound file
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(excel4);
    file.close();
    const QStringList said = {refusal([&] { loadWorkbook(plain); }),
                              refusal([&] { readWorkbookStream(excel4, QStringLiteral("x.xls")); }),
                              refusal([&] { readWorkbookStream(biff4, QStringLiteral("x.xls")); })};
    const char* says[] = {"古い形式（Excel 2.x〜4.0）", "古い形式（Excel 2.x〜4.0）", "Excel ブックではない"};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(said[i].contains(QString::fromUtf8(says[i]))) << said[i].toStdString();
}

// What LibreOffice reads from the same file: 46 cells, formulas such as
// "=+$B$6*$B$6" and "=$C$10*45", three French sheet names, no names.
TEST(Biff5Workbook, ExcelNinetyFiveFixtureAgreesWithAnIndependentReader) {
    const model::Book book = loadWorkbook(test::fixture(QStringLiteral("xls/poi/testEXCEL_95.xls")));
    EXPECT_EQ(book.format.name, QStringLiteral("BIFF5"));
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.sheets[2].name, QStringLiteral("Feuil3"));
    const model::Sheet& s = book.sheets[0];
    EXPECT_EQ(s.cells.size(), 46u);
    std::map<std::pair<int, int>, QString> formulas;
    for (const CellData& c : s.cells) formulas[{c.row, c.col}] = cellFormula(s, c);
    EXPECT_EQ(QStringList({formulas[{5, 2}], formulas[{9, 4}]}), QStringList({"=+$B$6*$B$6", "=$C$10*45"}));
    EXPECT_EQ(cellText(book, s, s.cells[0]), QStringLiteral("Sample Excel Worksheet - Numbers and their Squares"));
    EXPECT_TRUE(book.names.empty());

    // A second Excel 95 file: 66 cells, 22 formulas, one print area.
    const model::Book tab = loadWorkbook(test::fixture(QStringLiteral("xls/calamine/ptgexp-truncated-operand.xls")));
    ASSERT_EQ(tab.sheets.size(), 1u);
    EXPECT_EQ(tab.sheets[0].cells.size(), 66u);
    ASSERT_EQ(tab.names.size(), 1u);
    EXPECT_EQ(tab.names[0].refersTo, QStringLiteral("='Tab 1'!$A$1:$J$24"));
    EXPECT_TRUE(tab.warnings.isEmpty());
}

// The number formats, fonts and XFs of Excel 95 give the texts LibreOffice
// shows for the same cells (0.00%, #,##0, [$$-409]#,##0.00).
TEST(Biff5Workbook, DisplayTextsComeFromTheOlderFormatRecords) {
    const host::Workbook wb = host::Workbook::load(test::fixture(QStringLiteral("xls/poi/testEXCEL_95.xls")));
    ASSERT_FALSE(wb.model().formats.fonts.empty());
    EXPECT_EQ(wb.model().formats.fonts[0].name, QStringLiteral("Arial"));
    std::map<QString, QString> shown;
    const host::Sheet sheet = wb.sheet(1);
    const host::Range used = sheet.usedRange();
    for (qint64 i = 0; i < used.count(); ++i) shown[used.cell(i).address()] = sheet.display(used.cell(i)).text;
    EXPECT_EQ(QStringList({shown["$E$7"], shown["$E$15"], shown["$E$19"]}),
              QStringList({"155.00%", "1,234,500", "$1,960.00"}));
    // The other Excel 95 file's sheet BOF says 0x0600: the workbook's format holds.
    const host::Workbook tab = host::Workbook::load(test::fixture(QStringLiteral("xls/calamine/ptgexp-truncated-operand.xls")));
    EXPECT_EQ(tab.sheet(1).model().layout.page.footerText, QStringLiteral("&L&8Printed &D   &T   Keiser"));
}

// Names, links, notes and objects of the crafted book, damaged byte by byte:
// the reader answers with a model or a refusal, never more.
TEST(Biff5Workbook, DamagedRecordsAreSkippedOrRefused) {
    const QByteArray good = biff5Book();
    QRandomGenerator random(1995);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bad = good;
        for (int flips = 1 + int(random.bounded(3)); flips > 0; --flips)
            bad[qsizetype(random.bounded(int(bad.size())))] = char(random.bounded(256));
        try {
            const model::Book book = readWorkbookStream(bad, QStringLiteral("/books/bad.xls"));
            EXPECT_LE(book.sheets.size(), 3u);
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::Refused);
        }
    }
}
