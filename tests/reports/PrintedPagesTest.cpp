// Pages with nothing on them do not print, and the rest keep their order.
#include "SheetTestSupport.h"
#include "reports/sheet/PrintedPages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::reports::sheet;

namespace {

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

xls::CellData value(int row, int col) { return {row, uint16_t(col), xls::CellType::Number}; }

}  // namespace

TEST(PrintedPages, OnlyPagesWithContentPrint) {
    xls::BookFormats formats;
    formats.xfs.resize(17);
    formats.xfs[16].bottom.style = 1;  // a bordered format
    struct Case {
        const char* what;
        std::vector<xls::CellData> cells;
        std::vector<xls::CellXf> xfs;
        std::vector<xls::Area> merges;
        std::vector<xls::ShapeAnchor> shapes;
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
        {"a drawing object across a page boundary", {}, {}, {}, {{8, 1, 1, 0, 5, 0, 1, 500, 14, 100}}, true, {0, 1}},
        {"an empty sheet keeps its first page", {}, {}, {}, {}, true, {0}},
    };
    for (const Case& c : cases) {
        const SheetPlan plan = grid(c.downThenOver);
        xls::SheetModel sheet;
        sheet.cells = c.cells;
        xls::SheetLayout layout;
        layout.cellXfs = c.xfs;
        layout.merges = c.merges;
        layout.shapes = c.shapes;
        EXPECT_EQ(printedPages(plan, sheet, layout, formats), c.expected) << c.what;
    }
}

TEST(PrintedPages, HiddenCellsAndUnprintedCommentsLeaveAPageBlank) {
    SheetPlan plan = grid(true);
    plan.colWidthPt[4] = 0;
    xls::SheetModel sheet;
    sheet.cells = {value(0, 0), value(15, 4)};
    xls::SheetLayout layout;
    layout.shapes = {{25, 1, 3, 0, 25, 0, 4, 0, 28, 0}};  // a comment box on page 7
    struct Case {
        int comments;
        std::vector<int> shown, expected;
    };
    const Case cases[] = {{0, {1}, {0}}, {1, {}, {0}}, {1, {1}, {0, 6}}, {2, {1}, {0}}};
    for (const Case& c : cases) {
        layout.page.comments = c.comments;
        layout.shownNotes = c.shown;
        EXPECT_EQ(printedPages(plan, sheet, layout, {}), c.expected) << c.comments << " " << c.shown.size();
    }
}

TEST(PrintedPages, ASparseWideSheetPrintsOnlyItsFilledColumns) {
    // The used range is A1:DZ32770, but only A1:H12, DY1:DZ8 and
    // A32769:H32770 hold values. Rows 1-12 fall on the first row page and
    // rows 32769-32770 on the last; A-G and H on two column pages, DY-DZ on
    // a third: three pages across the top, two across the bottom.
    const host::Workbook book = host::Workbook::load(test::fixture("xls/poi/SharedFormulaTest.xls"));
    const auto doc = reports::test::sheetImage(book, book.sheet(1).name());
    const SheetPlan& plan = doc->plan();
    ASSERT_GT(plan.pageCount(), 10000);
    EXPECT_EQ(doc->pagesKnown(), 3 + 2);
}
