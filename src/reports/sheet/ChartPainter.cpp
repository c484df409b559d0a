#include "reports/sheet/ChartPainter.h"

#include "host/CellDisplay.h"
#include "reports/sheet/ChartParts.h"
#include "reports/sheet/SheetPainter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tabulon::reports::sheet {

namespace chart {

namespace {

QFont chartFont(double points, double pt, bool bold) {
    QFont f(reportFamily(false));
    f.setPixelSize(std::max(1, qRound(points * pt)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double textPoints(const model::Chart& c) { return c.textPoints > 0 ? c.textPoints : c.fromBiff ? 10 : 9; }
double titlePoints(const model::Chart& c) { return c.titlePoints > 0 ? c.titlePoints : c.fromBiff ? 12 : 14; }

}  // namespace

ChartInk::ChartInk(QPainter& painter, const model::Chart& c, double unitsPerPoint, bool d1904)
    : p(painter), chart(c), pt(unitsPerPoint), date1904(d1904),
      text(chartFont(std::clamp(textPoints(c), 4.0, 40.0), unitsPerPoint, false)),
      title(chartFont(std::clamp(titlePoints(c), 4.0, 60.0), unitsPerPoint, c.titleBold)),
      textColor(c.fromBiff ? QColor(0, 0, 0) : QColor(0x59, 0x59, 0x59)),
      lineColor(c.fromBiff ? QColor(0, 0, 0) : QColor(0xBF, 0xBF, 0xBF)),
      gridColor(c.fromBiff ? QColor(0, 0, 0) : QColor(0xD9, 0xD9, 0xD9)) {}

void ChartInk::draw(const QRectF& box, int flags, const QString& s, const SheetFont& font) const {
    if (s.isEmpty()) return;
    p.setPen(textColor);
    drawText(p, font, box, flags, s);
}

QColor seriesFill(const model::ChartSeries& s, bool biff) {
    return QColor::fromRgb(s.fill.rgbOr(model::defaultSeriesColor(s.index, biff)));
}

QColor pointFill(const model::ChartSeries& s, int point, bool biff) {
    // The reader keeps them in point order.
    const auto it = std::lower_bound(s.pointFills.begin(), s.pointFills.end(), point,
                                     [](const std::pair<int, model::Color>& f, int i) { return f.first < i; });
    if (it != s.pointFills.end() && it->first == point) return QColor::fromRgb(it->second.rgbOr(model::defaultSeriesColor(point, biff)));
    return seriesFill(s, biff);
}

QColor seriesLine(const model::ChartSeries& s, bool biff) {
    return s.line.automatic ? seriesFill(s, biff) : QColor::fromRgb(s.line.rgb);
}

QString valueText(double value, const QString& format, bool date1904) {
    if (!std::isfinite(value)) return QString();
    return host::cellDisplay(QVariant(value), false, format.isEmpty() ? QStringLiteral("General") : format, date1904).text;
}

QString seriesName(const model::ChartSeries& s) {
    return s.name.isEmpty() ? QStringLiteral("系列%1").arg(s.index + 1) : s.name;
}

namespace {

// One legend entry: its text, colour and whether it shows a line.
struct LegendEntry {
    QString text;
    QColor color;
    bool line = false;
};

std::vector<LegendEntry> legendEntries(const model::Chart& c) {
    std::vector<LegendEntry> out;
    for (const model::ChartGroup& g : c.groups) {
        const bool byPoint = g.varyColors && g.series.size() == 1;
        for (const model::ChartSeries& s : g.series) {
            if (byPoint) {
                const int n = int(std::max<size_t>(s.values.size(), size_t(s.categories.size())));
                for (int i = 0; i < n && out.size() < 256; ++i)
                    out.push_back({i < s.categories.size() ? s.categories[i] : QString::number(i + 1), pointFill(s, i, c.fromBiff), false});
                continue;
            }
            const bool line = g.type == model::ChartType::Line || g.type == model::ChartType::Scatter;
            if (out.size() < 256) out.push_back({seriesName(s), line ? seriesLine(s, c.fromBiff) : seriesFill(s, c.fromBiff), line});
        }
    }
    return out;
}

// The legend at its side of area; area is what is left for the plot.
void paintLegend(ChartInk& ink, QRectF& area) {
    const model::Chart& c = ink.chart;
    if (c.legend == model::LegendPosition::None) return;
    const std::vector<LegendEntry> entries = legendEntries(c);
    if (entries.empty()) return;
    const double pt = ink.pt, line = ink.text.lineHeight(), key = line * 0.6, gap = 4 * pt;
    double widest = 0;
    for (const LegendEntry& e : entries) widest = std::max(widest, ink.text.width(e.text));
    const double entryW = key * (1.5) + gap + widest;
    const bool vertical = c.legend == model::LegendPosition::Right || c.legend == model::LegendPosition::Left ||
                          c.legend == model::LegendPosition::Corner;
    std::vector<QPointF> at;
    QRectF box;
    if (vertical) {
        const double w = std::min(entryW, area.width() * 0.4), h = std::min(line * double(entries.size()), area.height());
        const double x = c.legend == model::LegendPosition::Left ? area.left() : area.right() - w;
        const double y = c.legend == model::LegendPosition::Corner ? area.top() : area.center().y() - h / 2;
        box = QRectF(x, y, w, h);
        for (size_t i = 0; i < entries.size() && (double(i) + 1) * line <= h + 0.5; ++i) at.emplace_back(x, y + double(i) * line);
        if (c.legend == model::LegendPosition::Left) area.setLeft(area.left() + w + gap);
        else area.setRight(area.right() - w - gap);
    } else {
        double total = 0;
        for (const LegendEntry& e : entries) total += key * 1.5 + gap + ink.text.width(e.text) + 2 * gap;
        double x = area.center().x() - std::min(total, area.width()) / 2;
        const double y = c.legend == model::LegendPosition::Top ? area.top() : area.bottom() - line;
        for (const LegendEntry& e : entries) {
            const double w = key * 1.5 + gap + ink.text.width(e.text);
            if (x + w > area.right() + 0.5) break;
            at.emplace_back(x, y);
            x += w + 2 * gap;
        }
        box = QRectF(area.left(), y, area.width(), line);
        if (c.legend == model::LegendPosition::Top) area.setTop(area.top() + line + gap);
        else area.setBottom(area.bottom() - line - gap);
    }
    for (size_t i = 0; i < at.size(); ++i) {
        const LegendEntry& e = entries[i];
        const QPointF o = at[i];
        const double mid = o.y() + line / 2;
        if (e.line) {
            ink.p.setPen(QPen(e.color, 2.25 * pt * (c.fromBiff ? 0.5 : 1)));
            ink.p.drawLine(QPointF(o.x(), mid), QPointF(o.x() + key * 1.5, mid));
        } else {
            ink.p.setPen(Qt::NoPen);
            ink.p.setBrush(e.color);
            ink.p.drawRect(QRectF(o.x() + key * 0.25, mid - key / 2, key, key));
        }
        const double textX = o.x() + key * 1.5 + gap;
        ink.draw(QRectF(textX, o.y(), std::max(0.0, box.right() - textX + (vertical ? 0 : area.width())), line),
                 Qt::AlignLeft | Qt::AlignVCenter, e.text);
    }
}

// The title a chart shows: its own, else the one series' name when the
// spreadsheet makes the title itself.
QString titleOf(const model::Chart& c) {
    if (!c.title.isEmpty() || !c.autoTitle) return c.title;
    const model::ChartSeries* only = nullptr;
    for (const model::ChartGroup& g : c.groups)
        for (const model::ChartSeries& s : g.series) {
            if (only) return QString();
            only = &s;
        }
    return only && !only->name.isEmpty() ? only->name : QString();
}

bool drawnType(model::ChartType t) { return t != model::ChartType::Other; }

}  // namespace

}  // namespace chart

QString chartFrameLabel(const model::Chart* c) {
    if (!c || c->groups.empty()) return QStringLiteral("グラフ");
    for (const model::ChartGroup& g : c->groups)
        if (g.type == model::ChartType::Other && !g.series.empty())
            return QStringLiteral("グラフ（%1）").arg(g.typeName.isEmpty() ? model::chartTypeName(g.type) : g.typeName);
    return QStringLiteral("グラフ");
}

void paintChart(QPainter& p, const model::Chart& c, const QRectF& frame, double unitsPerPoint, bool date1904) {
    using namespace chart;
    if (frame.width() <= 0 || frame.height() <= 0) return;
    p.save();
    p.setClipRect(frame, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    ChartInk ink(p, c, unitsPerPoint, date1904);
    const double pt = unitsPerPoint;
    p.setPen(c.chartBorder ? QPen(ink.gridColor, 0.75 * pt) : QPen(Qt::NoPen));
    p.setBrush(QColor::fromRgb(c.chartFill.rgbOr(0xFFFFFF)));
    p.drawRect(frame.adjusted(0.375 * pt, 0.375 * pt, -0.375 * pt, -0.375 * pt));

    const bool drawn = !c.groups.empty() && std::all_of(c.groups.begin(), c.groups.end(), [](const model::ChartGroup& g) {
        return drawnType(g.type) || g.series.empty();
    });
    if (!drawn || c.empty()) {
        ink.draw(frame, Qt::AlignCenter | Qt::TextWordWrap, chartFrameLabel(&c));
        p.restore();
        return;
    }
    QRectF area = frame.adjusted(7 * pt, 5 * pt, -7 * pt, -5 * pt);
    const QString title = titleOf(c);
    if (!title.isEmpty()) {
        const TextBlock block(title, ink.title, area.width());
        const QRectF box(area.left(), area.top(), area.width(), std::min(block.height(), area.height() / 3));
        p.setPen(ink.textColor);
        block.draw(p, box, Qt::AlignHCenter | Qt::AlignTop);
        area.setTop(box.bottom() + 4 * pt);
    }
    paintLegend(ink, area);
    if (area.width() <= 4 * pt || area.height() <= 4 * pt) {
        p.restore();
        return;
    }
    const model::ChartGroup& first = *std::find_if(c.groups.begin(), c.groups.end(), [](const model::ChartGroup& g) { return !g.series.empty(); });
    if (first.type == model::ChartType::Pie || first.type == model::ChartType::Doughnut) paintPieChart(ink, first, area);
    else paintAxesChart(ink, area);
    p.restore();
}

}  // namespace tabulon::reports::sheet
