// How a sheet falls into pages, which of them print (pages with nothing on
// them do not, the rest keep their order), and the page texts around them.
#include "reports/sheet/HeaderFooter.h"
#include "reports/sheet/PrintedPages.h"
#include "reports/sheet/SheetDocument.h"
#include "reports/sheet/SheetPainter.h"

#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::reports::sheet;
using tabulon::model::Area;
using tabulon::model::SheetLayout;
namespace model = tabulon::model;

TEST(SheetPageSplit, SpansByRoomAndManualBreaks) {
    struct Case {
        const char* what;
        std::vector<double> sizes;
        double room;
        std::vector<int> breaks;
        std::vector<Span> expected;
    };
    const Case cases[] = {
        {"all fit", {10, 10, 10}, 30, {}, {{0, 2}}},
        {"room overflows", {10, 10, 10, 10, 10}, 25, {}, {{0, 1}, {2, 3}, {4, 4}}},
        {"manual break", {10, 10, 10}, 100, {2}, {{0, 1}, {2, 2}}},
        {"break at the first item is no page", {10, 10}, 100, {0}, {{0, 1}}},
        {"too wide alone", {10, 50, 10}, 20, {}, {{0, 0}, {1, 1}, {2, 2}}},
        {"hidden items cost nothing", {10, 0, 0, 10}, 20, {}, {{0, 3}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitSpans(0, c.sizes, c.room, c.breaks), c.expected) << c.what;
    EXPECT_EQ(splitSpans(5, {10, 10, 10}, 15, {7}), (std::vector<Span>{{5, 5}, {6, 6}, {7, 7}}))
        << "items and breaks are numbered from the first item";
}

namespace {

// 200 rows of 13.5 pt and 20 default columns on A4 with the default margins.
SheetPlan plan(int zoom, bool landscape = false, bool downThenOver = true) {
    SheetLayout l;
    l.page.landscape = landscape;
    l.page.downThenOver = downThenOver;
    return planSheet(l, Area{0, 199, 0, 19}, 11, zoom, true);
}

// A 4 x 3 grid of pages: rows 0-39 in pages of 10, columns 0-8 in pages of 3.
SheetPlan grid(bool downThenOver) {
    SheetPlan plan;
    plan.range = {0, 39, 0, 8};
    plan.colWidthPt.assign(256, 10);
    plan.rowHeightPt.assign(40, 10);
    plan.rowPages = {{0, 9}, {10, 19}, {20, 29}, {30, 39}};
    plan.colPages = {{0, 2}, {3, 5}, {6, 8}};
    plan.downThenOver = downThenOver;
    return plan;
}

model::CellData value(int row, int col) { return {row, uint16_t(col), model::CellType::Number}; }

// An object anchored from (row1, col1) to (row2, col2), reaching into the
// last cells by the fractions dx2 and dy2.
model::Shape placed(int row1, int col1, int row2, double dy2, int col2, double dx2,
                    model::ShapeKind kind = model::ShapeKind::Rectangle) {
    model::Shape s;
    s.kind = kind;
    s.anchor = model::Anchor{col1, row1, col2, row2, 0, 0, dx2, dy2};
    return s;
}

}  // namespace

TEST(SheetPagePlan, PageCountFollowsPaperMarginsAndZoom) {
    // A4 is 841.9 pt high; 1 inch margins leave 697.9 pt, of which the
    // column headings take one default row (13.5 pt): 50 rows at 100 %.
    const SheetPlan full = plan(100);
    EXPECT_EQ(full.rowPages.front(), (Span{0, 49}));
    EXPECT_EQ(full.rowPages.size(), 4u);
    // The default column is 72 px = 54 pt; 595.3 - 108 pt less the row
    // headings (4 digit widths of 8 px = 24 pt, plus 4) hold 8 columns.
    EXPECT_EQ(full.colPages.front(), (Span{0, 7}));
    EXPECT_EQ(full.pageCount(), 4 * 3);
    const SheetPlan half = plan(50);
    EXPECT_EQ(half.rowPages.front(), (Span{0, 101}));
    EXPECT_EQ(half.pageCount(), 2 * 2);
    const SheetPlan wide = plan(100, true);
    EXPECT_DOUBLE_EQ(wide.paperMm.width(), 297);
    EXPECT_LT(wide.rowPages.front().last, full.rowPages.front().last);
    EXPECT_GT(wide.colPages.front().last, full.colPages.front().last);
}

TEST(SheetPagePlan, PageOrderDownThenOverOrOverThenDown) {
    Span rows, cols;
    const SheetPlan down = plan(100, false, true), over = plan(100, false, false);
    down.page(1, rows, cols);
    EXPECT_EQ(std::pair(rows, cols), std::pair(down.rowPages[1], down.colPages[0]));
    over.page(1, rows, cols);
    EXPECT_EQ(std::pair(rows, cols), std::pair(over.rowPages[0], over.colPages[1]));
}

TEST(PrintedPages, OnlyPagesWithContentPrint) {
    model::Formats formats;
    formats.cellFormats.resize(17);
    formats.cellFormats[16].bottom.style = 1;  // a bordered format
    struct Case {
        const char* what;
        std::vector<model::CellData> cells;
        std::vector<model::CellFormatAt> xfs;
        std::vector<model::Area> merges;
        std::vector<model::Shape> shapes;
        bool downThenOver;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"values in two corners", {value(0, 0), value(39, 8)}, {}, {}, {}, true, {0, 11}},
        {"down, then over", {value(0, 0), value(10, 0), value(0, 3)}, {}, {}, {}, true, {0, 1, 4}},
        {"across, then down", {value(0, 0), value(10, 0), value(0, 3)}, {}, {}, {}, false, {0, 1, 3}},
        {"a value in the second column page", {value(12, 4)}, {}, {}, {}, true, {5}},
        {"a border counts, a plain format does not", {}, {{25, 1, 16}, {5, 7, 15}}, {}, {}, true, {2}},
        {"a merged value reaches every page it spans", {value(8, 0)}, {}, {{8, 12, 0, 4}}, {}, true, {0, 1, 4, 5}},
        {"a drawing object across a page boundary", {}, {}, {}, {placed(5, 1, 14, 0.4, 1, 0.5)}, true, {0, 1}},
        {"an object without an anchor", {}, {}, {}, {model::Shape{}}, true, {0}},
        {"an empty sheet keeps its first page", {}, {}, {}, {}, true, {0}},
    };
    for (const Case& c : cases) {
        const SheetPlan plan = grid(c.downThenOver);
        model::Sheet sheet;
        sheet.cells = c.cells;
        sheet.layout.cellFormats = c.xfs;
        sheet.layout.merges = c.merges;
        sheet.shapes = c.shapes;
        EXPECT_EQ(printedPages(plan, sheet, formats), c.expected) << c.what;
    }
}

TEST(PrintedPages, HiddenCellsAndUnprintedCommentsLeaveAPageBlank) {
    SheetPlan plan = grid(true);
    plan.colWidthPt[4] = 0;
    model::Sheet sheet;
    sheet.cells = {value(0, 0), value(15, 4)};
    sheet.shapes = {placed(25, 3, 28, 0, 4, 0, model::ShapeKind::Comment)};  // a comment box on page 7
    struct Case {
        int comments;
        bool shown;
        std::vector<int> expected;
    };
    const Case cases[] = {{0, true, {0}}, {1, false, {0}}, {1, true, {0, 6}}, {2, true, {0}}};
    for (const Case& c : cases) {
        sheet.layout.page.comments = c.comments;
        sheet.shapes[0].visible = c.shown;
        EXPECT_EQ(printedPages(plan, sheet, model::Formats{}), c.expected) << c.comments << " " << c.shown;
    }
}

TEST(SheetPageTexts, HeaderAndFooterCodes) {
    const PageFacts facts{3, 12, QDateTime(QDate(2024, 4, 1), QTime(9, 5)), QStringLiteral("/data/受注.xls"),
                          QStringLiteral("集計")};
    const std::pair<const char*, QStringList> cases[] = {
        {"&P / &N", {"", "3 / 12", ""}},
        {"&L&F&C&A&R&D &T", {"受注.xls", "集計", "2024/04/01 9:05"}},
        {"&R&\"ＭＳ 明朝,太字\"&12&Bページ &P+1", {"", "", "ページ 4"}},
        {"&CA && B&KFF0000 red", {"", "A & B red", ""}},
    };
    for (const auto& [code, expected] : cases) {
        const HeaderFooterText t = expandHeaderFooter(QString::fromUtf8(code), facts);
        EXPECT_EQ(QStringList({t.left, t.centre, t.right}), expected) << code;
    }
}

TEST(SheetZoom, OnlyWholeNumbersFrom10To400) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"80", 80}, {" 98 ", 98}, {"10", 10}, {"400", 400}, {"9", std::nullopt}, {"401", std::nullopt},
        {"98.5", std::nullopt}, {"", std::nullopt}, {"abc", std::nullopt}, {"-50", std::nullopt},
        // as a Japanese input method types them: full-width digits and blanks
        {"８０", 80}, {"　１２０　", 120}, {"４０１", std::nullopt}, {"0x50", std::nullopt},
    };
    for (const auto& [text, zoom] : cases) EXPECT_EQ(parseZoom(QString::fromUtf8(text)), zoom) << text;
}

TEST(SheetNumberFit, NumbersTooWideForTheirColumn) {
    // One unit per character: room 5 holds five characters.
    const auto chars = [](const QString& s) { return double(s.size()); };
    EXPECT_EQ(fitNumber(1234.56, QStringLiteral("1234.56"), true, 7, chars), QStringLiteral("1234.56"));
    EXPECT_EQ(fitNumber(1234.56, QStringLiteral("1234.56"), true, 5, chars), QStringLiteral("1235"))
        << "General gives up decimals first";
    EXPECT_EQ(fitNumber(123456789, QStringLiteral("123456789"), true, 5, chars), QStringLiteral("1E+08"));
    EXPECT_EQ(fitNumber(1234.5, QStringLiteral("1,234.50"), false, 5, chars), QStringLiteral("#####"))
        << "other formats show # across the cell";
}

TEST(SheetFonts, BusinessFontsMapToInstalledOnes) {
    EXPECT_EQ(substituteFamily(QStringLiteral("ＭＳ Ｐゴシック")), QStringLiteral("Noto Sans CJK JP"));
    EXPECT_EQ(substituteFamily(QStringLiteral("ＭＳ 明朝")), QStringLiteral("Noto Serif CJK JP"));
    EXPECT_EQ(substituteFamily(QStringLiteral("MS Gothic")), QStringLiteral("Noto Sans Mono CJK JP"));
    EXPECT_EQ(substituteFamily(QStringLiteral("Times New Roman")), QStringLiteral("Liberation Serif"));
}
