#include "reports/sheet/PrintedPages.h"

#include <algorithm>

namespace tabulon::reports::sheet {

namespace {

// The span holding item i, or -1 when i lies outside all of them.
int spanOf(const std::vector<Span>& spans, int i) {
    const auto it = std::upper_bound(spans.begin(), spans.end(), i, [](int v, const Span& s) { return v < s.first; });
    if (it == spans.begin()) return -1;
    const auto& s = *std::prev(it);
    return i <= s.last ? int(std::prev(it) - spans.begin()) : -1;
}

bool marksCell(const model::CellFormat& xf) {
    return xf.pattern != 0 || xf.left.style != 0 || xf.right.style != 0 || xf.top.style != 0 ||
           xf.bottom.style != 0 || ((xf.diagonalDown || xf.diagonalUp) && xf.diagonal.style != 0);
}

class ContentGrid {
public:
    explicit ContentGrid(const SheetPlan& plan)
        : plan_(plan), cols_(plan.colPages.size()), marks_(plan.rowPages.size() * plan.colPages.size(), 0) {}

    void cell(int row, int col) {
        if (row < plan_.range.firstRow || row > plan_.range.lastRow || col < 0 || col > 255) return;
        if (plan_.rowHeight(row) <= 0 || plan_.colWidthPt[size_t(col)] <= 0) return;
        const int r = spanOf(plan_.rowPages, row), c = spanOf(plan_.colPages, col);
        if (r >= 0 && c >= 0) marks_[size_t(r) * cols_ + size_t(c)] = 1;
    }
    // Every page the area reaches into.
    void area(model::Area a) {
        a.firstRow = std::max(a.firstRow, plan_.range.firstRow);
        a.lastRow = std::min(a.lastRow, plan_.range.lastRow);
        a.firstCol = std::max(a.firstCol, plan_.range.firstCol);
        a.lastCol = std::min(a.lastCol, plan_.range.lastCol);
        if (a.firstRow > a.lastRow || a.firstCol > a.lastCol) return;
        const int r1 = spanOf(plan_.rowPages, a.firstRow), r2 = spanOf(plan_.rowPages, a.lastRow);
        const int c1 = spanOf(plan_.colPages, a.firstCol), c2 = spanOf(plan_.colPages, a.lastCol);
        if (r1 < 0 || r2 < 0 || c1 < 0 || c2 < 0) return;
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c) marks_[size_t(r) * cols_ + size_t(c)] = 1;
    }
    bool marked(const Span& rows, const Span& cols) const {
        return marks_[size_t(spanOf(plan_.rowPages, rows.first)) * cols_ + size_t(spanOf(plan_.colPages, cols.first))];
    }

private:
    const SheetPlan& plan_;
    size_t cols_;
    std::vector<char> marks_;
};

}  // namespace

bool printsWithCells(const model::SheetLayout& layout, const model::Shape& shape) {
    if (!shape.anchor) return false;
    if (!shape.isComment()) return true;
    return layout.page.comments == 1 && shape.visible;
}

std::vector<int> printedPages(const SheetPlan& plan, const model::Sheet& sheet, const model::Formats& formats) {
    const model::SheetLayout& layout = sheet.layout;
    ContentGrid grid(plan);
    for (const model::CellData& c : sheet.cells)
        if (c.type != model::CellType::Empty) grid.cell(c.row, c.col);
    for (const model::CellFormatAt& c : layout.cellFormats)
        if (marksCell(formats.cellFormat(c.format))) grid.cell(c.row, c.col);
    // A merged area shows its first cell's value and format across all of it.
    for (const model::Area& m : layout.merges) {
        const auto it = std::lower_bound(sheet.cells.begin(), sheet.cells.end(), std::make_pair(m.firstRow, m.firstCol),
                                         [](const model::CellData& c, const std::pair<int, int>& k) {
                                             return c.row != k.first ? c.row < k.first : c.col < k.second;
                                         });
        const bool value = it != sheet.cells.end() && it->row == m.firstRow && it->col == m.firstCol &&
                           it->type != model::CellType::Empty;
        if (value || marksCell(formats.cellFormat(layout.cellFormat(m.firstRow, m.firstCol)))) grid.area(m);
    }
    for (const model::Shape& shape : sheet.shapes) {
        if (!printsWithCells(layout, shape)) continue;
        const model::Anchor& a = *shape.anchor;
        grid.area({a.row1, a.dy2 > 0 ? a.row2 : a.row2 - 1, a.col1, a.dx2 > 0 ? a.col2 : a.col2 - 1});
    }
    std::vector<int> pages;
    for (int i = 0; i < plan.pageCount(); ++i) {
        Span rows, cols;
        plan.page(i, rows, cols);
        if (grid.marked(rows, cols)) pages.push_back(i);
    }
    if (pages.empty() && plan.pageCount() > 0) pages.push_back(0);
    return pages;
}

}  // namespace tabulon::reports::sheet
