// The plot area of a pie or doughnut chart: slices clockwise from the first
// slice's angle, each point in its colour, rings of a doughnut from the
// first series inside out.
#include "reports/sheet/ChartParts.h"

#include <QPainterPath>
#include <cmath>

namespace tabulon::reports::sheet::chart {

using model::ChartType;

void paintPieChart(ChartInk& ink, const model::ChartGroup& g, const QRectF& area) {
    if (g.series.empty()) return;
    const double pt = ink.pt;
    const double radius = std::min(area.width(), area.height()) / 2 - 2 * pt;
    if (radius <= 0) return;
    const QPointF centre = area.center();
    const bool doughnut = g.type == ChartType::Doughnut;
    const size_t rings = doughnut ? g.series.size() : 1;
    const double hole = doughnut ? radius * g.holeSize / 100.0 : 0;
    const double ring = (radius - hole) / double(rings);
    for (size_t r = 0; r < rings; ++r) {
        const model::ChartSeries& s = g.series[r];
        double total = 0;
        for (double v : s.values)
            if (std::isfinite(v) && v > 0) total += v;
        if (!std::isfinite(total) || total <= 0) continue;
        const double inner = hole + ring * double(r), outer = inner + ring;
        const QRectF outerBox(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
        const QRectF innerBox(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
        double angle = g.firstSliceAngle;  // degrees clockwise from the top
        for (size_t i = 0; i < s.values.size(); ++i) {
            const double v = s.values[i];
            if (!std::isfinite(v) || v <= 0) continue;
            const double sweep = v / total * 360;
            // Qt counts counter-clockwise from three o'clock.
            const double start = 90 - angle;
            QPainterPath path;
            path.arcMoveTo(outerBox, start);
            path.arcTo(outerBox, start, -sweep);
            if (inner > 0) path.arcTo(innerBox, start - sweep, sweep);
            else path.lineTo(centre);
            path.closeSubpath();
            ink.p.setPen(ink.chart.fromBiff ? QPen(Qt::black, 0.5 * pt) : QPen(Qt::white, 0.75 * pt));
            ink.p.setBrush(s.noFill ? QBrush(Qt::NoBrush) : QBrush(g.varyColors ? pointFill(s, int(i), ink.chart.fromBiff) : seriesFill(s, ink.chart.fromBiff)));
            ink.p.drawPath(path);
            const model::DataLabels& l = labelsOf(g, s);
            if (l.any()) {
                const double mid = (90 - angle - sweep / 2) * M_PI / 180, at = inner > 0 ? (inner + outer) / 2 : outer * 0.65;
                const QString category = i < size_t(s.categories.size()) ? s.categories[int(i)] : QString::number(i + 1);
                drawLabel(ink, centre + QPointF(std::cos(mid) * at, -std::sin(mid) * at), labelText(ink, s, l, v, category, v / total), 0);
            }
            angle += sweep;
        }
    }
}

}  // namespace tabulon::reports::sheet::chart
