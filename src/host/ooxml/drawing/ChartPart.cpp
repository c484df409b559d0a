#include "host/ooxml/drawing/ChartPart.h"

#include "common/Error.h"
#include "host/format/NumberFormat.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/drawing/ColorElement.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxChartBytes = 64u << 20;
// The most points of one series kept: the spreadsheet's own limit of 2007.
constexpr int kMaxPoints = 32000;
// The spreadsheet's own limits of a chart; past them a part is hostile.
constexpr size_t kMaxSeries = 255, kMaxGroups = 64;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using model::ChartType;

struct GroupKind {
    std::string_view element;
    ChartType type;
    const char16_t* name;
};

// The chart group elements of a plot area; the 3-D ones print flat.
constexpr GroupKind kGroups[] = {
    {"barChart", ChartType::Column, nullptr}, {"bar3DChart", ChartType::Column, nullptr},
    {"lineChart", ChartType::Line, nullptr}, {"line3DChart", ChartType::Line, nullptr},
    {"areaChart", ChartType::Area, nullptr}, {"area3DChart", ChartType::Area, nullptr},
    {"pieChart", ChartType::Pie, nullptr}, {"pie3DChart", ChartType::Pie, nullptr},
    {"doughnutChart", ChartType::Doughnut, nullptr}, {"scatterChart", ChartType::Scatter, nullptr},
    {"ofPieChart", ChartType::Other, u"補助円グラフ付き円"}, {"radarChart", ChartType::Other, u"レーダー"},
    {"bubbleChart", ChartType::Other, u"バブル"}, {"stockChart", ChartType::Other, u"株価"},
    {"surfaceChart", ChartType::Other, u"等高線"}, {"surface3DChart", ChartType::Other, u"3-D 等高線"},
};

const GroupKind* groupKind(std::string_view n) {
    for (const GroupKind& k : kGroups)
        if (k.element == n) return &k;
    return nullptr;
}

// Where a colour being read goes.
enum class Target { None, SeriesFill, SeriesLine, PointFill, ChartFill, ChartLine, PlotFill };

// An axis as its element gives it, joined to the chart groups by its id.
struct AxisRead {
    long long id = 0;
    bool category = false;  // catAx / dateAx
    std::string_view position;
    model::ChartAxis axis;
};

// Values of a cache by point index, kept sparse until the cache ends.
struct Cache {
    std::map<int, QString> points;
    int count = 0;
    QString formatCode;
};

class ChartReader : public XmlHandler {
public:
    ChartReader(const Theme& t, bool d1904) : theme(t), date1904(d1904) {}
    model::Chart chart;

    void start(const XmlElement& e) override {
        const std::string_view n = e.local();
        stack.emplace_back(n);
        if (skip()) return;
        if (const GroupKind* k = groupKind(n); k && parentIs("plotArea")) {
            if (chart.groups.size() < kMaxGroups) return startGroup(*k);
            group = nullptr, series = nullptr;
            return;
        }
        if ((n == "catAx" || n == "dateAx" || n == "valAx" || n == "serAx") && parentIs("plotArea")) {
            axis = nullptr;
            if (axes.size() >= kMaxGroups) return;
            axes.push_back(AxisRead{0, n != "valAx", {}, {}});
            axis = &axes.back();
            if (n == "serAx") axis->axis.present = false;
            return;
        }
        if (n == "ser" && group) {
            series = nullptr;
            if (seriesCount >= kMaxSeries) return;
            group->series.push_back({});
            series = &group->series.back();
            series->index = int(seriesCount++);
            return;
        }
        if (n == "title") {
            titleText.clear();
            paragraphs = 0;
            return;
        }
        if (n == "p" && under("title") && paragraphs++ > 0) titleText += u'\n';
        if (n == "t" || n == "v" || n == "formatCode") {
            chars.clear();
            capturing = true;
            return;
        }
        if (n == "pt") point = int(std::clamp<long long>(e.integer("idx", -1), -1, kMaxPoints));
        if (n == "ptCount" && cache) cache->count = int(std::clamp<long long>(e.integer("val"), 0, kMaxPoints));
        if (isCache(n) && series) return startCache();
        if (n == "lvl" && cache) ++levels;
        if ((n == "defRPr" || n == "rPr") && under("title") && !under("plotArea")) {
            if (e.has("sz") && chart.titlePoints == 0) chart.titlePoints = double(e.integer("sz")) / 100;
            if (e.has("b") && !titleWeightGiven) chart.titleBold = e.flag("b"), titleWeightGiven = true;
        }
        if (n == "defRPr" && depth() == 5 && under("txPr") && e.has("sz")) chart.textPoints = double(e.integer("sz")) / 100;
        if (ColorElement::isColor(n) || color.set()) {
            if (target != Target::None) color.take(e, n, theme);
            return;
        }
        value(e, n);
    }

    void end(std::string_view n) override {
        if (!skip()) finish(n);
        stack.pop_back();
    }

    void text(std::string_view t) override {
        if (capturing && !skip()) chars.append(t);
    }

    void finishChart() {
        // The first group's axis pair is the primary one: the category (or x)
        // axis first, the value axis second; other groups on other axes are
        // secondary and share the primary axes' look.
        if (!chart.groups.empty() && !groupAxes.empty()) {
            const std::vector<long long>& ids = groupAxes.front();
            for (const AxisRead& a : axes) {
                if (ids.size() > 0 && a.id == ids[0]) chart.categoryAxis = a.axis;
                if (ids.size() > 1 && a.id == ids[1]) chart.valueAxis = a.axis;
            }
            for (size_t g = 1; g < chart.groups.size() && g < groupAxes.size(); ++g)
                chart.groups[g].secondary = !groupAxes[g].empty() && groupAxes[g] != ids;
        }
        // Series with no colour of their own take the theme's accents in turn,
        // darker then lighter after the sixth.
        for (model::ChartGroup& g : chart.groups)
            for (model::ChartSeries& s : g.series) {
                const model::Color accent = model::Color::of(accentColor(s.index));
                if (s.fill.automatic) s.fill = accent;
                if (s.line.automatic && (g.type == ChartType::Line || g.type == ChartType::Scatter)) s.line = s.fill;
                // A group coloured by point gives each point the accent of its place.
                if (!g.varyColors) continue;
                const int points = int(std::max<size_t>(s.values.size(), size_t(s.categories.size())));
                std::vector<bool> own(size_t(points), false);
                for (const auto& [i, c] : s.pointFills)
                    if (i >= 0 && i < points) own[size_t(i)] = true;
                for (int i = 0; i < points; ++i)
                    if (!own[size_t(i)]) s.pointFills.emplace_back(i, model::Color::of(accentColor(i)));
                std::stable_sort(s.pointFills.begin(), s.pointFills.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            }
    }

private:
    const Theme& theme;
    bool date1904;
    std::vector<std::string> stack;
    std::string chars;  // the text element being read
    bool capturing = false;
    QString titleText;
    int paragraphs = 0;
    model::ChartGroup* group = nullptr;
    model::ChartSeries* series = nullptr;
    std::vector<AxisRead> axes;
    AxisRead* axis = nullptr;
    std::vector<std::vector<long long>> groupAxes;
    size_t seriesCount = 0;
    Cache valueCache;
    Cache* cache = nullptr;
    int levels = 0;
    size_t room = 1 << 16;       // blank points the caches may still add
    int point = -1;
    int dataPoint = -1;
    ColorElement color;
    Target target = Target::None;

    size_t depth() const { return stack.size(); }
    static bool isCache(std::string_view n) {
        return n == "strCache" || n == "numCache" || n == "strLit" || n == "numLit" || n == "multiLvlStrCache";
    }
    bool parentIs(std::string_view n) const { return stack.size() >= 2 && stack[stack.size() - 2] == n; }
    bool under(std::string_view n) const { return std::find(stack.begin(), stack.end(), n) != stack.end(); }
    // An mc:Fallback repeats its mc:Choice; extension lists hold nothing drawn.
    bool skip() const { return under("Fallback") || under("extLst"); }

    void startGroup(const GroupKind& k) {
        model::ChartGroup& g = chart.groups.emplace_back();
        g.type = k.type;
        if (k.name) g.typeName = QString::fromUtf16(k.name);
        if (k.type == ChartType::Pie || k.type == ChartType::Doughnut) g.varyColors = true;
        group = &g;  // good while the group is read: no other is added meanwhile
        series = nullptr;
        groupAxes.emplace_back();
    }

    void startCache() {
        valueCache = Cache{};
        cache = &valueCache;
        levels = 0;
    }

    static double number(const QString& t) {
        bool ok = false;
        const double v = t.trimmed().toDouble(&ok);
        return ok && std::isfinite(v) ? v : kNaN;
    }

    // The cache read, into its place in the series.
    void finishCache() {
        const Cache& c = valueCache;
        cache = nullptr;
        if (!series) return;
        int size = c.count;
        if (!c.points.empty()) size = std::max(size, c.points.rbegin()->first + 1);
        size = std::min(size, kMaxPoints);
        // Blank points the cache only counts take room the chart's present
        // points pay for: a count alone allocates nothing much.
        const int present = int(c.points.size());
        room += size_t(present) * 4;
        if (size > present) {
            const int blanks = int(std::min<size_t>(size_t(size - present), room));
            room -= size_t(blanks);
            size = present + blanks;
        }
        const bool numbers = stack.back() == "numCache" || stack.back() == "numLit";
        if (under("tx")) {
            if (!c.points.empty()) series->name = c.points.begin()->second;
        } else if (under("cat") || (under("xVal") && !numbers)) {
            series->categories = QStringList();
            for (int i = 0; i < size; ++i) {
                const auto it = c.points.find(i);
                if (it == c.points.end()) series->categories << QString();
                else if (numbers && !std::isnan(number(it->second)))
                    series->categories << host::format::formatNumber(number(it->second), c.formatCode.isEmpty() ? QStringLiteral("General") : c.formatCode, date1904).text;
                else series->categories << it->second;
            }
        } else if (under("val") || under("yVal") || under("xVal")) {
            std::vector<double>& to = under("xVal") ? series->xValues : series->values;
            to.assign(size_t(size), kNaN);
            for (const auto& [i, t] : c.points)
                if (i < size) to[size_t(i)] = number(t);
            if (!under("xVal") && !c.formatCode.isEmpty()) series->valueFormat = c.formatCode;
        }
    }

    // The chart's properties carried by a "val" attribute, or by being there.
    void value(const XmlElement& e, std::string_view n) {
        const bool on = e.flag("val", true);
        if (n == "legend" && !under("plotArea")) { chart.legend = model::LegendPosition::Right; return; }
        if (n == "legendPos") {
            const std::string_view p = e.attr("val");
            chart.legend = p == "l" ? model::LegendPosition::Left : p == "t" ? model::LegendPosition::Top
                         : p == "b" ? model::LegendPosition::Bottom : p == "tr" ? model::LegendPosition::Corner
                                    : model::LegendPosition::Right;
            return;
        }
        if (n == "autoTitleDeleted") { autoTitleDeleted = on; return; }
        if (axis && under("plotArea") && (under("catAx") || under("valAx") || under("dateAx") || under("serAx"))) return axisValue(e, n, on);
        if (under("dLbls") && !under("dLbl")) return labelValue(e, n, on);
        if (n == "idx" && parentIs("dPt")) { dataPoint = int(e.integer("val", -1)); return; }
        if (series && under("ser")) return seriesValue(e, n, on);
        if (group && !under("ser")) return groupValue(e, n, on);
        fillValue(n);
    }

    void groupValue(const XmlElement& e, std::string_view n, bool on) {
        model::ChartGroup& g = *group;
        if (n == "barDir") g.type = e.attr("val") == "bar" ? ChartType::Bar : ChartType::Column;
        else if (n == "grouping") {
            const std::string_view v = e.attr("val");
            g.grouping = v == "stacked" ? model::ChartGrouping::Stacked : v == "percentStacked" ? model::ChartGrouping::PercentStacked
                                                                                                 : model::ChartGrouping::Standard;
        } else if (n == "varyColors") g.varyColors = on;
        else if (n == "gapWidth") g.gapWidth = int(std::clamp<long long>(e.integer("val", 150), 0, 500));
        else if (n == "overlap") g.overlap = int(std::clamp<long long>(e.integer("val"), -100, 100));
        else if (n == "holeSize") g.holeSize = int(std::clamp<long long>(e.integer("val", 50), 10, 90));
        else if (n == "firstSliceAng") g.firstSliceAngle = int(std::clamp<long long>(e.integer("val"), 0, 360));
        else if (n == "axId") groupAxes.back().push_back(e.integer("val"));
        else if (n == "scatterStyle") scatterLines = e.attr("val") != "marker";
    }

    void seriesValue(const XmlElement& e, std::string_view n, bool on) {
        model::ChartSeries& s = *series;
        if (n == "idx" && parentIs("ser")) s.index = int(std::clamp<long long>(e.integer("val"), 0, 1 << 16));
        else if (n == "smooth") s.smooth = on;
        else if (n == "symbol" && parentIs("marker")) s.markers = e.attr("val") != "none";
        else if (n == "ln" && parentIs("spPr") && under("ser") && !under("marker") && !under("dPt")) {
            if (e.has("w")) s.lineWidthPt = double(e.integer("w")) / 12700;
            fillValue(n);
        } else fillValue(n);
    }

    void fillValue(std::string_view n) {
        if (!under("spPr") || n == "ln") return;
        const bool inLine = under("ln");
        const Target to = targetHere(inLine);
        if (n == "noFill") {
            if (to == Target::SeriesFill) series->noFill = true;
            else if (to == Target::SeriesLine) series->noLine = true;
            else if (to == Target::ChartLine) chart.chartBorder = false;
            else if (to == Target::PlotFill) chart.plotFill = model::Color::automaticColor();
            return;
        }
        if (n == "solidFill" || (n == "gs" && !gradientTaken)) {
            target = to;
            if (n == "gs") gradientTaken = true;
        }
    }

    // What the fill or line of the spPr being read colours.
    Target targetHere(bool inLine) const {
        const size_t sp = size_t(std::find(stack.rbegin(), stack.rend(), "spPr").base() - stack.begin()) - 1;
        if (sp == 0 || sp >= stack.size()) return Target::None;
        const std::string& owner = stack[sp - 1];
        if (owner == "ser" && series) return inLine ? Target::SeriesLine : Target::SeriesFill;
        if (owner == "dPt" && series && !inLine) return Target::PointFill;
        if (owner == "chartSpace") return inLine ? Target::ChartLine : Target::ChartFill;
        if (owner == "plotArea" && !inLine) return Target::PlotFill;
        return Target::None;
    }

    void labelValue(const XmlElement& e, std::string_view n, bool on) {
        model::DataLabels& l = series && under("ser") ? series->labels : group ? group->labels : dummyLabels;
        if (n == "showVal") l.value = on;
        else if (n == "showCatName") l.category = on;
        else if (n == "showSerName") l.series = on;
        else if (n == "showPercent") l.percent = on;
        else if (n == "delete" && on) l = model::DataLabels{};
        else if (n == "numFmt" && !e.flag("sourceLinked")) l.numberFormat = e.text("formatCode");
    }

    void axisValue(const XmlElement& e, std::string_view n, bool on) {
        model::ChartAxis& a = axis->axis;
        if (under("title")) return;
        if (n == "axId" && (parentIs("catAx") || parentIs("valAx") || parentIs("dateAx") || parentIs("serAx"))) axis->id = e.integer("val");
        else if (n == "delete") a.present = !on && !parentIs("serAx");
        else if (n == "axPos") axis->position = e.attr("val");
        else if (n == "min" || n == "max") (n == "min" ? a.min : a.max) = e.number("val");
        else if (n == "majorUnit") a.majorUnit = e.number("val") > 0 ? std::optional<double>(e.number("val")) : std::nullopt;
        else if (n == "orientation") a.reversed = e.attr("val") == "maxMin";
        else if (n == "majorGridlines") a.majorGridlines = true;
        else if (n == "numFmt") {
            // A format linked to the source takes the values' own.
            if (!e.flag("sourceLinked")) a.numberFormat = e.text("formatCode");
        }
    }

    void finish(std::string_view n) {
        if (capturing && (n == "t" || n == "v" || n == "formatCode")) {
            capturing = false;
            const QString t = qstr(chars);
            if (n == "formatCode") {
                if (cache) cache->formatCode = t;
            } else if (cache && point >= 0 && (levels <= 1)) {
                cache->points[point] = t;
            } else if (under("title")) {
                titleText += t;
            } else if (n == "v" && series && parentIs("tx")) {
                series->name = t;  // a name written in place
            }
            return;
        }
        if (n == "pt") point = -1;
        if (isCache(n) && cache) return finishCache();
        if (ColorElement::isColor(n) && color.set()) return finishColor();
        if (n == "solidFill" || n == "gs") target = Target::None;
        if (n == "gradFill") gradientTaken = false;
        if (n == "dPt") dataPoint = -1;
        if (n == "title") finishTitle();
        if (n == "ser") {
            if (group && group->type == ChartType::Scatter && !scatterLines && !series->noLine) series->noLine = true;
            series = nullptr;
        }
        if (groupKind(n) && parentIs("plotArea")) group = nullptr, scatterLines = true;
        if (n == "catAx" || n == "valAx" || n == "dateAx" || n == "serAx") {
            if (axis && axis->id == 0) axis->id = -1;
            axis = nullptr;
        }
        // A chart without a title of its own shows its series' name where the
        // title is not deleted.
        if (n == "chart" && parentIs("chartSpace") && !titleGiven && !autoTitleDeleted) chart.autoTitle = true;
    }

    void finishColor() {
        const model::Color c = model::Color::of(color.take());
        switch (target) {
        case Target::SeriesFill: series->fill = c; break;
        case Target::SeriesLine: series->line = c; break;
        case Target::PointFill:
            if (dataPoint >= 0 && series) series->pointFills.emplace_back(dataPoint, c);
            break;
        case Target::ChartFill: chart.chartFill = c; break;
        case Target::PlotFill: chart.plotFill = c; break;
        case Target::ChartLine: case Target::None: break;
        }
    }

    void finishTitle() {
        while (titleText.endsWith(u'\n')) titleText.chop(1);
        if (axis) {
            axis->axis.title = titleText;
        } else if (!under("plotArea")) {
            titleGiven = true;
            chart.title = titleText;
            chart.autoTitle = titleText.isEmpty();
        }
        titleText.clear();
    }

    // The accent the spreadsheet's chart styles give series `index`: the six
    // in turn, then each darker, then lighter.
    uint32_t accentColor(int index) const {
        static const char* const kAccents[] = {"accent1", "accent2", "accent3", "accent4", "accent5", "accent6"};
        const uint32_t base = theme.scheme(QString::fromLatin1(kAccents[index % 6]), model::defaultSeriesColor(index % 6, false));
        const int round = (index / 6) % 4;
        const double factor = round == 1 ? 0.6 : round == 2 ? 0.8 : round == 3 ? 0.5 : 1.0;
        const bool lighter = round == 2;
        uint32_t r = 0;
        for (int shift : {16, 8, 0}) {
            const double c = double((base >> shift) & 0xFF);
            const double v = lighter ? c * factor + 255 * 0.2 : c * factor;
            r |= uint32_t(std::clamp(std::lround(v), 0L, 255L)) << shift;
        }
        return r;
    }

    bool autoTitleDeleted = false, titleGiven = false, gradientTaken = false, titleWeightGiven = false;
    bool scatterLines = true;
    model::DataLabels dummyLabels;
};

}  // namespace

model::Chart readChartXml(const QByteArray& xml, const Theme& theme, bool date1904) {
    ChartReader reader(theme, date1904);
    try {
        parseXml(xml, QStringLiteral("chart"), reader);
    } catch (const Error&) {
        // What was read before the damage stays.
    }
    reader.finishChart();
    return std::move(reader.chart);
}

std::optional<model::Chart> readChartPart(const Package& package, const QString& part, const Theme& theme,
                                          bool date1904, QStringList& warnings) {
    if (!package.hasPart(part)) return std::nullopt;
    ChartReader reader(theme, date1904);
    try {
        parsePart(package, part, reader, kMaxChartBytes);
    } catch (const Error& e) {
        warnings << QStringLiteral("chart %1 read as far as it goes: %2").arg(part, e.description());
    }
    reader.finishChart();
    return std::move(reader.chart);
}

}  // namespace tabulon::ooxml
