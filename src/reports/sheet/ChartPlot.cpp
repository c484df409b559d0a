// The plot area of a chart with axes: the groups drawn against a category
// (or x) axis and a value axis; the data labels of every kind of chart.
#include "reports/sheet/ChartParts.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tabulon::reports::sheet::chart {

namespace {

using model::ChartType;

// A value axis's range and step.
struct Scale {
    double min = 0, max = 1, unit = 0.2;
    double at(double v) const { return max > min ? (v - min) / (max - min) : 0; }
    int steps() const {
        const double n = unit > 0 ? std::floor((max - min) / unit + 1e-9) : 0;
        return std::isfinite(n) ? int(std::clamp(n, 0.0, 200.0)) : 0;
    }
};

// The range the spreadsheet chooses for values lo..hi: from zero when the
// values are all on one side of it and not bunched far from it, in round
// steps (at most `intervals` of them, which the axis's length allows), with a
// little room above the highest.
Scale scaleFor(double lo, double hi, const model::ChartAxis& a, double intervals) {
    if (!(lo <= hi)) lo = 0, hi = 1;
    if (lo > 0 && lo < hi * 5 / 6) lo = 0;
    if (hi < 0 && hi > lo * 5 / 6) hi = 0;
    if (lo == hi) {
        if (lo == 0) hi = 1;
        else if (lo > 0) lo = 0;
        else hi = 0;
    }
    const bool fixedMin = a.min && std::isfinite(*a.min), fixedMax = a.max && std::isfinite(*a.max);
    if (fixedMin) lo = *a.min;
    if (fixedMax) hi = *a.max;
    if (!(hi > lo)) hi = lo + 1;
    // Values so far apart that their span is no number: the plot shows 0 to 1.
    if (!std::isfinite(hi - lo) || !(hi > lo)) return Scale{};
    Scale s;
    const double range = hi - lo;
    if (a.majorUnit && *a.majorUnit >= range / 200) {
        s.unit = *a.majorUnit;
    } else {
        const double raw = range / std::clamp(intervals, 2.0, 10.0), mag = std::pow(10.0, std::floor(std::log10(raw))), n = raw / mag;
        s.unit = (n <= 1 ? 1 : n <= 2 ? 2 : n <= 5 ? 5 : 10) * mag;
    }
    s.min = fixedMin ? lo : std::floor(lo / s.unit + 1e-9) * s.unit;
    s.max = fixedMax ? hi : std::ceil((hi + (hi > 0 ? range * 0.05 : 0)) / s.unit - 1e-9) * s.unit;
    if (!fixedMax && hi <= 0 && s.max < 0) s.max = 0;
    if (!(s.max > s.min)) s.max = s.min + s.unit;
    if (!std::isfinite(s.min) || !std::isfinite(s.max) || !std::isfinite(s.unit) || !(s.max > s.min)) return Scale{};
    return s;
}

bool stacked(const model::ChartGroup& g) { return g.grouping != model::ChartGrouping::Standard && g.type != ChartType::Scatter; }
bool percent(const model::ChartGroup& g) { return g.grouping == model::ChartGrouping::PercentStacked; }

size_t pointCount(const model::ChartGroup& g) {
    size_t n = 0;
    for (const model::ChartSeries& s : g.series) n = std::max({n, s.values.size(), size_t(s.categories.size())});
    return n;
}

double at(const std::vector<double>& v, size_t i) { return i < v.size() && std::isfinite(v[i]) ? v[i] : 0; }

// The values a group puts on its axis, series by series: stacked groups add
// up, percent stacked ones as shares of their category's total.
std::vector<std::vector<double>> plotted(const model::ChartGroup& g, size_t n, std::vector<std::vector<double>>* bases) {
    std::vector<std::vector<double>> out;
    std::vector<double> pos(n, 0), neg(n, 0), total(n, 0);
    if (percent(g))
        for (const model::ChartSeries& s : g.series)
            for (size_t i = 0; i < n; ++i) total[i] += std::abs(at(s.values, i));
    for (const model::ChartSeries& s : g.series) {
        std::vector<double> top(n), base(n, 0);
        for (size_t i = 0; i < n; ++i) {
            double v = i < s.values.size() ? s.values[i] : NAN;
            if (!stacked(g)) {
                top[i] = v;
                continue;
            }
            if (!std::isfinite(v)) v = 0;
            if (percent(g)) v = total[i] > 0 ? v / total[i] : 0;
            double& sum = v >= 0 ? pos[i] : neg[i];
            base[i] = sum;
            sum += v;
            top[i] = sum;
        }
        out.push_back(std::move(top));
        if (bases) bases->push_back(std::move(base));
    }
    return out;
}

// Where things are in the plot: the category slots along one side, the
// value scale along the other; horizontal for bar charts.
struct Frame {
    QRectF plot;
    bool horizontal = false;
    bool edges = false;     // points on the slot edges (area charts) rather than their middles
    size_t count = 1;
    Scale scale;

    double slot() const { return (horizontal ? plot.height() : plot.width()) / double(std::max<size_t>(count, 1)); }
    double catAt(double i) const {  // i in slots, 0 at the first category's start
        if (edges) i = count > 1 ? i * double(count) / double(count - 1) : double(count) / 2;
        return horizontal ? plot.bottom() - i * slot() : plot.left() + i * slot();
    }
    double valueAt(double v, const Scale& s) const {
        const double f = s.at(v);
        return horizontal ? plot.left() + f * plot.width() : plot.bottom() - f * plot.height();
    }
    QPointF point(double cat, double v, const Scale& s) const {
        return horizontal ? QPointF(valueAt(v, s), catAt(cat)) : QPointF(catAt(cat), valueAt(v, s));
    }
};

void paintBars(ChartInk& ink, const Frame& f, const model::ChartGroup& g, const Scale& scale) {
    std::vector<std::vector<double>> bases;
    const auto tops = plotted(g, f.count, &bases);
    const size_t k = stacked(g) ? 1 : g.series.size();
    const double overlap = stacked(g) ? 1.0 : g.overlap / 100.0, gap = g.gapWidth / 100.0;
    const double width = 1.0 / (double(k) - double(k - 1) * overlap + gap);  // in slots
    const double start = (1 - (double(k) - double(k - 1) * overlap) * width) / 2;
    const double zero = std::clamp(0.0, scale.min, scale.max);
    for (size_t si = 0; si < g.series.size(); ++si) {
        const model::ChartSeries& s = g.series[si];
        const size_t place = stacked(g) ? 0 : si;
        for (size_t i = 0; i < f.count; ++i) {
            const double v = tops[si][i];
            if (!std::isfinite(v)) continue;
            const double from = stacked(g) ? bases[si][i] : zero;
            const double c0 = double(i) + start + double(place) * width * (1 - overlap);
            const QRectF bar = QRectF(f.point(c0, from, scale), f.point(c0 + width, std::clamp(v, scale.min, scale.max), scale)).normalized();
            ink.p.setPen(ink.chart.fromBiff ? QPen(Qt::black, 0.5 * ink.pt) : QPen(Qt::NoPen));
            ink.p.setBrush(s.noFill ? QBrush(Qt::NoBrush) : QBrush(g.varyColors ? pointFill(s, int(i), ink.chart.fromBiff) : seriesFill(s, ink.chart.fromBiff)));
            ink.p.drawRect(bar);
            const model::DataLabels& l = labelsOf(g, s);
            if (!l.any()) continue;
            const QString category = i < size_t(s.categories.size()) ? s.categories[int(i)] : QString::number(i + 1);
            const QString text = labelText(ink, s, l, s.values[i], category, NAN);
            if (stacked(g)) drawLabel(ink, bar.center(), text, 0);
            else if (f.horizontal) drawLabel(ink, QPointF(v >= 0 ? bar.right() : bar.left(), bar.center().y()), text, Qt::AlignRight);
            else drawLabel(ink, QPointF(bar.center().x(), v >= 0 ? bar.top() : bar.bottom()), text, Qt::AlignTop);
        }
    }
}

void paintMarker(QPainter& p, QPointF at, const QColor& c, double pt) {
    p.setPen(QPen(c, 0.75 * pt));
    p.setBrush(c);
    p.drawEllipse(at, 2.5 * pt, 2.5 * pt);
}

double lineWidth(const ChartInk& ink, const model::ChartSeries& s) {
    return (s.lineWidthPt > 0 ? std::min(s.lineWidthPt, 20.0) : ink.chart.fromBiff ? 1.0 : 2.25) * ink.pt;
}

void paintLines(ChartInk& ink, const Frame& f, const model::ChartGroup& g, const Scale& scale) {
    const auto tops = plotted(g, f.count, nullptr);
    for (size_t si = 0; si < g.series.size(); ++si) {
        const model::ChartSeries& s = g.series[si];
        const QColor color = seriesLine(s, ink.chart.fromBiff);
        std::vector<std::pair<size_t, QPointF>> points;
        for (size_t i = 0; i < f.count; ++i)
            if (std::isfinite(tops[si][i])) points.emplace_back(i, f.point(double(i) + 0.5, tops[si][i], scale));
        if (!s.noLine) {
            ink.p.setPen(QPen(color, lineWidth(ink, s), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            ink.p.setBrush(Qt::NoBrush);
            for (size_t j = 1; j < points.size(); ++j)
                if (points[j].first == points[j - 1].first + 1) ink.p.drawLine(points[j - 1].second, points[j].second);
        }
        for (const auto& [i, pt] : points) {
            if (s.markers) paintMarker(ink.p, pt, color, ink.pt);
            const model::DataLabels& l = labelsOf(g, s);
            if (l.any()) {
                const QString category = i < size_t(s.categories.size()) ? s.categories[int(i)] : QString::number(i + 1);
                drawLabel(ink, pt - QPointF(0, 2 * ink.pt), labelText(ink, s, l, s.values[i], category, NAN), Qt::AlignTop);
            }
        }
    }
}

void paintAreas(ChartInk& ink, Frame f, const model::ChartGroup& g, const Scale& scale) {
    std::vector<std::vector<double>> bases;
    const auto tops = plotted(g, f.count, &bases);
    const double zero = std::clamp(0.0, scale.min, scale.max);
    // Later series are drawn first so that the first stays in front where
    // plain areas overlap.
    for (size_t k = g.series.size(); k-- > 0;) {
        const model::ChartSeries& s = g.series[stacked(g) ? g.series.size() - 1 - k : k];
        const size_t si = stacked(g) ? g.series.size() - 1 - k : k;
        QPolygonF shape;
        for (size_t i = 0; i < f.count; ++i) shape << f.point(double(i), std::isfinite(tops[si][i]) ? tops[si][i] : zero, scale);
        for (size_t i = f.count; i-- > 0;) shape << f.point(double(i), stacked(g) ? bases[si][i] : zero, scale);
        ink.p.setPen(ink.chart.fromBiff ? QPen(Qt::black, 0.5 * ink.pt) : QPen(Qt::NoPen));
        ink.p.setBrush(s.noFill ? QBrush(Qt::NoBrush) : QBrush(seriesFill(s, ink.chart.fromBiff)));
        ink.p.drawPolygon(shape);
    }
}

// The plot area's own fill, inside the axes.
void paintPlotFill(ChartInk& ink, const QRectF& plot) {
    if (ink.chart.plotFill.automatic) return;
    ink.p.setPen(Qt::NoPen);
    ink.p.setBrush(QColor::fromRgb(ink.chart.plotFill.rgb));
    ink.p.drawRect(plot);
}

// Value labels along the value axis (and gridlines across the plot).
void paintValueAxis(ChartInk& ink, const Frame& f, const Scale& s, const QString& format, bool right, bool grid) {
    const double pt = ink.pt, h = ink.text.lineHeight();
    for (int k = 0; k <= s.steps(); ++k) {
        const double v = s.min + k * s.unit, at = f.valueAt(v, s);
        if (grid && k > 0) {
            ink.p.setPen(QPen(ink.gridColor, 0.75 * pt));
            if (f.horizontal) ink.p.drawLine(QPointF(at, f.plot.top()), QPointF(at, f.plot.bottom()));
            else ink.p.drawLine(QPointF(f.plot.left(), at), QPointF(f.plot.right(), at));
        }
        const QString text = valueText(std::abs(v) < s.unit * 1e-9 ? 0 : v, format, ink.date1904);
        if (f.horizontal) ink.draw(QRectF(at - 40 * pt, f.plot.bottom() + 2 * pt, 80 * pt, h), Qt::AlignHCenter | Qt::AlignTop, text);
        else if (right) ink.draw(QRectF(f.plot.right() + 3 * pt, at - h / 2, 200 * pt, h), Qt::AlignLeft | Qt::AlignVCenter, text);
        else ink.draw(QRectF(f.plot.left() - 203 * pt, at - h / 2, 200 * pt, h), Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

void paintCategoryAxis(ChartInk& ink, const Frame& f, const QStringList& labels, const Scale& s) {
    const double pt = ink.pt, h = ink.text.lineHeight();
    const double zero = f.valueAt(std::clamp(0.0, s.min, s.max), s);
    ink.p.setPen(QPen(ink.lineColor, 0.75 * pt));
    if (f.horizontal) ink.p.drawLine(QPointF(zero, f.plot.top()), QPointF(zero, f.plot.bottom()));
    else ink.p.drawLine(QPointF(f.plot.left(), zero), QPointF(f.plot.right(), zero));
    if (!ink.chart.categoryAxis.present) return;
    // Every label where they fit side by side, else every second, third, ...
    double widest = 0;
    for (const QString& l : labels) widest = std::max(widest, ink.text.width(l));
    const double room = f.horizontal ? h : widest + 3 * pt;
    const int every = std::max(1, int(std::ceil(room / std::max(f.slot(), 1e-9))));
    for (int i = 0; i < labels.size() && size_t(i) < f.count; i += every) {
        const double c = f.catAt(f.edges ? double(i) : double(i) + 0.5);
        if (f.horizontal)
            ink.draw(QRectF(f.plot.left() - 203 * pt, c - h / 2, 200 * pt, h), Qt::AlignRight | Qt::AlignVCenter, labels[i]);
        else
            ink.draw(QRectF(c - f.slot() * every / 2, f.plot.bottom() + 2 * pt, f.slot() * every, h), Qt::AlignHCenter | Qt::AlignTop, labels[i]);
    }
}

QString axisFormat(const model::ChartAxis& a, const std::vector<const model::ChartGroup*>& groups) {
    if (!a.numberFormat.isEmpty()) return a.numberFormat;
    for (const model::ChartGroup* g : groups) {
        if (percent(*g)) return QStringLiteral("0%");
        for (const model::ChartSeries& s : g->series)
            if (!s.valueFormat.isEmpty()) return s.valueFormat;
    }
    return QString();
}

// How many steps an axis of this length has room for: one every two text heights.
double intervalsOn(const ChartInk& ink, double length) { return length / (2 * ink.text.font().pixelSize()); }

Scale valueScale(const std::vector<const model::ChartGroup*>& groups, size_t n, const model::ChartAxis& a, double intervals) {
    double lo = INFINITY, hi = -INFINITY;
    for (const model::ChartGroup* g : groups) {
        std::vector<std::vector<double>> bases;
        for (const std::vector<double>& top : plotted(*g, n, &bases))
            for (double v : top)
                if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
        if (stacked(*g)) lo = std::min(lo, 0.0);
    }
    Scale s = scaleFor(lo, hi, a, intervals);
    if (groups.size() == 1 && percent(*groups.front()) && !a.max) s.max = std::max(s.min + s.unit, std::min(s.max, 1.0));
    return s;
}

double widestLabel(const ChartInk& ink, const Scale& s, const QString& format) {
    double w = 0;
    for (int k = 0; k <= s.steps(); ++k) w = std::max(w, ink.text.width(valueText(s.min + k * s.unit, format, ink.date1904)));
    return w;
}

// A scatter series's x values: its own where it has one for every point,
// else 1, 2, 3, ... as the spreadsheet counts them.
double xAt(const model::ChartSeries& s, size_t i) {
    return s.xValues.size() >= s.values.size() ? at(s.xValues, i) : double(i + 1);
}

void paintScatter(ChartInk& ink, const QRectF& area, const model::ChartGroup& g) {
    const model::Chart& c = ink.chart;
    double xlo = INFINITY, xhi = -INFINITY, ylo = INFINITY, yhi = -INFINITY;
    for (const model::ChartSeries& s : g.series)
        for (size_t i = 0; i < s.values.size(); ++i) {
            const double x = xAt(s, i), y = s.values[i];
            if (!std::isfinite(y)) continue;
            xlo = std::min(xlo, x), xhi = std::max(xhi, x), ylo = std::min(ylo, y), yhi = std::max(yhi, y);
        }
    const double pt = ink.pt, h = ink.text.lineHeight();
    const double height = area.height() - h / 2 - (c.categoryAxis.present ? h + 3 * pt : 0);
    const Scale xs = scaleFor(xlo, xhi, c.categoryAxis, intervalsOn(ink, area.width() * 0.8)),
                ys = scaleFor(ylo, yhi, c.valueAxis, intervalsOn(ink, height));
    const QString xf = c.categoryAxis.numberFormat, yf = axisFormat(c.valueAxis, {&g});
    Frame f;
    f.plot = area.adjusted(c.valueAxis.present ? widestLabel(ink, ys, yf) + 5 * pt : 0, h / 2, -widestLabel(ink, xs, xf) / 2,
                           c.categoryAxis.present ? -(h + 3 * pt) : 0);
    if (f.plot.width() <= 0 || f.plot.height() <= 0) return;
    f.scale = ys;
    paintPlotFill(ink, f.plot);
    if (c.valueAxis.present) paintValueAxis(ink, f, ys, yf, false, c.valueAxis.majorGridlines);
    Frame fx = f;
    fx.horizontal = true;
    if (c.categoryAxis.present) paintValueAxis(ink, fx, xs, xf, false, c.categoryAxis.majorGridlines);
    ink.p.setPen(QPen(ink.lineColor, 0.75 * pt));
    ink.p.drawLine(QPointF(f.plot.left(), f.valueAt(std::clamp(0.0, ys.min, ys.max), ys)),
                   QPointF(f.plot.right(), f.valueAt(std::clamp(0.0, ys.min, ys.max), ys)));
    for (const model::ChartSeries& s : g.series) {
        const QColor color = seriesLine(s, c.fromBiff);
        QPolygonF line;
        for (size_t i = 0; i < s.values.size(); ++i) {
            if (!std::isfinite(s.values[i])) continue;
            line << QPointF(fx.valueAt(xAt(s, i), xs), f.valueAt(s.values[i], ys));
        }
        if (!s.noLine) {
            ink.p.setPen(QPen(color, lineWidth(ink, s), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            ink.p.setBrush(Qt::NoBrush);
            ink.p.drawPolyline(line);
        }
        if (s.markers || s.noLine)
            for (const QPointF& p : line) paintMarker(ink.p, p, color, pt);
    }
}

}  // namespace

QString labelText(const ChartInk& ink, const model::ChartSeries& s, const model::DataLabels& l, double v,
                  const QString& category, double share) {
    QStringList parts;
    if (l.series) parts << seriesName(s);
    if (l.category) parts << category;
    if (l.value) parts << valueText(v, l.numberFormat.isEmpty() ? s.valueFormat : l.numberFormat, ink.date1904);
    if (l.percent && std::isfinite(share)) parts << valueText(share, QStringLiteral("0%"), false);
    return parts.join(QStringLiteral(", "));
}

const model::DataLabels& labelsOf(const model::ChartGroup& g, const model::ChartSeries& s) {
    return s.labels.any() ? s.labels : g.labels;
}

void drawLabel(const ChartInk& ink, QPointF at, const QString& text, int flags) {
    if (text.isEmpty()) return;
    const double w = ink.text.width(text) + 2 * ink.pt, h = ink.text.lineHeight();
    QRectF box(at.x() - w / 2, at.y() - h / 2, w, h);
    if (flags & Qt::AlignTop) box.moveBottom(at.y() - ink.pt);
    if (flags & Qt::AlignRight) box.moveLeft(at.x() + ink.pt);
    ink.draw(box, Qt::AlignCenter, text);
}

void paintAxesChart(ChartInk& ink, const QRectF& area) {
    const model::Chart& c = ink.chart;
    // A group without series (left behind by an edit) sets nothing.
    const auto withSeries = std::find_if(c.groups.begin(), c.groups.end(), [](const model::ChartGroup& g) { return !g.series.empty(); });
    if (withSeries == c.groups.end()) return;
    const model::ChartGroup& first = *withSeries;
    if (first.type == ChartType::Scatter) return paintScatter(ink, area, first);
    std::vector<const model::ChartGroup*> primary, secondary;
    size_t n = 0;
    const model::ChartSeries* named = nullptr;
    bool anyBars = false;
    for (const model::ChartGroup& g : c.groups) {
        if (g.type == ChartType::Pie || g.type == ChartType::Doughnut || g.type == ChartType::Scatter) continue;
        (g.secondary ? secondary : primary).push_back(&g);
        n = std::max(n, pointCount(g));
        anyBars = anyBars || g.type == ChartType::Column || g.type == ChartType::Bar;
        for (const model::ChartSeries& s : g.series)
            if (!named && !s.categories.isEmpty()) named = &s;
    }
    if (n == 0 || primary.empty()) return;
    QStringList labels;
    for (size_t i = 0; i < n; ++i)
        labels << (named && i < size_t(named->categories.size()) ? named->categories[int(i)] : QString::number(i + 1));
    const QString format = axisFormat(c.valueAxis, primary), format2 = axisFormat(c.valueAxis, secondary);
    Frame f;
    f.horizontal = first.type == ChartType::Bar;
    f.edges = !anyBars && std::all_of(primary.begin(), primary.end(), [](const model::ChartGroup* g) { return g->type == ChartType::Area; });
    f.count = n;
    const double pt = ink.pt, h = ink.text.lineHeight();
    double catRoom = 0;
    if (c.categoryAxis.present) {
        if (!f.horizontal) catRoom = h + 3 * pt;
        else for (const QString& l : labels) catRoom = std::max(catRoom, ink.text.width(l) + 5 * pt);
    }
    const double titleRoom = c.valueAxis.title.isEmpty() ? 0 : h + 2 * pt;
    const double catTitleRoom = c.categoryAxis.title.isEmpty() ? 0 : h + 2 * pt;
    // The value axis's length, which sets its steps, does not hang on its labels.
    const double length = f.horizontal ? area.width() - catRoom - catTitleRoom - h
                                       : area.height() - h / 2 - catRoom - catTitleRoom;
    const Scale scale = valueScale(primary, n, c.valueAxis, intervalsOn(ink, length));
    const Scale scale2 = secondary.empty() ? scale : valueScale(secondary, n, model::ChartAxis{}, intervalsOn(ink, length));
    const double valRoom = !c.valueAxis.present ? 0 : f.horizontal ? h + 3 * pt : widestLabel(ink, scale, format) + 5 * pt;
    const double rightRoom = secondary.empty() ? 0 : widestLabel(ink, scale2, format2) + 5 * pt;
    if (f.horizontal) f.plot = area.adjusted(catRoom + catTitleRoom, h / 2, -h, -(valRoom + titleRoom));
    else f.plot = area.adjusted(valRoom + titleRoom, h / 2, -(rightRoom > 0 ? rightRoom : h / 2), -(catRoom + catTitleRoom));
    if (f.plot.width() <= 2 * pt || f.plot.height() <= 2 * pt) return;
    f.scale = scale;
    paintPlotFill(ink, f.plot);
    if (c.valueAxis.present) paintValueAxis(ink, f, scale, format, false, c.valueAxis.majorGridlines);
    if (!secondary.empty() && c.valueAxis.present) paintValueAxis(ink, f, scale2, format2, true, false);
    // Areas behind bars, bars behind lines, as the spreadsheet layers them.
    for (ChartType kind : {ChartType::Area, ChartType::Column, ChartType::Line})
        for (const model::ChartGroup& g : c.groups) {
            const ChartType t = g.type == ChartType::Bar ? ChartType::Column : g.type;
            if (t != kind) continue;
            const Scale& s = g.secondary && !secondary.empty() ? scale2 : scale;
            if (t == ChartType::Area) {
                Frame fa = f;
                fa.edges = f.edges;
                if (!f.edges) {
                    // Beside bars the area's points sit in the slots' middles.
                    fa.plot = f.horizontal ? f.plot.adjusted(0, f.slot() / 2, 0, -f.slot() / 2) : f.plot.adjusted(f.slot() / 2, 0, -f.slot() / 2, 0);
                    fa.edges = true;
                }
                paintAreas(ink, fa, g, s);
            } else if (t == ChartType::Column) {
                paintBars(ink, f, g, s);
            } else {
                paintLines(ink, f, g, s);
            }
        }
    paintCategoryAxis(ink, f, labels, scale);
    // The axis titles: the value axis's turned up along its side.
    if (!c.valueAxis.title.isEmpty()) {
        if (f.horizontal) {
            ink.draw(QRectF(f.plot.left(), area.bottom() - h, f.plot.width(), h), Qt::AlignCenter, c.valueAxis.title);
        } else {
            ink.p.save();
            ink.p.translate(area.left(), f.plot.center().y());
            ink.p.rotate(-90);
            ink.draw(QRectF(-f.plot.height() / 2, 0, f.plot.height(), h), Qt::AlignCenter, c.valueAxis.title);
            ink.p.restore();
        }
    }
    if (!c.categoryAxis.title.isEmpty() && !f.horizontal)
        ink.draw(QRectF(f.plot.left(), area.bottom() - h, f.plot.width(), h), Qt::AlignCenter, c.categoryAxis.title);
}

}  // namespace tabulon::reports::sheet::chart
