#pragma once
// How a worksheet falls into printed pages: its geometry in points (column
// widths from the default font's digit width, row heights), the paper and
// margins of its page setup, the print scale, the headings, and the manual
// page breaks. Pure arithmetic over the sheet's layout: no painting.
#include "host/model/Book.h"

#include <QSizeF>
#include <vector>

namespace tabulon::reports::sheet {

// A run of rows or columns, inclusive.
struct Span {
    int first = 0, last = 0;
    bool operator==(const Span&) const = default;
};

// Cuts the items first..first+sizes.size()-1 into pages of at most `room`
// each; a manual break (the first item of a new page) always starts a page,
// and an item larger than the room gets a page of its own.
std::vector<Span> splitSpans(int first, const std::vector<double>& sizes, double room,
                             const std::vector<int>& breaks);

// Paper size in millimetres, portrait, for a Setup iPaperSize; A4 when unknown.
QSizeF paperSizeMm(int paperSize);

// Width in pixels of the digit "0" of a font the size of the default font.
int digitWidthPx(double points);

struct SheetPlan {
    QSizeF paperMm;             // oriented as printed
    double scale = 1.0;         // print zoom / 100
    double marginLeftPt = 0, marginTopPt = 0, contentWidthPt = 0, contentHeightPt = 0;  // on paper
    double headingWidthPt = 0, headingHeightPt = 0;  // unscaled; 0 without headings
    std::vector<double> colWidthPt;   // by column 0..255, hidden ones 0
    std::vector<double> rowHeightPt;  // rows of the printed range, from firstRow
    model::Area range;            // the cells that print
    std::vector<Span> rowPages, colPages;
    bool downThenOver = true;
    int pageCount() const { return int(rowPages.size() * colPages.size()); }
    // Rows and columns of page `index` (0-based) in the sheet's page order.
    void page(int index, Span& rows, Span& cols) const;
    double rowHeight(int row) const { return rowHeightPt[size_t(row - range.firstRow)]; }
};

// Lays out the range at zoom percent, with headings when asked.
SheetPlan planSheet(const model::SheetLayout& layout, const model::Area& range, double defaultFontPoints, int zoom,
                    bool headings);

}  // namespace tabulon::reports::sheet
