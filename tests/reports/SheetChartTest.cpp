// Charts in the sheet print: bars of each series in its colour and to its
// value, pie slices in their points' colours and to their shares, lines
// through their points, types not drawn as a labelled frame; a real chart
// sheet whose title, legend and axis labels are in the PDF's text layer.
#include "ReportTestSupport.h"
#include "SheetTestSupport.h"
#include "reports/PdfOutput.h"
#include "reports/sheet/ChartPainter.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <limits>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::reports::test;

namespace {

constexpr uint32_t kRed = 0xE00000, kBlue = 0x0000E0, kGreen = 0x00B000;

model::ChartSeries seriesOf(int index, std::vector<double> values, uint32_t rgb) {
    model::ChartSeries s;
    s.index = index;
    s.name = QStringLiteral("系列") + QString::number(index + 1);
    s.values = std::move(values);
    s.fill = s.line = model::Color::of(rgb);
    return s;
}

// The chart painted at one painter unit a point onto a white 400 x 300 image.
QImage painted(const model::Chart& chart) {
    QImage img(400, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    reports::sheet::paintChart(p, chart, QRectF(0, 0, 400, 300), 1, false);
    return img;
}

// Pixels near a colour, and the box they span.
struct Ink {
    int count = 0;
    QRect box;
};
Ink inkOf(const QImage& img, uint32_t rgb, QRect in = {}) {
    Ink ink;
    const QColor want = QColor::fromRgb(rgb);
    if (in.isNull()) in = img.rect();
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - want.red()) + std::abs(c.green() - want.green()) + std::abs(c.blue() - want.blue()) > 30) continue;
            ++ink.count;
            ink.box = ink.box.united(QRect(x, y, 1, 1));
        }
    return ink;
}

model::Chart columns(model::ChartGrouping grouping) {
    model::Chart c;
    model::ChartGroup& g = c.groups.emplace_back();
    g.grouping = grouping;
    g.series.push_back(seriesOf(0, {10, 20, 40}, kRed));
    g.series.push_back(seriesOf(1, {20, 20, 20}, kBlue));
    c.valueAxis.max = 80;
    c.valueAxis.min = 0;
    return c;
}

}  // namespace

TEST(SheetChart, ClusteredBarsStandInTheirColoursToTheirValues) {
    const QImage img = painted(columns(model::ChartGrouping::Standard));
    const Ink red = inkOf(img, kRed), blue = inkOf(img, kBlue);
    ASSERT_GT(red.count, 100);
    ASSERT_GT(blue.count, 100);
    // Red's last bar (40) is twice blue's (20), on the same baseline, to its left.
    const Ink lastRed = inkOf(img, kRed, QRect(red.box.right() - 3, 0, 4, 300));
    const Ink lastBlue = inkOf(img, kBlue, QRect(blue.box.right() - 3, 0, 4, 300));
    EXPECT_NEAR(lastRed.box.bottom(), lastBlue.box.bottom(), 1);
    EXPECT_NEAR(double(lastRed.box.height()) / lastBlue.box.height(), 2.0, 0.1);
    EXPECT_LT(red.box.left(), blue.box.left());
}

TEST(SheetChart, StackedBarsSitOnEachOther) {
    const QImage img = painted(columns(model::ChartGrouping::Stacked));
    const Ink red = inkOf(img, kRed), blue = inkOf(img, kBlue);
    // The first column: red 10 below, blue 20 on top of it, in one column.
    const Ink firstRed = inkOf(img, kRed, QRect(red.box.left(), 0, 4, 300));
    const Ink firstBlue = inkOf(img, kBlue, QRect(red.box.left(), 0, 4, 300));
    EXPECT_NEAR(firstBlue.box.bottom() + 1, firstRed.box.top(), 1.5);
    EXPECT_NEAR(double(firstBlue.box.height()) / firstRed.box.height(), 2.0, 0.15);
    EXPECT_EQ(red.box.left(), blue.box.left());
}

TEST(SheetChart, PieSlicesInTheirPointsColoursByShare) {
    model::Chart c;
    model::ChartGroup& g = c.groups.emplace_back();
    g.type = model::ChartType::Pie;
    g.varyColors = true;
    model::ChartSeries s = seriesOf(0, {3, 1}, kRed);
    s.pointFills = {{0, model::Color::of(kGreen)}, {1, model::Color::of(kBlue)}};
    g.series.push_back(s);
    const QImage img = painted(c);
    const double green = inkOf(img, kGreen).count, blue = inkOf(img, kBlue).count;
    EXPECT_NEAR(green / blue, 3.0, 0.3);
    EXPECT_EQ(inkOf(img, kRed).count, 0) << "the series colour yields to the points'";
    // The first slice starts at twelve o'clock clockwise: the blue one is left of the top.
    EXPECT_LT(inkOf(img, kBlue).box.center().x(), 200);
}

TEST(SheetChart, LinesAndAreasAndUndrawnTypes) {
    model::Chart c;
    model::ChartGroup& area = c.groups.emplace_back();
    area.type = model::ChartType::Area;
    area.series.push_back(seriesOf(0, {5, 5, 5}, kGreen));
    model::ChartGroup& line = c.groups.emplace_back();
    line.type = model::ChartType::Line;
    line.series.push_back(seriesOf(1, {1, 9, 1}, kRed));
    const QImage img = painted(c);
    const Ink red = inkOf(img, kRed), green = inkOf(img, kGreen);
    EXPECT_GT(green.count, 1000);
    EXPECT_LT(red.box.top(), green.box.top()) << "the line's peak rises above the area";
    EXPECT_GT(red.box.bottom(), green.box.top());

    model::Chart radar = c;
    radar.groups[0].type = model::ChartType::Other;
    radar.groups[0].typeName = QStringLiteral("レーダー");
    EXPECT_EQ(inkOf(painted(radar), kGreen).count, 0);
    EXPECT_EQ(reports::sheet::chartFrameLabel(&radar), QStringLiteral("グラフ（レーダー）"));
}

TEST(SheetChart, ValuesNoScaleCanHoldStillPrint) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    for (model::ChartType type : {model::ChartType::Column, model::ChartType::Line, model::ChartType::Area,
                                  model::ChartType::Pie, model::ChartType::Scatter}) {
        model::Chart c = columns(model::ChartGrouping::Stacked);
        c.groups[0].type = type;
        c.groups[0].series[0].values = {1e308, 1e308, -1e308, nan};
        c.groups[0].series[1].xValues = {nan, inf};
        c.valueAxis.min = nan;
        c.valueAxis.max = inf;
        c.valueAxis.majorUnit = 1e-300;
        c.legend = model::LegendPosition::Bottom;
        EXPECT_EQ(painted(c).width(), 400) << model::chartTypeName(type).toStdString();  // painted, not crashed
    }
}

TEST(SheetChart, AChartSheetPrintsItsTitleLegendAndAxisLabels) {
    const host::Workbook book = host::Workbook::load(test::fixture(QStringLiteral("ooxml/exceljs/spec/integration/data/chart-sheet.xlsx")));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    reports::writePdf({sheetImage(book, QStringLiteral("Chart1"))}, pdf);
    const QString text = pdfText(pdf);
    for (const char* want : {"Wildlife Population", "Bears", "Dolphins", "Whales", "Jan", "Jun", "200"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(want))) << want << " in: " << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("グラフシート")));
}
