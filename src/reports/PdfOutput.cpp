#include "reports/PdfOutput.h"

#include "host/Error.h"
#include "store/Database.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace tabulon::reports {

namespace {

QPageLayout layoutFor(const ReportDocument& doc) {
    return QPageLayout(portraitPageSize(doc),
                       doc.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace

QPageSize portraitPageSize(const ReportDocument& doc) {
    QSizeF portrait = doc.paperSizeMm();
    if (doc.landscape()) portrait.transpose();
    return QPageSize(portrait, QPageSize::Millimeter);
}

int writePdf(const DocumentList& documents, const QString& pdfPath) {
    if (documents.empty()) return 0;
    QPdfWriter writer(pdfPath);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Tabulon"));
    writer.setTitle(documents.front()->definition().title);
    writer.setPageLayout(layoutFor(*documents.front()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw Error(err::PathFileAccess,
                    QStringLiteral("PDF ファイル %1 に書き込めません").arg(pdfPath));
    int written = 0;
    for (const auto& doc : documents) {
        const int pages = doc->layoutAll();
        for (int i = 0; i < pages; ++i) {
            if (written > 0) {
                writer.setPageLayout(layoutFor(*doc));
                writer.newPage();
            }
            doc->paintPageOn(painter, writer, i);
            ++written;
        }
    }
    painter.end();
    return written;
}

int renderToPdf(const QString& dbPath, const QString& reportName, const QString& pdfPath) {
    return renderCombinedPdf(dbPath, {reportName}, pdfPath);
}

int renderCombinedPdf(const QString& dbPath, const QStringList& reportNames,
                      const QString& pdfPath) {
    DocumentList docs;
    {
        auto db = store::Database::open(dbPath);
        for (const QString& name : reportNames) docs.push_back(ReportDocument::load(*db, name));
    }
    return writePdf(docs, pdfPath);
}

}  // namespace tabulon::reports
