// Print images of real workbooks: the pages of a sparse sheet, a chart sheet,
// and one page compared with a reference image kept beside the tests. After a
// deliberate change of the rendering, TABULON_UPDATE_REFERENCE=1 writes the
// reference anew (look at it before committing it).
#include "SheetTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tabulon;
using reports::test::renderPage;
using reports::test::sheetImage;

namespace {

constexpr double kPxPerMm = 2;

// Pixels whose grey differs by more than a third of the scale.
int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 85) ++n;
    return n;
}

}  // namespace

TEST(SheetFixtures, ChartSheetPrintsItsChartOnOnePage) {
    const host::Workbook book = host::Workbook::load(test::fixture("xls/poi/ex42570-20305.xls"));
    const auto doc = sheetImage(book, QStringLiteral("Chart"));
    ASSERT_EQ(doc->pagesKnown(), 1);
    EXPECT_TRUE(doc->landscape());
    constexpr double pxPerMm = 8;  // the chart area's thin edge shows
    const QImage page = renderPage(*doc, 0, pxPerMm, QImage::Format_RGB32);
    int edge = 255;
    for (int x = int(20 * pxPerMm) - 1; x <= int(20 * pxPerMm) + 4; ++x) edge = std::min(edge, qGray(page.pixel(x, page.height() / 2)));
    EXPECT_LT(edge, 128) << "the chart area's left edge";
    const QColor plot = page.pixelColor(page.width() / 2 + 3, page.height() / 2 + 3);
    EXPECT_TRUE(plot.red() > 200 && plot.green() > 200 && plot.blue() < 230) << "the plot area in its pale yellow";
}

TEST(SheetFixtures, FirstPageMatchesItsReferenceImage) {
    const host::Workbook book = host::Workbook::load(test::fixture("xls/xlrd/Formate.xls"));
    const auto doc = sheetImage(book, QStringLiteral("Formate"));
    const QImage page = renderPage(*doc, 0, kPxPerMm);
    const QString reference = QStringLiteral(TABULON_SOURCE_DIR "/tests/reports/reference/sheet_formate.png");
    if (qEnvironmentVariableIsSet("TABULON_UPDATE_REFERENCE")) {
        ASSERT_TRUE(page.save(reference));
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(expected.isNull()) << "no reference image";
    // A few glyph edges may fall differently with another build of the fonts.
    EXPECT_LT(differingPixels(page, expected), page.width() * page.height() / 500);
    QImage blank(page.size(), QImage::Format_Grayscale8);
    blank.fill(Qt::white);
    EXPECT_GT(differingPixels(blank, expected), page.width() * page.height() / 500) << "the reference shows the sheet";
}

TEST(PrintedPages, ASparseWideSheetPrintsOnlyItsFilledColumns) {
    // The used range is A1:DZ32770, but only A1:H12, DY1:DZ8 and
    // A32769:H32770 hold values. Rows 1-12 fall on the first row page and
    // rows 32769-32770 on the last; A-G and H on two column pages, DY-DZ on
    // a third: three pages across the top, two across the bottom.
    const host::Workbook book = host::Workbook::load(test::fixture("xls/poi/SharedFormulaTest.xls"));
    const auto doc = sheetImage(book, book.sheet(1).name());
    ASSERT_GT(doc->plan().pageCount(), 10000);
    EXPECT_EQ(doc->pagesKnown(), 3 + 2);
}
