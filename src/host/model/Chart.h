#pragma once
// A chart as its print image needs it, read once with the workbook from the
// chart's own records: its series groups (one chart type each), every
// series with the values the file caches beside the cells they come from,
// the title, the two axes and the legend. Nothing is recalculated from the
// cells: a chart prints what the spreadsheet last saved.
#include "host/model/Color.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tabulon::model {

enum class ChartType { Column, Bar, Line, Area, Pie, Doughnut, Scatter, Other };

// How the series of a column, bar, line or area group stand to each other.
enum class ChartGrouping { Standard, Stacked, PercentStacked };

enum class LegendPosition { None, Right, Left, Top, Bottom, Corner };

// What the data labels of a series show; none of it by default.
struct DataLabels {
    bool value = false, category = false, series = false, percent = false;
    QString numberFormat;               // empty: the values' own format
    bool any() const { return value || category || series || percent; }
};

struct ChartSeries {
    QString name;                       // empty: "系列n" is shown
    QStringList categories;             // the category texts; empty: 1, 2, 3, ...
    std::vector<double> values;         // cached values; NaN for a blank point
    std::vector<double> xValues;        // scatter: the cached x values; empty: 1, 2, 3, ...
    QString valueFormat;                // the values' number format as the cache gives it; empty: General
    Color fill;                         // automatic: the spreadsheet's default colour for its index
    Color line;                         // automatic: as the fill for lines, none for areas and bars
    bool noFill = false, noLine = false;
    double lineWidthPt = 0;             // 0: the default width
    bool markers = true;                // line and scatter: points marked
    bool smooth = false;
    // Points in their own colours, by point number, in point order: those the
    // file colours, and in a group coloured by point every other point too.
    std::vector<std::pair<int, Color>> pointFills;
    DataLabels labels;
    int index = 0;                      // its number in the chart, which picks the default colour
};

struct ChartGroup {
    ChartType type = ChartType::Column;
    QString typeName;                   // Other: what the chart type is called ("レーダー")
    ChartGrouping grouping = ChartGrouping::Standard;
    bool varyColors = false;            // each point in its own colour (pie charts)
    bool secondary = false;             // plotted against the secondary axes
    int gapWidth = 150;                 // bars: the gap between categories, percent of a bar
    int overlap = 0;                    // bars: -100..100, percent of a bar
    int holeSize = 50;                  // doughnut: percent of the radius
    int firstSliceAngle = 0;            // pie: degrees clockwise from the top
    DataLabels labels;                  // the group's labels, for series that give none
    std::vector<ChartSeries> series;
};

struct ChartAxis {
    bool present = true;                // shown (false when deleted)
    std::optional<double> min, max, majorUnit;
    QString numberFormat;               // empty: the first series' value format, else General
    bool majorGridlines = false;
    QString title;
    bool reversed = false;
};

struct Chart {
    QString title;                      // empty: none, unless autoTitle
    bool autoTitle = false;             // a single series chart shows the series name as its title
    std::vector<ChartGroup> groups;
    ChartAxis categoryAxis, valueAxis;  // for a scatter chart the x and y value axes
    LegendPosition legend = LegendPosition::None;
    Color chartFill = Color::of(0xFFFFFF);
    Color plotFill = Color::automaticColor();  // automatic: none
    bool chartBorder = true;
    double titlePoints = 0;             // the title's size; 0: the default
    bool titleBold = true;
    double textPoints = 0;              // the size of the other texts; 0: the default
    bool fromBiff = false;              // the .xls colours and labels (the 97-2003 look)

    bool empty() const {
        for (const ChartGroup& g : groups)
            if (!g.series.empty()) return false;
        return true;
    }
};

// The colour the spreadsheet gives series `index` (or pie slice) that
// names none: the six theme accents and their shades for Office Open XML,
// the palette's chart colours for .xls.
uint32_t defaultSeriesColor(int index, bool biff);

// The Japanese name of a chart type the print image does not draw.
QString chartTypeName(ChartType type);

}  // namespace tabulon::model
