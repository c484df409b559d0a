// The chart substream of BIFF8 (MS-XLS 2.1.7.20.1, the CHARTSHEETCONTENT
// and CHARTSHEET rules): its blocks of Begin/End nested records into the
// model's chart. The series' values and category texts come from the
// SERIESDATA caches at the end of the substream (SIIndex then Number and
// Label records: row = point, column = series).
#include "host/format/NumberFormat.h"
#include "host/xls/Readers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tabulon::xls {

namespace {

namespace ct {
constexpr uint16_t Chart = 0x1002, Series = 0x1003, DataFormat = 0x1006, LineFormat = 0x1007, MarkerFormat = 0x1009,
                   AreaFormat = 0x100A, AttachedLabel = 0x100C, SeriesText = 0x100D, ChartFormat = 0x1014, Legend = 0x1015,
                   Bar = 0x1017, Line = 0x1018, Pie = 0x1019, Area = 0x101A, Scatter = 0x101B, Axis = 0x101D,
                   ValueRange = 0x101F, AxisLineFormat = 0x1021, Text = 0x1025, ObjectLink = 0x1027, Frame = 0x1032,
                   Begin = 0x1033, End = 0x1034, PlotArea = 0x1035, Radar = 0x103E, Surf = 0x103F, RadarArea = 0x1040,
                   AxisParent = 0x1041, SerToCrt = 0x1045, BRAI = 0x1051, IFmtRecord = 0x104E, BopPop = 0x1061, SIIndex = 0x1065;
}

constexpr int kMaxPoints = 32000;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// LongRGB, MS-XLS 2.5.178: red, green, blue, reserved.
model::Color longRgb(ByteCursor& c) {
    const uint32_t r = c.u8(), g = c.u8(), b = c.u8();
    c.skip(1);
    return model::Color::of((r << 16) | (g << 8) | b);
}

class ChartBuilder {
public:
    explicit ChartBuilder(const Globals& g) : book(g) { chart.fromBiff = true; }
    model::Chart chart;

    void add(const Record& rec) {
        ByteCursor c = rec.cursor();
        if (rec.type == ct::Begin) {
            blocks.push_back(last);
            return;
        }
        if (rec.type == ct::End) {
            if (!blocks.empty()) endBlock(blocks.back());
            if (!blocks.empty()) blocks.pop_back();
            return;
        }
        last = rec.type;
        switch (rec.type) {
        case ct::Series: startSeries(); break;
        case ct::SeriesText: seriesText(rec, c); break;
        case ct::SerToCrt: if (series >= 0) groupOf[size_t(series)] = c.u16(); break;  // SerToCrt, MS-XLS 2.4.256
        case ct::DataFormat: dataFormat(c); break;
        case ct::LineFormat: lineFormat(c); break;
        case ct::AreaFormat: areaFormat(c); break;
        case ct::MarkerFormat: markerFormat(c); break;
        case ct::AttachedLabel: attachedLabel(c); break;
        case ct::AxisParent: secondaryAxes = c.u16() == 1; break;  // AxisParent, MS-XLS 2.4.12
        case ct::ChartFormat: chartFormat(c); break;
        case ct::Bar: case ct::Line: case ct::Pie: case ct::Area: case ct::Scatter: case ct::Radar: case ct::Surf:
        case ct::RadarArea: case ct::BopPop: groupType(rec.type, c); break;
        case ct::Legend: legend(c); break;
        case ct::Axis: axis(c); break;
        case ct::ValueRange: valueRange(c); break;
        case ct::IFmtRecord: axisFormat(c); break;
        case ct::AxisLineFormat: if (axisNow && c.u16() == 1) axisNow->majorGridlines = true; break;
        case ct::ObjectLink: textLink = c.u16(); break;  // ObjectLink, MS-XLS 2.4.181
        case ct::SIIndex: cacheKind = c.u16(); break;
        case ct::BRAI: reference(c); break;
        case rt::Number: cached(c, true, rec); break;
        case rt::Label: cached(c, false, rec); break;
        default: break;
        }
    }

    model::Chart finish() {
        // Each series goes to the chart group its SerToCrt names.
        for (size_t i = 0; i < seriesList.size(); ++i) {
            const size_t g = groupOf[i] < chart.groups.size() ? groupOf[i] : 0;
            if (chart.groups.empty()) break;
            chart.groups[g].series.push_back(std::move(seriesList[i]));
        }
        // Numbers as categories show in the category axis's format where it has one.
        const QString& format = chart.categoryAxis.numberFormat;
        if (!format.isEmpty() && format.compare(QStringLiteral("General"), Qt::CaseInsensitive) != 0)
            for (model::ChartGroup& g : chart.groups)
                for (model::ChartSeries& s : g.series)
                    for (size_t i = 0; i < s.xValues.size() && i < size_t(s.categories.size()); ++i)
                        if (std::isfinite(s.xValues[i]))
                            s.categories[qsizetype(i)] = host::format::formatNumber(s.xValues[i], format, book.date1904).text;
        colourChartPoints(chart);
        return std::move(chart);
    }

private:
    const Globals& book;
    std::vector<uint16_t> blocks;     // the record each open Begin follows
    uint16_t last = 0;
    std::vector<model::ChartSeries> seriesList;
    std::vector<size_t> groupOf;
    int series = -1;                  // the series whose block is open
    int formatSeries = -1, formatPoint = -1;  // the DataFormat block's series and point (-1: all)
    bool secondaryAxes = false;
    model::ChartAxis* axisNow = nullptr;
    int valueAxes = 0;
    bool sawCategoryAxis = false;
    uint16_t textLink = 0;
    QString text;
    uint16_t cacheKind = 0;
    size_t room = 4096;               // the points the caches may still add beyond those present
    bool frameOfPlot = false;

    bool inside(uint16_t type) const { return std::find(blocks.begin(), blocks.end(), type) != blocks.end(); }

    void startSeries() {  // Series, MS-XLS 2.4.252
        if (seriesList.size() >= 255) return;
        const int index = int(seriesList.size());
        seriesList.emplace_back().index = index;
        groupOf.push_back(0);
        series = int(seriesList.size() - 1);
    }

    void seriesText(const Record& rec, ByteCursor& c) {  // SeriesText, MS-XLS 2.4.254
        c.skip(2);
        const QString t = readUnicodeString8(rec, c);
        if (inside(ct::Text)) text = t;
        else if (series >= 0 && inside(ct::Series)) seriesList[size_t(series)].name = t;
    }

    model::ChartSeries* formatted() {
        return formatSeries >= 0 && size_t(formatSeries) < seriesList.size() ? &seriesList[size_t(formatSeries)] : nullptr;
    }

    void dataFormat(ByteCursor& c) {  // DataFormat, MS-XLS 2.4.74
        const uint16_t xi = c.u16(), yi = c.u16();
        formatPoint = xi == 0xFFFF ? -1 : int(xi);
        formatSeries = inside(ct::Series) ? int(yi) : -1;
    }

    void lineFormat(ByteCursor& c) {  // LineFormat, MS-XLS 2.4.156
        const model::Color rgb = longRgb(c);
        const uint16_t lns = c.u16();
        const int16_t we = c.i16();
        const uint16_t flags = c.u16();
        if (blocks.empty()) return;
        if (blocks.back() == ct::DataFormat) {
            model::ChartSeries* s = formatted();
            if (!s || formatPoint >= 0) return;
            if (lns == 5) s->noLine = true;
            else if (!(flags & 1)) s->line = rgb;
            s->lineWidthPt = we == -1 ? 0.25 : we == 0 ? 0.75 : we == 1 ? 1.5 : 2.25;
        } else if (blocks.back() == ct::Frame && !frameOfPlot && lns == 5) {
            chart.chartBorder = false;
        }
    }

    void areaFormat(ByteCursor& c) {  // AreaFormat, MS-XLS 2.4.3
        const model::Color fore = longRgb(c);
        c.skip(4);
        const uint16_t fls = c.u16(), flags = c.u16();
        if (blocks.empty()) return;
        if (blocks.back() == ct::DataFormat) {
            model::ChartSeries* s = formatted();
            if (!s || (flags & 1)) return;
            if (formatPoint >= 0) s->pointFills.emplace_back(formatPoint, fls == 0 ? model::Color::of(0xFFFFFF) : fore);
            else if (fls == 0) s->noFill = true;
            else s->fill = fore;
        } else if (blocks.back() == ct::Frame && !(flags & 1)) {
            if (frameOfPlot) chart.plotFill = fls == 0 ? model::Color::automaticColor() : fore;
            else chart.chartFill = fls == 0 ? model::Color::of(0xFFFFFF) : fore;
        } else if (blocks.back() == ct::Frame && frameOfPlot) {
            chart.plotFill = model::Color::of(0xC0C0C0);  // the automatic plot area of the 97-2003 charts
        }
    }

    void markerFormat(ByteCursor& c) {  // MarkerFormat, MS-XLS 2.4.160
        c.skip(8);
        const uint16_t imk = c.u16();
        model::ChartSeries* s = formatted();
        if (s && formatPoint < 0 && !blocks.empty() && blocks.back() == ct::DataFormat) s->markers = imk != 0;
    }

    void attachedLabel(ByteCursor& c) {  // AttachedLabel, MS-XLS 2.4.5
        const uint16_t f = c.u16();
        model::ChartSeries* s = formatted();
        if (!s || formatPoint >= 0) return;
        s->labels.value = f & 0x01;
        s->labels.percent = f & 0x02;
        s->labels.category = f & 0x10;
        s->labels.series = f & 0x40;
    }

    void chartFormat(ByteCursor& c) {  // ChartFormat, MS-XLS 2.4.42
        c.skip(16);
        const uint16_t flags = c.u16();
        model::ChartGroup& g = chart.groups.emplace_back();
        g.varyColors = flags & 1;
        g.secondary = secondaryAxes;
    }

    void groupType(uint16_t type, ByteCursor& c) {
        if (chart.groups.empty()) return;
        model::ChartGroup& g = chart.groups.back();
        switch (type) {
        case ct::Bar: {  // Bar, MS-XLS 2.4.15
            g.overlap = std::clamp<int>(c.i16(), -100, 100);
            g.gapWidth = std::clamp<int>(c.u16(), 0, 500);
            const uint16_t f = c.u16();
            g.type = f & 1 ? model::ChartType::Bar : model::ChartType::Column;
            g.grouping = f & 4 ? model::ChartGrouping::PercentStacked : f & 2 ? model::ChartGrouping::Stacked : model::ChartGrouping::Standard;
            break;
        }
        case ct::Line: case ct::Area: {  // Line 2.4.155, Area 2.4.2
            const uint16_t f = c.u16();
            g.type = type == ct::Line ? model::ChartType::Line : model::ChartType::Area;
            g.grouping = f & 2 ? model::ChartGrouping::PercentStacked : f & 1 ? model::ChartGrouping::Stacked : model::ChartGrouping::Standard;
            break;
        }
        case ct::Pie: {  // Pie, MS-XLS 2.4.196
            g.firstSliceAngle = std::clamp<int>(c.u16(), 0, 360);
            const uint16_t donut = c.u16();
            g.type = donut > 0 ? model::ChartType::Doughnut : model::ChartType::Pie;
            g.holeSize = std::clamp<int>(donut, 10, 90);
            g.varyColors = true;
            break;
        }
        case ct::Scatter: {  // Scatter, MS-XLS 2.4.243: bubbles are another type
            c.skip(4);
            const bool bubbles = c.u16() & 1;
            g.type = bubbles ? model::ChartType::Other : model::ChartType::Scatter;
            if (bubbles) g.typeName = QStringLiteral("バブル");
            break;
        }
        default:
            g.type = model::ChartType::Other;
            g.typeName = type == ct::BopPop ? QStringLiteral("補助円グラフ付き円") : type == ct::Surf ? QStringLiteral("等高線")
                                                                                                    : QStringLiteral("レーダー");
        }
    }

    void legend(ByteCursor& c) {  // Legend, MS-XLS 2.4.152
        c.skip(16);
        const uint8_t at = c.u8();
        chart.legend = at == 0 ? model::LegendPosition::Bottom : at == 1 ? model::LegendPosition::Corner
                     : at == 2 ? model::LegendPosition::Top : at == 4 ? model::LegendPosition::Left : model::LegendPosition::Right;
    }

    void axis(ByteCursor& c) {  // Axis, MS-XLS 2.4.11: the primary axes only
        const uint16_t type = c.u16();
        axisNow = nullptr;
        if (secondaryAxes || type > 1) return;
        if (type == 0) {
            sawCategoryAxis = true;
            axisNow = &chart.categoryAxis;
            return;
        }
        // A scatter chart's axes are both value axes, the x axis first.
        axisNow = !sawCategoryAxis && valueAxes++ == 0 ? &chart.categoryAxis : &chart.valueAxis;
    }

    void valueRange(ByteCursor& c) {  // ValueRange, MS-XLS 2.4.341
        const double min = c.f64(), max = c.f64(), major = c.f64();
        c.skip(16);
        const uint16_t f = c.u16();
        if (!axisNow) return;
        if (!(f & 0x01) && std::isfinite(min)) axisNow->min = min;
        if (!(f & 0x02) && std::isfinite(max)) axisNow->max = max;
        if (!(f & 0x04) && std::isfinite(major) && major > 0) axisNow->majorUnit = major;
        axisNow->reversed = f & 0x40;
    }

    QString formatCode(int ifmt) const {
        const auto it = book.formatCodes.find(ifmt);
        const QString code = it != book.formatCodes.end() ? it->second : host::format::builtinFormatCode(ifmt);
        return code.isEmpty() ? QStringLiteral("General") : code;
    }
    // The number format of a cached value's cell format.
    QString formatOf(int ixfe) const {
        return ixfe >= 0 && size_t(ixfe) < book.xfs.size() ? formatCode(book.xfs[size_t(ixfe)].format) : QStringLiteral("General");
    }

    void axisFormat(ByteCursor& c) {  // IFmtRecord, MS-XLS 2.4.142
        const int ifmt = c.u16();
        if (axisNow) axisNow->numberFormat = formatCode(ifmt);
    }

    void cached(ByteCursor& c, bool number, const Record& rec) {  // Number 2.4.180, Label 2.4.148
        const uint16_t row = c.u16(), col = c.u16(), ixfe = c.u16();
        if (col >= seriesList.size() || row >= kMaxPoints || (cacheKind != 1 && cacheKind != 2)) return;
        // Room for points grows with the records present, not with the row numbers they claim.
        room += 64;
        const size_t needed = size_t(row) + 1;
        const size_t have = std::max(seriesList[col].values.size(), size_t(seriesList[col].categories.size()));
        if (needed > have && needed - have > room) return;
        if (needed > have) room -= needed - have;
        model::ChartSeries& s = seriesList[col];
        if (cacheKind == 1) {
            if (s.values.size() <= row) s.values.resize(size_t(row) + 1, kNaN);
            if (number) s.values[row] = c.f64();
            if (s.valueFormat.isEmpty()) s.valueFormat = formatOf(ixfe);
            return;
        }
        if (number) {
            const double v = c.f64();
            if (s.xValues.size() <= row) s.xValues.resize(size_t(row) + 1, kNaN);
            s.xValues[row] = v;
            while (s.categories.size() <= row) s.categories << QString();
            s.categories[row] = host::format::formatNumber(v, formatOf(ixfe), book.date1904).text;
        } else {
            while (s.categories.size() <= row) s.categories << QString();
            s.categories[row] = readUnicodeString16(rec, c);
        }
    }

    // BRAI, MS-XLS 2.4.29: a series part linked to cells (rt 2) through a
    // PtgRef3d or PtgArea3d.
    void reference(ByteCursor& c) {
        const uint8_t id = c.u8(), rt = c.u8();
        c.skip(4);
        const uint16_t cce = c.u16();
        if (rt != 2 || id > 2 || series < 0 || cce < 7) return;
        const uint8_t ptg = c.u8() & 0x1F;
        ChartSource src;
        src.series = size_t(series);
        src.part = id;
        src.xti = c.u16();
        if (ptg == 0x1A) {  // PtgRef3d
            src.area.firstRow = src.area.lastRow = c.u16();
            src.area.firstCol = src.area.lastCol = c.u16() & 0x3FFF;
        } else if (ptg == 0x1B && cce >= 11) {  // PtgArea3d
            src.area.firstRow = c.u16();
            src.area.lastRow = c.u16();
            src.area.firstCol = c.u16() & 0x3FFF;
            src.area.lastCol = c.u16() & 0x3FFF;
        } else {
            return;
        }
        sources.push_back(src);
    }

public:
    std::vector<ChartSource> sources;

private:
    void endBlock(uint16_t opener) {
        if (opener == ct::Series) series = -1;
        else if (opener == ct::DataFormat) formatSeries = -1, formatPoint = -1;
        else if (opener == ct::Axis) axisNow = nullptr;
        else if (opener == ct::AxisParent) secondaryAxes = false;
        else if (opener == ct::Text) {
            if (textLink == 1) chart.title = text;
            else if (textLink == 2) chart.valueAxis.title = text;
            else if (textLink == 3) chart.categoryAxis.title = text;
            textLink = 0;
            text.clear();
        }
    }

public:
    void plotFrame(bool on) { frameOfPlot = on; }
};

}  // namespace

void colourChartPoints(model::Chart& chart) {
    for (model::ChartGroup& g : chart.groups) {
        if (!g.varyColors) continue;
        for (model::ChartSeries& s : g.series) {
            const int points = int(std::max<size_t>(s.values.size(), size_t(s.categories.size())));
            std::vector<bool> own(size_t(points), false);
            for (const auto& [i, c] : s.pointFills)
                if (i >= 0 && i < points) own[size_t(i)] = true;
            for (int i = 0; i < points; ++i)
                if (!own[size_t(i)]) s.pointFills.emplace_back(i, model::Color::of(model::defaultSeriesColor(i, true)));
            std::stable_sort(s.pointFills.begin(), s.pointFills.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        }
    }
}

void fillChartsFromCells(model::Book& book, const Globals& g, const std::vector<ChartSource>& sources, size_t first) {
    // The cells a sheet's charts may take: many references to one large
    // range would otherwise copy it again and again.
    long long budget = 1 << 20;
    for (const ChartSource& src : sources) {
        if (first + src.chart >= book.charts.size() || src.xti < 0 || size_t(src.xti) >= g.xti.size()) continue;
        const int tab = g.xti[size_t(src.xti)].firstTab;
        const int sheetIndex = tab >= 0 && size_t(tab) < g.boundSheetToSheet.size() ? g.boundSheetToSheet[size_t(tab)] : -1;
        if (sheetIndex < 0 || size_t(sheetIndex) >= book.sheets.size()) continue;
        const model::Sheet& sheet = book.sheets[size_t(sheetIndex)];
        model::Chart& chart = book.charts[first + src.chart];
        model::ChartSeries* series = nullptr;
        for (model::ChartGroup& grp : chart.groups)
            for (model::ChartSeries& s : grp.series)
                if (size_t(s.index) == src.series) series = &s;
        // A file that keeps its cache is read from it.
        if (!series || (src.part == 1 && !series->values.empty()) || (src.part == 2 && !series->categories.isEmpty()) ||
            (src.part == 0 && !series->name.isEmpty()))
            continue;
        const model::Area& a = src.area;
        const long long count = (long long)(a.lastRow - a.firstRow + 1) * (a.lastCol - a.firstCol + 1);
        if (a.lastRow < a.firstRow || a.lastCol < a.firstCol || count > kMaxPoints || (budget -= count) < 0) continue;
        for (int r = a.firstRow; r <= a.lastRow; ++r)
            for (int col = a.firstCol; col <= a.lastCol; ++col) {
                const model::CellData* cell = model::findCell(sheet, r, col);
                const bool number = cell && cell->type == model::CellType::Number;
                const QString text = !cell ? QString()
                                   : number ? host::format::formatNumber(cell->number, book.formats.cellFormat(sheet.layout.cellFormat(r, col)).numberFormat, book.formats.date1904).text
                                            : model::cellText(book, sheet, *cell);
                if (src.part == 0) series->name += (series->name.isEmpty() ? QString() : QStringLiteral(" ")) + text;
                else if (src.part == 1) series->values.push_back(number ? cell->number : kNaN);
                else series->categories << text;
            }
        // Blank cells past the last filled one are no points.
        while (!series->values.empty() && std::isnan(series->values.back())) series->values.pop_back();
        while (!series->categories.isEmpty() && series->categories.back().isEmpty()) series->categories.removeLast();
    }
    for (size_t i = first; i < book.charts.size(); ++i) colourChartPoints(book.charts[i]);
}

model::Chart readChartRecords(const std::vector<Record>& records, const Globals& book, WarningLog& log,
                              std::vector<ChartSource>& sources, size_t chart) {
    ChartBuilder b(book);
    uint16_t previous = 0;
    for (const Record& rec : records) {
        // A Frame right after PlotArea is the plot area's; any other the chart area's.
        if (rec.type == ct::Frame) b.plotFrame(previous == ct::PlotArea);
        try {
            b.add(rec);
        } catch (const FormatError& e) {
            log.addCapped(QStringLiteral("chart record 0x%1 at %2 skipped: %3").arg(rec.type, 4, 16, QLatin1Char('0')).arg(rec.offset).arg(e.reason()));
        }
        previous = rec.type;
    }
    for (ChartSource& src : b.sources) {
        src.chart = chart;
        sources.push_back(src);
    }
    return b.finish();
}

}  // namespace tabulon::xls
