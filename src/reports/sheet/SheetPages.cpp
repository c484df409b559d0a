#include "reports/sheet/SheetPages.h"

#include <algorithm>
#include <cmath>

namespace tabulon::reports::sheet {

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kPointsPerPx = 72.0 / 96.0;  // the sheet's pixels are screen pixels at 96 dpi

double columnPt(const model::SheetLayout& layout, int col, int digitPx) {
    const model::ColumnFormat& def = layout.column(col);
    if (def.hidden) return 0;
    double px;
    if (def.width256 >= 0) {
        px = std::trunc(def.width256 / 256.0 * digitPx + 0.5);  // the stored width includes the padding
    } else if (layout.standardWidth256 >= 0) {
        px = std::trunc(layout.standardWidth256 / 256.0 * digitPx + 0.5);
    } else {
        // DEFCOLWIDTH counts characters without the padding of 5 pixels,
        // and the spreadsheet rounds the result up to a multiple of 8.
        px = std::ceil((layout.defaultColumnChars * digitPx + 5) / 8.0) * 8;
    }
    return px * kPointsPerPx;
}

double rowPt(const model::SheetLayout& layout, int row) {
    const auto it = layout.rows.find(row);
    if (it == layout.rows.end()) return layout.defaultRowsHidden ? 0 : layout.defaultRowTwips / 20.0;
    if (it->second.hidden) return 0;
    return (it->second.twips >= 0 ? it->second.twips : layout.defaultRowTwips) / 20.0;
}

}  // namespace

std::vector<Span> splitSpans(int first, const std::vector<double>& sizes, double room,
                             const std::vector<int>& breaks) {
    std::vector<Span> spans;
    if (sizes.empty()) return spans;
    const int last = first + int(sizes.size()) - 1;
    auto nextBreak = std::upper_bound(breaks.begin(), breaks.end(), first);
    Span cur{first, first};
    double used = sizes[0];
    for (int i = first + 1; i <= last; ++i) {
        const double size = sizes[size_t(i - first)];
        const bool manual = nextBreak != breaks.end() && *nextBreak == i;
        if (manual) ++nextBreak;
        if (manual || used + size > room + 1e-9) {
            spans.push_back(cur);
            cur = {i, i};
            used = size;
        } else {
            cur.last = i;
            used += size;
        }
        while (nextBreak != breaks.end() && *nextBreak <= i) ++nextBreak;
    }
    spans.push_back(cur);
    return spans;
}

QSizeF paperSizeMm(int paperSize) {
    switch (paperSize) {
    case 1: return {215.9, 279.4};   // Letter
    case 5: return {215.9, 355.6};   // Legal
    case 8: return {297, 420};       // A3
    case 11: return {148, 210};      // A5
    case 12: return {257, 364};      // B4 (JIS)
    case 13: return {182, 257};      // B5 (JIS)
    case 43: return {100, 148};      // postcard
    default: return {210, 297};      // A4
    }
}

int digitWidthPx(double points) {
    return std::max(1, int(std::ceil(points * 96.0 / 72.0 / 2.0 - 1e-9)));
}

void SheetPlan::page(int index, Span& rows, Span& cols) const {
    const int nRows = int(rowPages.size()), nCols = int(colPages.size());
    if (downThenOver) {
        rows = rowPages[size_t(index % nRows)];
        cols = colPages[size_t(index / nRows)];
    } else {
        rows = rowPages[size_t(index / nCols)];
        cols = colPages[size_t(index % nCols)];
    }
}

SheetPlan planSheet(const model::SheetLayout& layout, const model::Area& range, double defaultFontPoints, int zoom,
                    bool headings) {
    const model::PageSetup& ps = layout.page;
    SheetPlan plan;
    plan.range = range;
    plan.scale = std::clamp(zoom, 10, 400) / 100.0;
    plan.downThenOver = ps.downThenOver;
    QSizeF paper = paperSizeMm(ps.paperSize);
    if (ps.landscape) paper.transpose();
    plan.paperMm = paper;
    const double paperW = paper.width() / 25.4 * kPointsPerInch, paperH = paper.height() / 25.4 * kPointsPerInch;
    plan.marginLeftPt = ps.left * kPointsPerInch;
    plan.marginTopPt = ps.top * kPointsPerInch;
    plan.contentWidthPt = std::max(36.0, paperW - (ps.left + ps.right) * kPointsPerInch);
    plan.contentHeightPt = std::max(36.0, paperH - (ps.top + ps.bottom) * kPointsPerInch);

    const int digitPx = digitWidthPx(defaultFontPoints);
    plan.colWidthPt.resize(256);
    for (int c = 0; c < 256; ++c) plan.colWidthPt[size_t(c)] = columnPt(layout, c, digitPx);
    plan.rowHeightPt.reserve(size_t(range.lastRow - range.firstRow + 1));
    for (int r = range.firstRow; r <= range.lastRow; ++r) plan.rowHeightPt.push_back(rowPt(layout, r));
    if (headings) {
        const int digits = int(std::to_string(range.lastRow + 1).size());
        plan.headingWidthPt = (std::max(digits, 2) + 1) * digitPx * kPointsPerPx + 4;
        plan.headingHeightPt = layout.defaultRowTwips / 20.0;
    }
    const double colRoom = plan.contentWidthPt / plan.scale - plan.headingWidthPt;
    const double rowRoom = plan.contentHeightPt / plan.scale - plan.headingHeightPt;
    const std::vector<double> cols(plan.colWidthPt.begin() + range.firstCol, plan.colWidthPt.begin() + range.lastCol + 1);
    plan.colPages = splitSpans(range.firstCol, cols, colRoom, ps.colBreaks);
    plan.rowPages = splitSpans(range.firstRow, plan.rowHeightPt, rowRoom, ps.rowBreaks);
    return plan;
}

}  // namespace tabulon::reports::sheet
