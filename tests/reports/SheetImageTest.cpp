// The print image of crafted sheets: what lands where on the page.
#include "SheetTestSupport.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <optional>
#include <gtest/gtest.h>

using namespace tabulon;
using reports::sheet::SheetDocument;

namespace {

constexpr double kPxPerMm = 4;

using Printed = reports::test::PrintedWorkbook;

QImage render(reports::ReportDocument& doc, int page) { return reports::test::renderPage(doc, page, kPxPerMm); }

// Dark pixels inside a rectangle given in points from the paper's corner.
int inkIn(const QImage& img, double x1, double y1, double x2, double y2) {
    const double k = 25.4 / 72 * kPxPerMm;
    int dark = 0;
    for (int y = int(y1 * k) + 2; y < int(y2 * k) - 2; ++y)
        for (int x = int(x1 * k) + 2; x < int(x2 * k) - 2; ++x)
            if (qGray(img.pixel(x, y)) < 128) ++dark;
    return dark;
}

}  // namespace

TEST(SheetImage, TextSpillsIntoEmptyNeighboursOnly) {
    xlsw::XlsWriter w;
    w.addSheet(QStringLiteral("表"))
        .text(0, 0, QStringLiteral("とても長い見出しの文字列です"))
        .text(1, 0, QStringLiteral("とても長い見出しの文字列です"))
        .number(1, 1, 5);
    const Printed printed(w);
    const auto doc = printed.image(QStringLiteral("表"), 100);
    ASSERT_EQ(doc->pagesKnown(), 1);
    const QImage img = render(*doc, 0);
    // Margins 0.75 in and 1 in; row headings 28 pt, column headings and
    // rows 13.5 pt, columns 54 pt. Column B of row 1, then of row 2 left of
    // its number.
    const double bLeft = 54 + 28 + 54, top = 72 + 13.5;
    EXPECT_GT(inkIn(img, bLeft, top, bLeft + 54, top + 13.5), 20) << "row 1 spills into the empty B1";
    EXPECT_EQ(inkIn(img, bLeft, top + 13.5, bLeft + 30, top + 27), 0) << "row 2 stops at its neighbour B2";
}

TEST(SheetImage, HiddenSheetsPrintAndZoomChangesThePages) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("隠し"));
    s.visibility = 1;
    for (int r = 0; r < 120; ++r) s.number(r, 0, r);
    const Printed printed(w);
    const auto at100 = printed.image(QStringLiteral("隠し"), 100);
    const auto at40 = printed.image(QStringLiteral("隠し"), 40);
    EXPECT_EQ(at100->pagesKnown(), 3);
    EXPECT_EQ(at40->pagesKnown(), 1);
    EXPECT_GT(inkIn(render(*at40, 0), 54, 72, 200, 200), 0);
}

TEST(SheetImage, ManualBreaksAndMergedAreas) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("改ページ"));
    for (int r = 0; r < 10; ++r) s.number(r, 0, r);
    s.text(0, 1, QStringLiteral("結合"));
    // HorizontalPageBreaks at row 5 (0-based 4); MergeCells B1:D2.
    const auto rec = [](int type, std::vector<int> words) {
        QByteArray b;
        for (int v : words) b.append(char(v & 0xFF)).append(char(v >> 8));
        QByteArray r;
        r.append(char(type & 0xFF)).append(char(type >> 8)).append(char(b.size())).append('\0');
        return r + b;
    };
    s.extraRecords = rec(0x001B, {1, 4, 0, 255}) + rec(0x00E5, {1, 0, 1, 1, 3});
    const Printed printed(w);
    const auto doc = printed.image(QStringLiteral("改ページ"), 100);
    EXPECT_EQ(doc->pagesKnown(), 2);
    // Merged B1:D2 with gridlines off: the text sits left in B1:D2 bottom.
    const QImage img = render(*doc, 0);
    const double bLeft = 54 + 28 + 54, top = 72 + 13.5;
    EXPECT_GT(inkIn(img, bLeft, top + 13.5, bLeft + 40, top + 27), 10) << "merged text at the area's bottom";
}
