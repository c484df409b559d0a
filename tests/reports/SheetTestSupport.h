#pragma once
// Sheet print images of the report tests: one sheet of a loaded workbook as
// a document, a page of it painted onto a white image, where its cells are
// on that page, and raw BIFF records for what the test writer cannot say.
#include "reports/sheet/SheetDocument.h"

#include "xlswriter/XlsWriter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <gtest/gtest.h>

namespace tabulon::reports::test {

inline std::shared_ptr<sheet::SheetDocument> sheetImage(const host::Workbook& book, const QString& name,
                                                        int zoom = 100) {
    return std::make_shared<sheet::SheetDocument>(book, book.sheet(name), zoom);
}

inline QImage renderPage(ReportDocument& doc, int page, double pxPerMm,
                         QImage::Format format = QImage::Format_Grayscale8) {
    const QSizeF mm = doc.paperSizeMm();
    QImage img(int(mm.width() * pxPerMm), int(mm.height() * pxPerMm), format);
    img.setDotsPerMeterX(int(pxPerMm * 1000));
    img.setDotsPerMeterY(int(pxPerMm * 1000));
    img.fill(Qt::white);
    QPainter p(&img);
    doc.paintPageOn(p, img, page);
    return img;
}

inline bool dark(QColor c) { return qGray(c.rgb()) < 128; }

// A page in colour at 4 px/mm, measured in points from the paper's corner.
struct PrintedPage {
    static constexpr double kPxPerMm = 4;
    QImage image;
    sheet::SheetPlan plan;

    PrintedPage(sheet::SheetDocument& doc, int page)
        : image(renderPage(doc, page, kPxPerMm, QImage::Format_RGB32)), plan(doc.plan()) {}
    // The left edge of a column (a fraction goes into it) and the top of a row on the first page.
    double colX(double col) const {
        double x = plan.marginLeftPt + plan.headingWidthPt;
        for (int c = plan.range.firstCol; c < int(col); ++c) x += plan.colWidthPt[size_t(c)];
        return x + (col - int(col)) * plan.colWidthPt[size_t(int(col))];
    }
    // Only rows of the printed range (and the edge below its last row) are in the plan.
    double rowY(int row) const {
        EXPECT_LE(row - plan.range.firstRow, int(plan.rowHeightPt.size())) << "row " << row << " is not printed";
        row = std::min(row, plan.range.firstRow + int(plan.rowHeightPt.size()));
        double y = plan.marginTopPt + plan.headingHeightPt;
        for (int r = plan.range.firstRow; r < row; ++r) y += plan.rowHeight(r);
        return y;
    }
    // Pixels inside the rectangle that pass test.
    template <class Test>
    int count(double x1, double y1, double x2, double y2, Test&& test) const {
        const double k = 25.4 / 72 * kPxPerMm;
        int n = 0;
        for (int y = int(y1 * k); y < int(y2 * k); ++y)
            for (int x = int(x1 * k); x < int(x2 * k); ++x) n += test(QColor(image.pixel(x, y))) ? 1 : 0;
        return n;
    }
    int ink(double x1, double y1, double x2, double y2) const { return count(x1, y1, x2, y2, dark); }
};

// A workbook written by the test writer and loaded back.
struct PrintedWorkbook {
    QTemporaryDir dir;
    std::optional<host::Workbook> book;
    explicit PrintedWorkbook(const tabulon::xlsw::XlsWriter& w) {
        const QString path = dir.filePath(QStringLiteral("layout.xls"));
        EXPECT_TRUE(w.save(path));
        book.emplace(host::Workbook::load(path));
    }
    std::shared_ptr<sheet::SheetDocument> image(const QString& sheet, int zoom = 100) const {
        return sheetImage(*book, sheet, zoom);
    }
    PrintedPage firstPage(const QString& sheet) const { return PrintedPage(*image(sheet), 0); }
};

// Little-endian 16-bit words, and a BIFF record of a type around a body.
inline QByteArray words(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    return b;
}
inline QByteArray record(int type, const QByteArray& body) { return words({type, int(body.size())}) + body; }

// A PNG file of one colour.
inline QByteArray png(int width, int height, QColor colour) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return out;
}

}  // namespace tabulon::reports::test
