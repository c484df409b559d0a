#pragma once
// Sheet print images of the report tests: one sheet of a loaded workbook as
// a document, and a page of it painted onto a grey image.
#include "reports/sheet/SheetDocument.h"

#include "xlswriter/XlsWriter.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <optional>
#include <gtest/gtest.h>

namespace tabulon::reports::test {

inline std::shared_ptr<sheet::SheetDocument> sheetImage(const host::Workbook& book, const QString& name,
                                                        int zoom = 100) {
    return std::make_shared<sheet::SheetDocument>(std::make_shared<host::PrintSource>(book), book, book.sheet(name),
                                                  zoom);
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

// A workbook written by the test writer and loaded back; the file stays
// while the workbook is in use (its formats are read from it again).
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
};

}  // namespace tabulon::reports::test
