#pragma once
// Sheet print images of the report tests: one sheet of a loaded workbook as
// a document, and a page of it painted onto a grey image.
#include "reports/sheet/SheetDocument.h"

#include <QImage>
#include <QPainter>

namespace tabulon::reports::test {

inline std::shared_ptr<sheet::SheetDocument> sheetImage(const host::Workbook& book, const QString& name,
                                                        int zoom = 100) {
    return std::make_shared<sheet::SheetDocument>(std::make_shared<host::PrintSource>(book), book, book.sheet(name),
                                                  zoom);
}

inline QImage renderPage(ReportDocument& doc, int page, double pxPerMm) {
    const QSizeF mm = doc.paperSizeMm();
    QImage img(int(mm.width() * pxPerMm), int(mm.height() * pxPerMm), QImage::Format_Grayscale8);
    img.setDotsPerMeterX(int(pxPerMm * 1000));
    img.setDotsPerMeterY(int(pxPerMm * 1000));
    img.fill(Qt::white);
    QPainter p(&img);
    doc.paintPageOn(p, img, page);
    return img;
}

}  // namespace tabulon::reports::test
