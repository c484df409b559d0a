// The print layout of a sheet: cell formats of the globals, geometry and page
// setup of a sheet substream, read with the cells in one pass, and the
// display texts built from them.
#include "host/CellDisplay.h"
#include "host/xls/Loader.h"
#include "xls_bytes.h"

#include <gtest/gtest.h>
#include <random>
#include <tuple>

using namespace tabulon;
using namespace tabulon::xls;
namespace model = tabulon::model;
using tabulon::Error;
using tabulon::xls::testbytes::Bytes;
using tabulon::xls::testbytes::eof;
using tabulon::xls::testbytes::record;
using tabulon::xls::testbytes::sheetBof;

namespace {

QByteArray globalsBof() {
    return record(rt::Bof, Bytes().u16(0x0600).u16(0x0005).u32(0).u32(0).u32(0).bytes());
}

QByteArray font(int twips, bool italic, int weight, int icv, const QString& name) {
    Bytes b;
    b.u16(twips).u16(italic ? 0x0002 : 0).u16(icv).u16(weight).u16(0).u8(0).u8(0).u8(0x80).u8(0);
    b.u8(int(name.size())).u8(1).wide(name);
    return record(0x0031, b.bytes());
}

// An XF with left-aligned wrapped text, a thick red top border, a double
// bottom border and a solid yellow fill.
QByteArray xf(int ifnt, int ifmt) {
    Bytes b;
    b.u16(ifnt).u16(ifmt).u16(0x0001);
    b.u8(0x01 | 0x08 | (1 << 4)).u8(0).u8(0x02).u8(0);
    b.u32(uint32_t(5 << 8) | uint32_t(6 << 12) | uint32_t(10) << 16);  // top thick, bottom double, left icv 10
    b.u32(uint32_t(10) | uint32_t(1) << 26);                           // top icv 10 (red), solid fill
    b.u16(13 | (64 << 7));                                             // yellow on automatic
    return record(0x00E0, b.bytes());
}

QByteArray formatRecord(int ifmt, const QString& code) {
    return record(0x041E, Bytes().u16(ifmt).u16(int(code.size())).u8(1).wide(code).bytes());
}

QByteArray marginRecord(int type, double inches) { return record(type, Bytes().f64(inches).bytes()); }

// A workbook stream of the given globals records and one sheet.
QByteArray bookStream(const QByteArray& globals, const QByteArray& sheet) {
    const auto bound = [](uint32_t at) {
        return record(rt::BoundSheet8, Bytes().u32(at).u8(0).u8(0).u8(5).u8(0).latin("Sheet").bytes());
    };
    const qsizetype head = globalsBof().size() + bound(0).size() + globals.size() + eof().size();
    return globalsBof() + bound(uint32_t(head)) + globals + eof() + sheet;
}

model::Book readBook(const QByteArray& globals, const QByteArray& sheet = sheetBof() + eof()) {
    return readWorkbookStream(bookStream(globals, sheet), QStringLiteral("layout.xls"));
}

model::SheetLayout readLayout(const QByteArray& sheet) { return readBook(QByteArray(), sheet).sheets.at(0).layout; }

QByteArray setup(int paper, int scale, uint16_t flags) {
    Bytes b;
    b.u16(paper).u16(scale).u16(7).u16(1).u16(1).u16(flags).u16(600).u16(600);
    QByteArray d = b.bytes();
    d += QByteArray(16, '\0');  // header and footer margins: 0
    d += Bytes().u16(1).bytes();
    return record(rt::SetupRec, d);
}

}  // namespace

// Fonts and XFs keep their numbers (the file format has no font 4, the
// model has); colours are resolved through the palette, which follows the
// XFs in the file.
TEST(SheetLayoutRecords, FormatsOfTheGlobalsKeepTheirIndices) {
    QByteArray s;
    for (int i = 0; i < 4; ++i) s += font(220, false, 400, 0x7FFF, QStringLiteral("ＭＳ Ｐゴシック"));
    s += font(280, true, 700, 10, QStringLiteral("ＭＳ 明朝"));  // ifnt 5: the file format has no ifnt 4
    s += formatRecord(164, QStringLiteral("0.00_ "));
    for (int i = 0; i < 15; ++i) s += xf(0, 0);
    s += record(0x00E0, Bytes().u16(5).bytes());  // a damaged XF still counts as ixfe 15
    s += xf(5, 164);
    QByteArray palette = Bytes().u16(56).bytes();
    // icv 10 redefined, icv 13 kept yellow (0x00BBGGRR), the others black
    for (int i = 0; i < 56; ++i) palette += Bytes().u32(i == 2 ? 0x00563412 : i == 5 ? 0x0000FFFF : 0).bytes();
    s += record(rt::Palette, palette);
    const model::Book book = readBook(s);
    const model::Formats& f = book.formats;
    ASSERT_EQ(f.cellFormats.size(), 17u);
    EXPECT_EQ(f.cellFormats[15].font, 0) << "the damaged record keeps the default";
    const model::CellFormat& x = f.cellFormat(16);
    const model::Font& ft = f.font(x.font);
    EXPECT_EQ(std::tie(ft.name, ft.points, ft.bold, ft.italic, ft.color),
              std::make_tuple(QStringLiteral("ＭＳ 明朝"), 14.0, true, true, model::Color::of(0x123456)));
    EXPECT_TRUE(f.font(0).color.automatic) << "0x7FFF: the window text colour";
    EXPECT_EQ(x.numberFormat, QStringLiteral("0.00_ "));
    EXPECT_EQ(f.cellFormat(0).numberFormat, QStringLiteral("General"));
    // alignment, wrap, indent; borders (style, colour); fill
    EXPECT_EQ(std::tie(x.hAlign, x.wrap, x.vAlign, x.indent), std::make_tuple(1, true, 1, 2));
    EXPECT_EQ(std::tie(x.top.style, x.top.color, x.bottom.style, x.left.color),
              std::make_tuple(5, model::Color::of(0x123456), 6, model::Color::of(0x123456)));
    EXPECT_EQ(std::tie(x.pattern, x.patternColor), std::make_tuple(1, model::Color::of(0xFFFF00)));
    EXPECT_TRUE(x.backColor.automatic);
    EXPECT_EQ(f.cellFormat(999).font, 0) << "an unknown XF prints as the default cell format";
}

TEST(SheetLayoutRecords, GeometryAndCellFormatsOfASheet) {
    QByteArray s = sheetBof();
    s += record(0x0055, Bytes().u16(10).bytes());                                     // DEFCOLWIDTH
    s += record(0x0225, Bytes().u16(0).u16(300).bytes());                             // DEFAULTROWHEIGHT
    s += record(0x007D, Bytes().u16(2).u16(4).u16(20 * 256).u16(21).u16(0).u16(0).bytes());  // C:E wide
    s += record(0x007D, Bytes().u16(6).u16(6).u16(2048).u16(15).u16(1).u16(0).bytes());      // G hidden
    s += record(0x0208, Bytes().u16(3).u16(0).u16(5).u16(600).u16(0).u16(0).u16(0x0140).u16(15).bytes());
    s += record(0x0208, Bytes().u16(4).u16(0).u16(5).u16(255).u16(0).u16(0).u16(0x0020).u16(15).bytes());
    s += record(0x00E5, Bytes().u16(1).u16(1).u16(2).u16(0).u16(3).bytes());         // A2:D3
    s += record(rt::MulBlank, Bytes().u16(7).u16(1).u16(30).u16(31).u16(32).u16(3).bytes());
    s += record(rt::Number, Bytes().u16(7).u16(2).u16(40).u32(0).u32(0).bytes());   // C8 written again
    s += record(0x023E, Bytes().u16(0x0006).bytes());                                 // WINDOW2 without zeros
    s += eof();
    const model::SheetLayout l = readLayout(s);
    EXPECT_EQ(std::tie(l.defaultColumnChars, l.defaultRowTwips), std::make_tuple(10.0, 300));
    EXPECT_EQ(std::make_tuple(l.column(4).width256, l.column(5).width256, l.column(6).hidden),
              std::make_tuple(20 * 256, -1, true));
    EXPECT_EQ(std::make_tuple(l.rows.at(3).twips, l.rows.at(4).hidden), std::make_tuple(600, true));
    ASSERT_EQ(l.merges.size(), 1u);
    EXPECT_EQ(std::tie(l.merges[0].lastRow, l.merges[0].lastCol), std::make_tuple(2, 3));
    // C8 is written twice and keeps its last record; D10 has none and takes its column's format.
    EXPECT_EQ(std::vector<int>({l.cellFormat(7, 1), l.cellFormat(7, 2), l.cellFormat(7, 3), l.cellFormat(9, 3),
                                l.cellFormat(9, 9)}),
              std::vector<int>({30, 40, 32, 21, -1}));
    EXPECT_FALSE(l.showZeros);
}

TEST(SheetLayoutRecords, PageSetupOfASheet) {
    QByteArray s = sheetBof();
    s += setup(12, 80, 0x0081);  // B4, 80 %, over then down, landscape (fPortrait clear), numbered from 7
    s += marginRecord(0x0026, 0.5);
    s += marginRecord(0x0029, -3.0);  // nonsense keeps the default
    s += record(0x0083, Bytes().u16(1).bytes());
    s += record(0x0014, Bytes().u16(7).u8(1).wide(QStringLiteral("&C&A の表")).bytes());
    s += record(0x0015, QByteArray());
    s += record(0x001B, Bytes().u16(2).u16(30).u16(0).u16(255).u16(10).u16(0).u16(255).bytes());
    s += record(0x002B, Bytes().u16(1).bytes());
    s += eof();
    const model::PageSetup p = readLayout(s).page;
    EXPECT_EQ(std::tie(p.paperSize, p.scale, p.landscape, p.downThenOver, p.firstPageNumber),
              std::make_tuple(12, 80, true, false, 7));
    EXPECT_EQ(std::tie(p.left, p.bottom, p.hCenter, p.vCenter), std::make_tuple(0.5, 1.0, true, false));
    EXPECT_EQ(std::tie(p.headerText, p.footerText), std::make_tuple(QStringLiteral("&C&A の表"), QString()));
    EXPECT_EQ(p.rowBreaks, (std::vector<int>{10, 30})) << "breaks are kept sorted";
    EXPECT_TRUE(p.gridlines);
}

// fNoPls: the printer fields are not there; without fUsePage pages count from 1.
TEST(SheetLayoutRecords, PrinterSettingsAbsentKeepsTheDefaults) {
    const model::PageSetup p = readLayout(sheetBof() + setup(8, 250, 0x0004) + eof()).page;
    EXPECT_EQ(std::tie(p.paperSize, p.scale, p.landscape, p.firstPageNumber), std::make_tuple(9, 100, false, 1));
}

TEST(CellDisplayTexts, ValuesOfEveryKind) {
    struct Case {
        QVariant value;
        bool error;
        bool showZeros;
        QString expected;
    };
    const Case cases[] = {
        {QVariant(), false, true, QString()},
        {QString::fromUtf8("#DIV/0!"), true, true, QStringLiteral("#DIV/0!")},
        {true, false, true, QStringLiteral("TRUE")},
        {QStringLiteral("りんご"), false, true, QStringLiteral("りんご")},
        {0.0, false, false, QString()},          // the sheet hides zeros
        {0.0, false, true, QStringLiteral("0")},
        {12.5, false, false, QStringLiteral("12.5")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(host::cellDisplay(c.value, c.error, QStringLiteral("General"), false, c.showZeros).text,
                  c.expected)
            << c.value.toString().toStdString();
}

TEST(SheetLayoutRecords, CutOrFlippedStreamsReadWithoutHarm) {
    const QByteArray g = font(220, false, 400, 8, QStringLiteral("Arial")) + xf(0, 0) + formatRecord(164, QStringLiteral("0.0"));
    QByteArray s = sheetBof() + setup(9, 90, 0) + record(0x00E5, Bytes().u16(2).u16(0).u16(1).u16(0).u16(1).u16(3).u16(3).u16(2).u16(2).bytes()) +
                   record(0x001A, Bytes().u16(1).u16(3).u16(0).u16(65535).bytes()) +
                   record(0x0014, Bytes().u16(4).u8(0).latin("&P/&").bytes()) +
                   record(rt::MulBlank, Bytes().u16(0).u16(250).u16(15).u16(15).u16(15).u16(15).u16(15).u16(15).u16(255).bytes()) + eof();
    const model::SheetLayout whole = readLayout(s);
    ASSERT_EQ(whole.merges.size(), 2u);
    std::mt19937 random(13);
    for (qsizetype cut = 0; cut <= s.size(); ++cut) {
        const model::SheetLayout part = readLayout(s.left(cut));
        EXPECT_LE(part.merges.size(), whole.merges.size());
        for (const model::CellFormatAt& c : part.cellFormats) EXPECT_LE(c.col, 255) << "columns past the sheet are dropped";
        QByteArray flipped = s;
        flipped[qsizetype(random() % s.size())] = char(random());
        readLayout(flipped);
    }
    // Cut globals end the stream early: a refusal, never a crash.
    for (qsizetype cut = 0; cut <= g.size(); ++cut) {
        try {
            readWorkbookStream(globalsBof() + g.left(cut), QStringLiteral("cut.xls"));
        } catch (const Error&) {
        }
    }
}
