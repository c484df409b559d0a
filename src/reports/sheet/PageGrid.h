#pragma once
// The grid of one printed page of a sheet: where its columns and rows begin,
// in twips from the page's top-left corner, the headings before them.
#include "reports/sheet/SheetPainter.h"

#include <QRectF>
#include <vector>

namespace tabulon::reports::sheet {

struct PageGrid {
    Span rows, cols;
    std::vector<double> x, y;  // boundaries in twips, size n + 1
    double left = 0, top = 0;  // where the cells begin (after the headings)

    // The left edge of a column, also of one beyond the page.
    double colX(const SheetPlan& plan, int c) const;
    // The top edge of a row of the printed range, also of one beyond the page.
    double rowY(const SheetPlan& plan, int r) const;
    QRectF area(const SheetPlan& plan, const model::Area& a) const {
        return QRectF(QPointF(colX(plan, a.firstCol), rowY(plan, a.firstRow)),
                      QPointF(colX(plan, a.lastCol + 1), rowY(plan, a.lastRow + 1)));
    }
    // The cells of the page, headings left out.
    QRectF cells() const { return QRectF(QPointF(x.front(), y.front()), QPointF(x.back(), y.back())); }
};

PageGrid makeGrid(const SheetContext& ctx, Span rows, Span cols);

// The merged area that holds the cell, or null.
const model::Area* mergeOf(const std::vector<model::Area>& merges, int row, int col);

}  // namespace tabulon::reports::sheet
