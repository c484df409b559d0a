#pragma once
// How a report's rows fall onto pages. A layout answers two questions for a
// page that starts at a given row: where the next page starts, and how the
// page looks. Both run the same flow, so what is painted is what was counted.
#include "reports/PageStyle.h"
#include "reports/ReportData.h"

#include <memory>

class QPainter;

namespace tabulon::reports {

// Where a page begins: at a row, and in a row continued from the page
// before, at the first of its lines still to print.
struct PageStart {
    int row = 0;
    int line = 0;
    bool operator==(const PageStart&) const = default;
};

class PageLayout {
public:
    virtual ~PageLayout() = default;
    // Where the page after the one starting at start begins (always later
    // than start while rows remain).
    virtual PageStart nextPageStart(PageStart start) const = 0;
    // Paints the body of the page beginning at start (in layout units).
    virtual void paint(QPainter& p, PageStart start) const = 0;
};

// Lays rows one after another down one or more columns per page; a unit
// (a row with the group headings that open it) moves to the next column
// whole when it fits one. A unit taller than a whole column is split between
// its lines when it has them, and continues at the top of the next column.
class FlowLayout : public PageLayout {
public:
    PageStart nextPageStart(PageStart start) const override { return flow(start, nullptr); }
    void paint(QPainter& p, PageStart start) const override { flow(start, &p); }

protected:
    FlowLayout(const ReportData& data, QRectF body, int columns, double gap);
    struct Unit {
        double heading = 0;  // group/procedure headings before the row
        double row = 0;
        // A row of lines (lineHeight > 0): row is lines * lineHeight plus
        // padding above and below. Flowing sets the lines [firstLine,
        // endLine) that a piece of the row holds.
        int lines = 1;
        double lineHeight = 0, padding = 0;
        int firstLine = 0, endLine = 1;
    };
    virtual Unit measure(int row) const = 0;
    // Height of the space above the first unit of a column (column headers,
    // a "continued" heading), and its painting.
    virtual double columnTop(int row, int column) const = 0;
    virtual void paintColumnTop(QPainter& p, int row, int column, const QRectF& area) const = 0;
    virtual void paintUnit(QPainter& p, int row, const Unit& u, const QRectF& area) const = 0;
    virtual void paintEmpty(QPainter& p, const QRectF& area) const;

    const ReportData& data_;
    QRectF body_;
    int columns_;
    double gap_;

private:
    PageStart flow(PageStart start, QPainter* p) const;
    QRectF columnRect(int column) const;
};

std::unique_ptr<PageLayout> makeListLayout(const ReportDef& def, const ReportData& data,
                                           QRectF body);
std::unique_ptr<PageLayout> makeSourceLayout(const ReportDef& def, const ReportData& data,
                                             QRectF body);
std::unique_ptr<PageLayout> makeFreeLayout(const ReportDef& def, const ReportData& data);

}  // namespace tabulon::reports
