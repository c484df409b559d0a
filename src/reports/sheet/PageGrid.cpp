#include "reports/sheet/PageGrid.h"

#include <algorithm>

namespace tabulon::reports::sheet {

namespace {
constexpr double T = kTwipsPerPoint;
}  // namespace

double PageGrid::colX(const SheetPlan& plan, int c) const {
    if (c >= cols.first && c <= cols.last + 1) return x[size_t(c - cols.first)];
    double v = x[0];
    if (c < cols.first)
        for (int i = c; i < cols.first; ++i) v -= plan.colWidthPt[size_t(i)] * T;
    else
        for (int i = cols.first; i < std::min(c, 256); ++i) v += plan.colWidthPt[size_t(i)] * T;
    return v;
}

double PageGrid::rowY(const SheetPlan& plan, int r) const {
    if (r >= rows.first && r <= rows.last + 1) return y[size_t(r - rows.first)];
    double v = y[0];
    if (r < rows.first)
        for (int i = std::max(r, plan.range.firstRow); i < rows.first; ++i) v -= plan.rowHeight(i) * T;
    else
        for (int i = rows.first; i < std::min(r, plan.range.lastRow + 1); ++i) v += plan.rowHeight(i) * T;
    return v;
}

PageGrid makeGrid(const SheetContext& ctx, Span rows, Span cols) {
    PageGrid g{rows, cols, {}, {}, ctx.plan.headingWidthPt * T, ctx.plan.headingHeightPt * T};
    double v = g.left;
    for (int c = cols.first; c <= cols.last + 1; ++c) {
        g.x.push_back(v);
        if (c <= cols.last) v += ctx.plan.colWidthPt[size_t(c)] * T;
    }
    v = g.top;
    for (int r = rows.first; r <= rows.last + 1; ++r) {
        g.y.push_back(v);
        if (r <= rows.last) v += ctx.plan.rowHeight(r) * T;
    }
    return g;
}

const model::Area* mergeOf(const std::vector<model::Area>& merges, int row, int col) {
    for (const model::Area& m : merges)
        if (row >= m.firstRow && row <= m.lastRow && col >= m.firstCol && col <= m.lastCol) return &m;
    return nullptr;
}

}  // namespace tabulon::reports::sheet
