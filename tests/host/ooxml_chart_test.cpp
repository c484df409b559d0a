// Charts of Office Open XML workbooks as the reader keeps them: each chart
// type's group, series with names, category texts and the values cached in
// the chart part, colours (own, from the theme's accents, per point), the
// axes' ranges and number formats, title, legend and data labels; a chart
// frame and a chart sheet joined to their chart; real workbooks.
#include "host/Workbook.h"
#include "host/ooxml/OoxmlLoader.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/drawing/ChartPart.h"
#include "host/ooxml/package/ZipArchive.h"
#include "support/PackageWriter.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace tabulon;
using tabulon::test::Book;

namespace {

const char* const kSpace =
    "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">";

model::Chart chartOf(const QString& plotArea, const QString& rest = {}) {
    ooxml::Theme theme;
    theme.schemeColors = {{QStringLiteral("accent1"), 0x112233}, {QStringLiteral("accent2"), 0x445566},
                          {QStringLiteral("tx1"), 0x000000}};
    const QString xml = QString::fromLatin1(kSpace) + QStringLiteral("<c:chart>%1<c:plotArea>%2</c:plotArea>%3</c:chart></c:chartSpace>")
                                                          .arg(rest.section(u'|', 0, 0), plotArea, rest.section(u'|', 1));
    return ooxml::readChartXml(xml.toUtf8(), theme, false);
}

QString numCache(const QString& points, const QString& format = QStringLiteral("General")) {
    return QStringLiteral("<c:numRef><c:f>S!$B$2:$B$4</c:f><c:numCache><c:formatCode>%1</c:formatCode><c:ptCount val=\"3\"/>%2"
                          "</c:numCache></c:numRef>").arg(format, points);
}

QString strCache(const QStringList& texts) {
    QString pts;
    for (int i = 0; i < texts.size(); ++i) pts += QStringLiteral("<c:pt idx=\"%1\"><c:v>%2</c:v></c:pt>").arg(i).arg(texts[i]);
    return QStringLiteral("<c:strRef><c:f>S!$A$2</c:f><c:strCache><c:ptCount val=\"%1\"/>%2</c:strCache></c:strRef>").arg(texts.size()).arg(pts);
}

QString series(int idx, const QString& name, const QString& body) {
    return QStringLiteral("<c:ser><c:idx val=\"%1\"/><c:order val=\"%1\"/><c:tx>%2</c:tx>%3</c:ser>").arg(idx).arg(strCache({name}), body);
}

const QString kPoints = QStringLiteral("<c:pt idx=\"0\"><c:v>10</c:v></c:pt><c:pt idx=\"2\"><c:v>2.5</c:v></c:pt>");

}  // namespace

TEST(OoxmlChart, ColumnSeriesKeepTheirCachedValuesNamesAndColours) {
    const model::Chart c = chartOf(
        QStringLiteral("<c:barChart><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>") +
        series(0, QStringLiteral("売上"),
               QStringLiteral("<c:spPr><a:solidFill><a:srgbClr val=\"FF0000\"/></a:solidFill></c:spPr>"
                              "<c:cat>%1</c:cat><c:val>%2</c:val>").arg(strCache({"東", "西", "南"}), numCache(kPoints, "#,##0"))) +
        series(1, QStringLiteral("原価"), QStringLiteral("<c:val>%1</c:val>").arg(numCache(kPoints))) +
        QStringLiteral("<c:gapWidth val=\"80\"/><c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart>"
                       "<c:catAx><c:axId val=\"1\"/><c:delete val=\"0\"/></c:catAx>"
                       "<c:valAx><c:axId val=\"2\"/><c:scaling><c:max val=\"20\"/><c:min val=\"-5\"/></c:scaling>"
                       "<c:majorGridlines/><c:numFmt formatCode=\"0.0\" sourceLinked=\"0\"/><c:majorUnit val=\"5\"/></c:valAx>"));
    ASSERT_EQ(c.groups.size(), 1u);
    const model::ChartGroup& g = c.groups[0];
    EXPECT_EQ(g.type, model::ChartType::Column);
    EXPECT_EQ(g.gapWidth, 80);
    ASSERT_EQ(g.series.size(), 2u);
    const model::ChartSeries& a = g.series[0];
    EXPECT_EQ(a.name, QStringLiteral("売上"));
    EXPECT_EQ(a.categories, QStringList({"東", "西", "南"}));
    ASSERT_EQ(a.values.size(), 3u) << "ptCount gives the length, a missing point is blank";
    EXPECT_EQ(a.values[0], 10);
    EXPECT_TRUE(std::isnan(a.values[1]));
    EXPECT_EQ(a.values[2], 2.5);
    EXPECT_EQ(a.valueFormat, QStringLiteral("#,##0"));
    EXPECT_EQ(a.fill, model::Color::of(0xFF0000));
    EXPECT_EQ(g.series[1].fill, model::Color::of(0x445566)) << "the second series without a colour takes accent 2";
    EXPECT_EQ(c.valueAxis.min, -5);
    EXPECT_EQ(c.valueAxis.max, 20);
    EXPECT_EQ(c.valueAxis.majorUnit, 5);
    EXPECT_EQ(c.valueAxis.numberFormat, QStringLiteral("0.0"));
    EXPECT_TRUE(c.valueAxis.majorGridlines);
    EXPECT_TRUE(c.categoryAxis.present);
}

struct GroupCase {
    const char* what;
    const char* group;       // the plot area's group element with its series
    model::ChartType type;
    model::ChartGrouping grouping;
};

class OoxmlChartGroups : public ::testing::TestWithParam<GroupCase> {};

TEST_P(OoxmlChartGroups, EachGroupElementIsItsType) {
    const GroupCase& k = GetParam();
    const model::Chart c = chartOf(QString::fromUtf8(k.group));
    ASSERT_EQ(c.groups.size(), 1u) << k.what;
    EXPECT_EQ(c.groups[0].type, k.type) << k.what;
    EXPECT_EQ(c.groups[0].grouping, k.grouping) << k.what;
    EXPECT_EQ(c.groups[0].series.size(), 1u) << k.what;
}

INSTANTIATE_TEST_SUITE_P(
    Types, OoxmlChartGroups,
    ::testing::Values(
        GroupCase{"horizontal bars, stacked", "<c:barChart><c:barDir val=\"bar\"/><c:grouping val=\"stacked\"/><c:ser/></c:barChart>",
                  model::ChartType::Bar, model::ChartGrouping::Stacked},
        GroupCase{"3-D columns print flat", "<c:bar3DChart><c:barDir val=\"col\"/><c:ser/></c:bar3DChart>", model::ChartType::Column,
                  model::ChartGrouping::Standard},
        GroupCase{"lines, percent", "<c:lineChart><c:grouping val=\"percentStacked\"/><c:ser/></c:lineChart>", model::ChartType::Line,
                  model::ChartGrouping::PercentStacked},
        GroupCase{"areas", "<c:areaChart><c:ser/></c:areaChart>", model::ChartType::Area, model::ChartGrouping::Standard},
        GroupCase{"pie", "<c:pieChart><c:ser/></c:pieChart>", model::ChartType::Pie, model::ChartGrouping::Standard},
        GroupCase{"doughnut", "<c:doughnutChart><c:ser/><c:holeSize val=\"75\"/></c:doughnutChart>", model::ChartType::Doughnut,
                  model::ChartGrouping::Standard},
        GroupCase{"scatter", "<c:scatterChart><c:ser/></c:scatterChart>", model::ChartType::Scatter, model::ChartGrouping::Standard},
        GroupCase{"radar is another type", "<c:radarChart><c:ser/></c:radarChart>", model::ChartType::Other,
                  model::ChartGrouping::Standard}));

TEST(OoxmlChart, TitleLegendAndLabels) {
    const model::Chart c = chartOf(
        QStringLiteral("<c:pieChart><c:varyColors val=\"1\"/>") +
            series(0, QStringLiteral("S"),
                   QStringLiteral("<c:dPt><c:idx val=\"1\"/><c:spPr><a:solidFill><a:schemeClr val=\"accent1\"><a:lumMod val=\"50000\"/>"
                                  "</a:schemeClr></a:solidFill></c:spPr></c:dPt>"
                                  "<c:dLbls><c:showVal val=\"0\"/><c:showPercent val=\"1\"/><c:showCatName val=\"1\"/></c:dLbls>"
                                  "<c:val>%1</c:val>").arg(numCache(kPoints))) +
            QStringLiteral("<c:firstSliceAng val=\"90\"/></c:pieChart>"),
        QStringLiteral("<c:title><c:tx><c:rich><a:p><a:pPr><a:defRPr sz=\"1200\" b=\"0\"/></a:pPr><a:r><a:t>第1</a:t></a:r><a:r><a:t>四半期</a:t></a:r></a:p>"
                       "<a:p><a:r><a:t>東京</a:t></a:r></a:p></c:rich></c:tx></c:title>|"
                       "<c:legend><c:legendPos val=\"b\"/></c:legend>"));
    EXPECT_EQ(c.title, QStringLiteral("第1四半期\n東京"));
    EXPECT_FALSE(c.autoTitle);
    EXPECT_EQ(c.titlePoints, 12);
    EXPECT_FALSE(c.titleBold);
    EXPECT_EQ(c.legend, model::LegendPosition::Bottom);
    const model::ChartGroup& g = c.groups.at(0);
    EXPECT_EQ(g.firstSliceAngle, 90);
    const model::ChartSeries& s = g.series.at(0);
    EXPECT_TRUE(s.labels.percent && s.labels.category && !s.labels.value);
    // Every point has its colour: its own (accent 1 at half light), else the accent of its place.
    ASSERT_EQ(s.pointFills.size(), 3u);
    EXPECT_EQ(s.pointFills[0], std::make_pair(0, model::Color::of(0x112233)));
    EXPECT_EQ(s.pointFills[1], std::make_pair(1, model::Color::of(0x09111A)));
    EXPECT_EQ(s.pointFills[2].second, model::Color::of(model::defaultSeriesColor(2, false)))
        << "an accent the theme lacks is the Office one";
}

TEST(OoxmlChart, ScatterLineAndNumericCategories) {
    const model::Chart c = chartOf(
        QStringLiteral("<c:scatterChart><c:scatterStyle val=\"marker\"/>") +
        series(0, QStringLiteral("x"), QStringLiteral("<c:xVal>%1</c:xVal><c:yVal>%2</c:yVal>")
                                           .arg(numCache(QStringLiteral("<c:pt idx=\"0\"><c:v>1.5</c:v></c:pt>")), numCache(kPoints))) +
        QStringLiteral("</c:scatterChart><c:lineChart>") +
        series(1, QStringLiteral("y"), QStringLiteral("<c:marker><c:symbol val=\"none\"/></c:marker><c:smooth/>"
                                                      "<c:cat>%1</c:cat>").arg(numCache(QStringLiteral("<c:pt idx=\"0\"><c:v>45292</c:v></c:pt>"), "yyyy/m/d"))) +
        QStringLiteral("</c:lineChart>"),
        QStringLiteral("<c:autoTitleDeleted val=\"1\"/>"));
    ASSERT_EQ(c.groups.size(), 2u);
    const model::ChartSeries& x = c.groups[0].series.at(0);
    EXPECT_EQ(x.xValues.at(0), 1.5);
    EXPECT_EQ(x.values.size(), 3u);
    EXPECT_TRUE(x.noLine) << "a marker-only scatter draws no lines";
    EXPECT_EQ(x.line, model::Color::of(0x112233));
    const model::ChartSeries& y = c.groups[1].series.at(0);
    EXPECT_FALSE(y.markers);
    EXPECT_TRUE(y.smooth) << "a boolean element without val is true";
    EXPECT_EQ(y.categories.value(0), QStringLiteral("2024/1/1")) << "numeric categories in their format";
    EXPECT_FALSE(c.autoTitle);
}

TEST(OoxmlChart, DamagedOrHostilePartsKeepWhatWasRead) {
    // Cut off in the second series; an index far past the count; a fallback
    // that repeats its choice.
    const model::Chart c = chartOf(
        QStringLiteral("<c:lineChart>") +
        series(0, QStringLiteral("a"), QStringLiteral("<c:val><c:numRef><c:numCache><c:ptCount val=\"999999999\"/>"
                                                      "<c:pt idx=\"2147483647\"><c:v>1</c:v></c:pt><c:pt idx=\"1\"><c:v>x</c:v></c:pt>"
                                                      "</c:numCache></c:numRef></c:val>")) +
        QStringLiteral("<mc:AlternateContent><mc:Choice Requires=\"c14\"><c:ser/></mc:Choice><mc:Fallback><c:ser/></mc:Fallback>"
                       "</mc:AlternateContent><c:ser><c:val><c:numRef><c:numCache><c:pt idx=\"0\"><c:v>4"));
    ASSERT_EQ(c.groups.size(), 1u);
    const model::ChartGroup& g = c.groups[0];
    ASSERT_EQ(g.series.size(), 3u);
    EXPECT_LE(g.series[0].values.size(), 32000u) << "the length is capped, not taken from the file";
    EXPECT_TRUE(std::isnan(g.series[0].values.at(1))) << "a value that is no number is blank";

    // Series past the spreadsheet's 255, and counts that claim blanks no bytes pay for.
    QString many = QStringLiteral("<c:barChart>");
    for (int i = 0; i < 300; ++i)
        many += QStringLiteral("<c:ser><c:val><c:numLit><c:ptCount val=\"32000\"/></c:numLit></c:val></c:ser>");
    const model::Chart crowded = chartOf(many + QStringLiteral("</c:barChart>"));
    ASSERT_EQ(crowded.groups.size(), 1u);
    EXPECT_EQ(crowded.groups[0].series.size(), 255u);
    size_t points = 0;
    for (const model::ChartSeries& s : crowded.groups[0].series) points += s.values.size();
    EXPECT_LE(points, 70000u) << "blank points are rationed";
}

TEST(OoxmlChart, FramesAndChartSheetsPointToTheirCharts) {
    Book b;
    const QString sheet = b.sheet("S", "<sheetData/><drawing r:id=\"rD\"/>");
    b.rel(sheet, "rD", "drawing", "../drawings/drawing1.xml");
    const QString frame = QStringLiteral(
        "<xdr:twoCellAnchor><xdr:from><xdr:col>%1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from>"
        "<xdr:to><xdr:col>6</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>9</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>"
        "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"%2\" name=\"グラフ %2\"/><xdr:cNvGraphicFramePr/>"
        "</xdr:nvGraphicFramePr><xdr:xfrm/><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
        "<c:chart xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" r:id=\"%3\"/></a:graphicData></a:graphic>"
        "</xdr:graphicFrame><xdr:clientData/></xdr:twoCellAnchor>");
    b.part("xl/drawings/drawing1.xml",
           (QStringLiteral("<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
                           "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\"%1\">").arg(Book::kRel) +
            frame.arg(0).arg(2).arg("rC1") + frame.arg(1).arg(3).arg("rC1") + frame.arg(2).arg(4).arg("rMissing") +
            QStringLiteral("</xdr:wsDr>")).toUtf8());
    b.rel("xl/drawings/drawing1.xml", "rC1", "chart", "../charts/chart1.xml");
    b.part("xl/charts/chart1.xml", (QString::fromLatin1(kSpace) + QStringLiteral("<c:chart><c:plotArea><c:areaChart>") +
                                    series(0, QStringLiteral("面"), QString()) +
                                    QStringLiteral("</c:areaChart></c:plotArea></c:chart></c:chartSpace>")).toUtf8());
    const model::Book book = ooxml::loadPackage(QStringLiteral("/tmp/chart.xlsx"), ooxml::PackageBytes::of(b.writer().bytes()));
    const std::vector<model::Shape>& shapes = book.sheets.at(0).shapes;
    ASSERT_EQ(shapes.size(), 3u);
    ASSERT_EQ(book.charts.size(), 1u) << "a chart part two frames show is read once";
    EXPECT_EQ(shapes[0].chart, 0);
    EXPECT_EQ(shapes[1].chart, 0);
    EXPECT_EQ(shapes[2].chart, -1);
    EXPECT_EQ(book.charts[0].groups.at(0).series.at(0).name, QStringLiteral("面"));
}

TEST(OoxmlChartFixtures, RealWorkbooksChartsReadWithTheirCaches) {
    const model::Book doughnut = host::Workbook::load(test::fixture(QStringLiteral("ooxml/excelize/test/Book1.xlsx"))).model();
    ASSERT_EQ(doughnut.charts.size(), 2u);
    const model::ChartGroup& ring = doughnut.charts[0].groups.at(0);
    EXPECT_EQ(ring.type, model::ChartType::Doughnut);
    EXPECT_EQ(ring.series.at(0).values, (std::vector<double>{19, 24, 56, 21}));
    EXPECT_EQ(ring.series.at(0).categories.value(1), QStringLiteral("20-23 Inch"));
    const model::ChartGroup& columns = doughnut.charts[1].groups.at(0);
    EXPECT_EQ(columns.type, model::ChartType::Column);
    EXPECT_EQ(columns.series.at(0).values.at(3), 510);
    EXPECT_TRUE(columns.series.at(0).labels.value);

    const model::Book sheet = host::Workbook::load(test::fixture(QStringLiteral("ooxml/exceljs/spec/integration/data/chart-sheet.xlsx"))).model();
    const auto chartSheet = std::find_if(sheet.sheets.begin(), sheet.sheets.end(), [](const model::Sheet& s) { return s.kind == model::SheetKind::Chart; });
    ASSERT_NE(chartSheet, sheet.sheets.end());
    ASSERT_GE(chartSheet->chart, 0);
    const model::Chart& c = sheet.charts.at(size_t(chartSheet->chart));
    EXPECT_EQ(c.title, QStringLiteral("Wildlife Population"));
    EXPECT_EQ(c.legend, model::LegendPosition::Bottom);
    ASSERT_EQ(c.groups.at(0).series.size(), 3u);
    EXPECT_EQ(c.groups[0].series[1].name, QStringLiteral("Dolphins"));
    EXPECT_EQ(c.groups[0].series[1].values.at(0), 150);
}
