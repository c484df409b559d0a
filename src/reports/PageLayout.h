#pragma once
// How a report's rows fall onto pages. A layout answers two questions for a
// page that starts at a given row: where the next page starts, and how the
// page looks. Both run the same flow, so what is painted is what was counted.
#include "reports/PageStyle.h"
#include "reports/ReportData.h"

#include <memory>

class QPainter;

namespace tabulon::reports {

class PageLayout {
public:
    virtual ~PageLayout() = default;
    // First row of the page after the one starting at startRow (always later
    // than startRow while rows remain).
    virtual int nextPageStart(int startRow) const = 0;
    // Paints the body of the page starting at startRow (in layout units).
    virtual void paint(QPainter& p, int startRow) const = 0;
};

// Lays rows one after another down one or more columns per page; a unit
// (a row with the group headings that open it) is never split across columns.
class FlowLayout : public PageLayout {
public:
    int nextPageStart(int startRow) const override { return flow(startRow, nullptr); }
    void paint(QPainter& p, int startRow) const override { flow(startRow, &p); }

protected:
    FlowLayout(const ReportData& data, QRectF body, int columns, double gap);
    struct Unit {
        double heading = 0;  // group/procedure headings before the row
        double row = 0;
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
    int flow(int startRow, QPainter* p) const;
    QRectF columnRect(int column) const;
};

std::unique_ptr<PageLayout> makeListLayout(const ReportDef& def, const ReportData& data,
                                           QRectF body);
std::unique_ptr<PageLayout> makeSourceLayout(const ReportDef& def, const ReportData& data,
                                             QRectF body);
std::unique_ptr<PageLayout> makeFreeLayout(const ReportDef& def, const ReportData& data);

}  // namespace tabulon::reports
