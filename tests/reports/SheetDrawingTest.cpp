// The print image of crafted sheets: what lands where on the page. Texts
// that spill, rich texts, centre across selection, merged areas and breaks,
// drawing objects, pictures and comments as the page setup says.
#include "SheetTestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::reports::test;

namespace {

// Font, MS-XLS 2.4.122: height in twips, weight, icv, a compressed name.
QByteArray font(int twips, int weight, int icv) {
    return record(0x0031, words({twips, 0, icv, weight, 0}) + QByteArray("\0\0\x80\0\x05\0Arial", 12));
}

// A cell XF (MS-XLS 2.4.353) on font 0 with the alignment given (vertical:
// 0 top, 1 centre, 2 bottom), thin black borders all round when boxed, a
// solid fill in palette colour `fill` when not 0.
QByteArray xf(int hAlign, int vAlign = 2, bool boxed = false, int fill = 0) {
    return record(0x00E0, words({0, 0, 0x0001, hAlign | (vAlign << 4), 0, boxed ? 0x1111 : 0, boxed ? 0x0408 : 0,
                                 boxed ? 0x0408 : 0, fill ? 0x0400 : 0, fill ? 0x2080 | fill : 0x20C0}));
}

QByteArray label(int row, int col, int ixfe, const QByteArray& latin) {
    return record(0x0204, words({row, col, ixfe, int(latin.size())}) + QByteArray(1, '\0') + latin);
}

bool red(QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; }

}  // namespace

TEST(SheetDrawing, TextSpillsIntoEmptyNeighboursOnly) {
    xlsw::XlsWriter w;
    w.addSheet(QStringLiteral("表"))
        .text(0, 0, QStringLiteral("とても長い見出しの文字列です"))
        .text(1, 0, QStringLiteral("とても長い見出しの文字列です"))
        .number(1, 1, 5);
    const PrintedWorkbook printed(w);
    ASSERT_EQ(printed.image(QStringLiteral("表"))->pagesKnown(), 1);
    const PrintedPage page = printed.firstPage(QStringLiteral("表"));
    const double b = page.colX(1);
    EXPECT_GT(page.ink(b, page.rowY(0), page.colX(2), page.rowY(1)), 20) << "row 1 spills into the empty B1";
    EXPECT_EQ(page.ink(b + 1.5, page.rowY(1) + 1.5, b + 28, page.rowY(2) - 1.5), 0)
        << "row 2 stops at its neighbour B2";
}

TEST(SheetDrawing, HiddenSheetsPrintAndZoomChangesThePages) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("隠し"));
    s.visibility = 1;
    for (int r = 0; r < 120; ++r) s.number(r, 0, r);
    const PrintedWorkbook printed(w);
    const auto at40 = printed.image(QStringLiteral("隠し"), 40);
    EXPECT_EQ(printed.image(QStringLiteral("隠し"), 100)->pagesKnown(), 3);
    EXPECT_EQ(at40->pagesKnown(), 1);
    EXPECT_GT(PrintedPage(*at40, 0).ink(54, 72, 200, 200), 0);
}

TEST(SheetDrawing, ManualBreaksAndMergedAreas) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("改ページ"));
    for (int r = 0; r < 10; ++r) s.number(r, 0, r);
    s.text(0, 1, QStringLiteral("結合"));
    // HorizontalPageBreaks at row 5 (0-based 4); MergeCells B1:D2.
    s.extraRecords = record(0x001B, words({1, 4, 0, 255})) + record(0x00E5, words({1, 0, 1, 1, 3}));
    const PrintedWorkbook printed(w);
    EXPECT_EQ(printed.image(QStringLiteral("改ページ"))->pagesKnown(), 2);
    // Merged B1:D2 with gridlines off: the text sits left in B1:D2 bottom.
    const PrintedPage page = printed.firstPage(QStringLiteral("改ページ"));
    const double b = page.colX(1);
    EXPECT_GT(page.ink(b, page.rowY(1), b + 40, page.rowY(2)), 10) << "merged text at the area's bottom";
}

// B2:D4 merged, every cell of it boxed (as cells formatted before merging
// are), the grid printed: one cell with its outline, the text in its middle.
TEST(SheetDrawing, AMergedAreaPrintsAsOneCell) {
    xlsw::XlsWriter w;
    w.extraGlobals = font(200, 400, 8);
    for (int i = 0; i < 16; ++i) w.extraGlobals += xf(0);
    w.extraGlobals += xf(2, 1, true);
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("結合"));
    s.extraRecords = record(0x002B, words({1})) + label(1, 1, 16, "FENDER");
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            if (r != 1 || c != 1) s.extraRecords += record(0x0201, words({r, c, 16}));
    s.extraRecords += record(0x00E5, words({1, 1, 3, 1, 3}));
    s.number(6, 5, 1);
    const PrintedPage page = PrintedWorkbook(w).firstPage(QStringLiteral("結合"));
    const double left = page.colX(1), right = page.colX(4), top = page.rowY(1), bottom = page.rowY(4);
    for (double x : {page.colX(2), page.colX(3)})
        EXPECT_EQ(page.ink(x - 1, top + 1.5, x + 1, bottom - 1.5), 0) << "no inner line down at " << x;
    for (int row : {2, 3})
        EXPECT_EQ(page.ink(left + 1.5, page.rowY(row) - 1, page.colX(2) - 3, page.rowY(row) + 1), 0) << "no inner line across";
    EXPECT_GT(page.ink(left, top - 1, right, top + 1), 100) << "the outline";
    EXPECT_GT(page.ink(left, bottom - 1, right, bottom + 1), 100) << "the outline";
    EXPECT_GT(page.ink(page.colX(2) + 2, page.rowY(2) + 1, page.colX(3) - 2, page.rowY(3) - 1), 10) << "text in the middle";
    EXPECT_EQ(page.ink(page.colX(2) + 2, top + 1.5, page.colX(3) - 2, page.rowY(2) - 2), 0) << "not at the top";
}

// Column B filled red (COLINFO), row 3 filled blue (ROW with a format of its
// own), B2 a blank cell with its own unfilled format.
TEST(SheetDrawing, EmptyCellsPrintTheFillOfTheirRowOrColumn) {
    xlsw::XlsWriter w;
    w.extraGlobals = font(200, 400, 8);
    for (int i = 0; i < 16; ++i) w.extraGlobals += xf(0);
    w.extraGlobals += xf(0, 2, false, 10) + xf(0, 2, false, 12);
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("既定"));
    s.number(0, 0, 1).number(4, 3, 1);  // the printed range: A1:D5
    s.extraRecords = record(0x007D, words({1, 1, 2340, 16, 0, 0})) + record(0x0208, words({2, 0, 4, 255, 0, 0, 0x0180, 17})) +
                     record(0x0201, words({1, 1, 15}));
    const PrintedPage page = PrintedWorkbook(w).firstPage(QStringLiteral("既定"));
    const auto blue = [](QColor c) { return c.blue() > 150 && c.red() < 90 && c.green() < 90; };
    const auto cell = [&](int row, int col, auto&& test) {
        return page.count(page.colX(col) + 1, page.rowY(row) + 1, page.colX(col + 1) - 1, page.rowY(row + 1) - 1, test);
    };
    EXPECT_GT(cell(0, 1, red), 100) << "B1 takes its column's fill";
    EXPECT_GT(cell(3, 1, red), 100) << "B4 too";
    EXPECT_EQ(cell(1, 1, red), 0) << "B2 has a format of its own";
    EXPECT_GT(cell(2, 0, blue), 100) << "A3 takes its row's fill";
    EXPECT_GT(cell(2, 1, blue), 100) << "the row's format comes before the column's";
    EXPECT_EQ(cell(0, 2, red) + cell(0, 2, blue), 0) << "C1 has neither";
}

TEST(SheetDrawing, RichTextRunsPrintInTheirOwnFonts) {
    xlsw::XlsWriter w;
    // Fonts 0-3 plain black 10 pt; 5 (the file format skips 4) bold red 20 pt.
    w.extraGlobals = font(200, 400, 8) + font(200, 400, 8) + font(200, 400, 8) + font(200, 400, 8) +
                     font(400, 700, 10);
    // RSTRING "plainRED": from character 5 on in font 5.
    const QByteArray text("plainRED");
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("書式"));
    s.extraRecords = record(0x00D6, words({0, 0, 15, int(text.size())}) + QByteArray(1, '\0') + text + words({1, 5, 5}));
    const PrintedPage page = PrintedWorkbook(w).firstPage(QStringLiteral("書式"));
    const double row = page.rowY(0), bottom = page.rowY(1), left = page.colX(0), right = page.colX(2);
    const double split = left + 24;  // "plain" in Arial 10 is about 22 pt wide
    EXPECT_EQ(page.count(left, row, split - 2, bottom, red), 0) << "the text before the run keeps the cell's font";
    EXPECT_GT(page.ink(left, row, split - 2, bottom), 10);
    EXPECT_GT(page.count(split, row, right, bottom, red), 40) << "the run is red";
    EXPECT_GT(page.count(split, row, right, row + 3, red), 0) << "and taller than the row's text";
}

TEST(SheetDrawing, CentreAcrossSelectionSpansTheEmptyCellsFormattedAlike) {
    struct Case {
        const char* what;
        bool valueInC;
        double centre;  // where the text's middle belongs, in columns from A's left
    };
    const Case cases[] = {
        {"A1:C1 empty and formatted alike", false, 1.5},
        {"C1 holds a value: A1:B1 only", true, 1.0},
    };
    for (const Case& c : cases) {
        xlsw::XlsWriter w;
        w.extraGlobals = font(200, 400, 8);
        for (int i = 0; i < 16; ++i) w.extraGlobals += xf(0);
        w.extraGlobals += xf(6);
        xlsw::XlsSheet& s = w.addSheet(QStringLiteral("中央"));
        s.extraRecords = label(0, 0, 16, "XX") + record(0x0201, words({0, 1, 16})) +
                         (c.valueInC ? label(0, 2, 16, "z") : record(0x0201, words({0, 2, 16})));
        const PrintedPage page = PrintedWorkbook(w).firstPage(QStringLiteral("中央"));
        const double mid = page.colX(c.centre), top = page.rowY(0), bottom = page.rowY(1);
        EXPECT_GT(page.ink(mid - 6, top, mid + 6, bottom), 10) << c.what;
        EXPECT_EQ(page.ink(page.colX(0) + 2, top + 2, mid - 14, bottom - 2), 0) << c.what;
    }
}

// Each object covers two rows of one column from its top-left cell.
TEST(SheetDrawing, ShapesCheckBoxesButtonsAndPicturesPrintWithTheirLook) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("図形"));
    s.number(20, 6, 1);
    s.textBox(1, 1, QStringLiteral("メモ")).fillRgb = 0xFF0000;
    s.checkBox(4, 1, QStringLiteral("済"), 1);
    s.checkBox(7, 1, QStringLiteral("済"), 0);
    s.button(10, 1, QStringLiteral("実行"), QStringLiteral("Module1.Run"));
    s.picture(14, 1).png = png(20, 10, QColor(0, 0, 160));
    const PrintedPage page = PrintedWorkbook(w).firstPage(QStringLiteral("図形"));
    const auto face = [](QColor c) { return c == QColor(0xD4, 0xD0, 0xC8); };
    const double left = page.colX(1), right = page.colX(2);
    EXPECT_GT(page.count(left, page.rowY(1), right, page.rowY(3), red), 200) << "text box filled red";
    // A check box's mark is 9 pt square at the left of its two rows, the label right of it.
    const auto markInk = [&](int row) {
        const double middle = (page.rowY(row) + page.rowY(row + 2)) / 2;
        return page.ink(left + 2.5, middle - 3.5, left + 9.5, middle + 3.5);
    };
    EXPECT_GT(markInk(4), markInk(7) + 10) << "the checked box has its tick";
    EXPECT_GT(page.ink(left + 12, page.rowY(7), right, page.rowY(9)), 10) << "check box label";
    EXPECT_GT(page.count(left, page.rowY(10), right, page.rowY(12), face), 200) << "button face";
    EXPECT_GT(page.ink(left, page.rowY(10), right, page.rowY(12)), 10) << "its caption";
    const double top = page.rowY(14) + 2, bottom = page.rowY(16) - 2;
    const auto any = [](QColor) { return true; };
    EXPECT_GT(page.ink(left + 2, top, right - 2, bottom), page.count(left + 2, top, right - 2, bottom, any) * 9 / 10)
        << "the picture fills its anchor";
}

// Comments print as the page setup's flags say: not at all, in their box
// where they are kept in view, or listed after the sheet's pages.
TEST(SheetDrawing, CommentsPrintAsThePageSetupSays) {
    struct Outcome {
        int pages = 0;
        int noteInk = 0;  // in the comment box's place beside its cell
        int lastPageInk = 0;
    };
    const auto print = [](int grbit, bool shown) {
        xlsw::XlsWriter w;
        xlsw::XlsSheet& s = w.addSheet(QStringLiteral("注記"));
        s.number(0, 0, 1);
        s.note(2, 1, QStringLiteral("山田"), QStringLiteral("単価を確認してください")).shown = shown;
        // Setup: A4, 100 %, the flags, 300 dpi, header and footer margins 0.5 in (a double).
        s.extraRecords = record(0x00A1, words({9, 100, 1, 1, 1, grbit, 300, 300, 0, 0, 0, 0x3FE0, 0, 0, 0, 0x3FE0, 1}));
        const PrintedWorkbook printed(w);
        const auto doc = printed.image(QStringLiteral("注記"));
        Outcome o;
        o.pages = doc->pagesKnown();
        const PrintedPage first(*doc, 0), last(*doc, o.pages - 1);
        // Only A1 prints; the box starts two rows of the default 13.5 pt below it, in column C.
        const double boxTop = first.rowY(1) + 13.5;
        o.noteInk = first.ink(first.colX(2), boxTop, first.colX(2) + 100, boxTop + 50);
        o.lastPageInk = last.ink(54, 72, 354, 112);
        return o;
    };
    constexpr int kNotes = 0x0020, kAtEnd = 0x0200;
    const Outcome none = print(0, true), hiddenNote = print(kNotes, false), displayed = print(kNotes, true),
                  atEnd = print(kNotes | kAtEnd, false);
    EXPECT_EQ(none.pages, 1);
    EXPECT_EQ(displayed.pages, 1);
    EXPECT_GT(displayed.noteInk, none.noteInk + 50) << "a comment kept in view prints in its box";
    EXPECT_EQ(hiddenNote.noteInk, none.noteInk) << "a comment shown on hover only does not";
    ASSERT_EQ(atEnd.pages, 2) << "the list of comments follows the sheet";
    EXPECT_EQ(atEnd.noteInk, none.noteInk);
    EXPECT_GT(atEnd.lastPageInk, 100) << "the cell and the comment text";
}
