#pragma once
// A chart as the spreadsheet prints it, from the chart the reader kept: the
// chart area, the title, the legend, and in the plot area columns, bars,
// lines, areas and scatter points against their axes (ticks labelled in the
// axis's number format, gridlines), or pie and doughnut slices; data labels
// where the series asks for them. Series and points are in their own colours.
// A chart type it does not draw prints as a frame labelled with the type.
// Painting keeps no state: sheets print side by side.
#include "host/model/Chart.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace tabulon::reports::sheet {

// Paints chart into frame; unitsPerPoint is the painter's scale (20 where it
// paints in twips). Dates on the axes count from 1904 when date1904.
void paintChart(QPainter& p, const model::Chart& chart, const QRectF& frame, double unitsPerPoint, bool date1904);

// The frame a chart prints as where none could be read, or its type is one
// not drawn: "グラフ", and the type where it is known.
QString chartFrameLabel(const model::Chart* chart);

}  // namespace tabulon::reports::sheet
