#include "reports/PdfOutput.h"

#include "common/Error.h"
#include "reports/PdfOutline.h"
#include "store/Database.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace tabulon::reports {

QPageSize portraitPageSize(const ReportDocument& doc) {
    QSizeF portrait = doc.paperSizeMm();
    if (doc.landscape()) portrait.transpose();
    return QPageSize(portrait, QPageSize::Millimeter);
}

namespace {

QPageLayout layoutFor(const ReportDocument& doc) {
    return QPageLayout(portraitPageSize(doc),
                       doc.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// Paints the documents into one file; firstPages gets the 0-based page each
// document starts on.
int paintPdf(const DocumentList& documents, const QString& pdfPath, const QString& title,
             std::vector<int>& firstPages) {
    QPdfWriter writer(pdfPath);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Tabulon"));
    writer.setTitle(title);
    writer.setPageLayout(layoutFor(*documents.front()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw Error(err::PathFileAccess,
                    QStringLiteral("PDF ファイル %1 に書き込めません").arg(pdfPath));
    int written = 0;
    for (const auto& doc : documents) {
        const int pages = doc->layoutAll();
        firstPages.push_back(written);
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

}  // namespace

int writePdf(const DocumentList& documents, const QString& pdfPath) {
    if (documents.empty()) return 0;
    std::vector<int> firstPages;
    return paintPdf(documents, pdfPath, documents.front()->definition().title, firstPages);
}

int writeDocumentationPdf(const DocumentList& documents, const QString& pdfPath,
                          const QString& title) {
    if (documents.empty()) return 0;
    std::vector<int> firstPages;
    const int pages = paintPdf(documents, pdfPath, title, firstPages);
    appendOutline(pdfPath, documentBookmarks(documents, firstPages, pages));
    return pages;
}

std::vector<Bookmark> documentBookmarks(const DocumentList& documents, const std::vector<int>& firstPages,
                                        int pages) {
    std::vector<Bookmark> bookmarks;
    QString parent;  // the outline parent of the last bookmark
    for (size_t i = 0; i < documents.size() && i < firstPages.size(); ++i) {
        const ReportDef& def = documents[i]->definition();
        if (firstPages[i] >= pages) continue;  // a document without pages has nothing to open
        Bookmark mark{def.title.isEmpty() ? def.name : def.title, firstPages[i], {}};
        if (def.outlineParent.isEmpty()) {
            bookmarks.push_back(std::move(mark));
        } else {
            if (bookmarks.empty() || parent != def.outlineParent)
                bookmarks.push_back({def.outlineParent, firstPages[i], {}});
            bookmarks.back().children.push_back(std::move(mark));
        }
        parent = def.outlineParent;
    }
    return bookmarks;
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
