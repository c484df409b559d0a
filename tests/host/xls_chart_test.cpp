// Charts of .xls workbooks as the reader keeps them: the chart substream
// after a chart object, its group's type, the series values and category
// texts from the caches at its end, the default colours and the legend.
#include "host/Workbook.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tabulon;

TEST(XlsChart, AnEmbeddedChartReadsItsSeriesFromTheCache) {
    const model::Book book = host::Workbook::load(test::fixture(QStringLiteral("xls/poi/SimpleChart.xls"))).model();
    ASSERT_EQ(book.charts.size(), 1u);
    int shown = 0;
    for (const model::Sheet& s : book.sheets)
        for (const model::Shape& shape : s.shapes)
            if (shape.kind == model::ShapeKind::Chart) {
                EXPECT_EQ(shape.chart, 0) << "the chart object shows the chart after it";
                ++shown;
            }
    EXPECT_EQ(shown, 1);
    const model::Chart& c = book.charts[0];
    EXPECT_TRUE(c.fromBiff);
    ASSERT_EQ(c.groups.size(), 1u);
    EXPECT_EQ(c.groups[0].type, model::ChartType::Column);
    ASSERT_EQ(c.groups[0].series.size(), 1u);
    const model::ChartSeries& s = c.groups[0].series[0];
    EXPECT_EQ(s.values, (std::vector<double>{3, 4, 5, 6, 8, 9, 2, 4, 5, 8, 5, 4, 2, 8, 8}));
    ASSERT_EQ(s.categories.size(), 15);
    EXPECT_TRUE(s.categories[0].contains(QStringLiteral("2000"))) << "dates in their cell's format: " << s.categories[0].toStdString();
    EXPECT_EQ(s.fill.rgbOr(model::defaultSeriesColor(0, true)), 0x9999FFu);
    EXPECT_EQ(c.legend, model::LegendPosition::Right);
}
