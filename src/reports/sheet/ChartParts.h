#pragma once
// What the chart painter's parts share: the fonts and pens of one chart's
// paint, the series colours, and value texts in a number format.
#include "host/model/Chart.h"
#include "reports/sheet/SheetText.h"

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace tabulon::reports::sheet::chart {

// One chart being painted: its fonts (made once for the paint), scale and
// the colours of its texts and lines.
struct ChartInk {
    ChartInk(QPainter& painter, const model::Chart& c, double unitsPerPoint, bool d1904);
    QPainter& p;
    const model::Chart& chart;
    double pt;                 // painter units per point
    bool date1904;
    SheetFont text, title;
    QColor textColor, lineColor, gridColor;

    // A text in a box by the alignment flags, in the chart's text colour.
    void draw(const QRectF& box, int flags, const QString& s, const SheetFont& font) const;
    void draw(const QRectF& box, int flags, const QString& s) const { draw(box, flags, s, text); }
};

// The fill of a series, and of its point i where it is coloured on its own.
QColor seriesFill(const model::ChartSeries& s, bool biff);
QColor pointFill(const model::ChartSeries& s, int point, bool biff);
// The line of a line or scatter series.
QColor seriesLine(const model::ChartSeries& s, bool biff);

// A value in a number format (General when empty).
QString valueText(double value, const QString& format, bool date1904);

// The name a series shows: its own, else "系列n".
QString seriesName(const model::ChartSeries& s);

// The text of a point's data label as l asks: series name, category, value
// (in the labels' format, else the values'), share (NaN: none).
QString labelText(const ChartInk& ink, const model::ChartSeries& s, const model::DataLabels& l, double v,
                  const QString& category, double share);
// The labels a series shows: its own, else its group's.
const model::DataLabels& labelsOf(const model::ChartGroup& g, const model::ChartSeries& s);
// A label centred on at; Qt::AlignTop puts it above, Qt::AlignRight to the right.
void drawLabel(const ChartInk& ink, QPointF at, const QString& text, int flags);

// Plots the groups of a chart with axes (column, bar, line, area, scatter) in plot.
void paintAxesChart(ChartInk& ink, const QRectF& plot);
// Plots a pie or doughnut group in plot.
void paintPieChart(ChartInk& ink, const model::ChartGroup& group, const QRectF& plot);

}  // namespace tabulon::reports::sheet::chart
