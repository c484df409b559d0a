#include "reports/PdfOutput.h"

#include "common/Error.h"
#include "common/Guard.h"
#include "common/SafeFile.h"
#include "reports/PdfJoin.h"
#include "reports/PdfOutline.h"
#include "store/Database.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <numeric>
#include <optional>
#include <thread>

namespace tabulon::reports {

QPageSize portraitPageSize(const ReportDocument& doc) {
    QSizeF portrait = doc.paperSizeMm();
    if (doc.landscape()) portrait.transpose();
    return QPageSize(portrait, QPageSize::Millimeter);
}

namespace {

// More painters than this gain little and each holds a file's fonts.
constexpr int kMaxPainters = 4;

QPageLayout layoutFor(const ReportDocument& doc) {
    return QPageLayout(portraitPageSize(doc),
                       doc.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

[[noreturn]] void cannotWrite(const QString& pdfPath, int errorNumber) {
    throw Error(err::PathFileAccess, QStringLiteral("PDF ファイル「%1」を書き込めません。\r理由: %2")
                                         .arg(pdfPath, systemReason(errorNumber)));
}

// Opens the part file of a PDF; it is removed again unless committed.
void openPart(PartFile& file) {
    if (!file.open(QIODevice::WriteOnly)) cannotWrite(file.target(), file.errorNumber());
}

void commit(PartFile& file) {
    if (!file.commit()) cannotWrite(file.target(), file.errorNumber());
}

// Paints the documents into one file; firstPages gets the 0-based page each
// document starts on.
int paintPdf(const DocumentList& documents, PartFile& file, const QString& title, std::vector<int>& firstPages) {
    QPdfWriter writer(&file);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Tabulon"));
    writer.setTitle(title);
    writer.setPageLayout(layoutFor(*documents.front()));
    QPainter painter;
    if (!painter.begin(&writer)) cannotWrite(file.target(), file.errorNumber());
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
        // A full disk ends the file at once, not after the last page.
        if (file.errorNumber() != 0) break;
    }
    painter.end();
    file.close();
    if (file.errorNumber() != 0) cannotWrite(file.target(), file.errorNumber());
    return written;
}

// Paints each document into its own file, several at a time: the longest
// first, so that the painters finish together. Documents are laid out here,
// on the calling thread; painting only reads them.
void paintEach(const DocumentList& documents, const QStringList& files) {
    std::vector<size_t> order(documents.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::vector<int> pages(documents.size());
    for (size_t i = 0; i < documents.size(); ++i) pages[i] = documents[i]->layoutAll();
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return pages[a] > pages[b]; });

    std::vector<std::optional<Error>> failures(documents.size());
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    const auto paint = [&] {
        for (size_t k; !failed && (k = next++) < order.size();) {
            const size_t i = order[k];
            failures[i] = guardedRun(QString(), [&] { writePdf({documents[i]}, files[int(i)]); });
            if (failures[i]) failed = true;
        }
    };
    const int painters = std::clamp(QThread::idealThreadCount(), 1, kMaxPainters);
    std::vector<std::thread> helpers;
    for (int t = 1; t < painters && t < int(documents.size()); ++t) helpers.emplace_back(paint);
    paint();
    for (std::thread& helper : helpers) helper.join();
    for (const auto& failure : failures)
        if (failure) throw *failure;
}

}  // namespace

int writePdf(const DocumentList& documents, const QString& pdfPath) {
    if (documents.empty()) return 0;
    PartFile file(pdfPath);
    openPart(file);
    std::vector<int> firstPages;
    const int pages = paintPdf(documents, file, documents.front()->definition().title, firstPages);
    commit(file);
    return pages;
}

int writeDocumentation(const DocumentList& documents, const QStringList& files, const QString& combinedPath,
                       const QString& title) {
    if (documents.empty()) return 0;
    paintEach(documents, files);
    // Documents without pages have nothing to join or to open.
    QStringList sources;
    std::vector<size_t> joined;
    for (size_t i = 0; i < documents.size(); ++i) {
        if (documents[i]->pagesKnown() == 0) continue;
        sources << files[int(i)];
        joined.push_back(i);
    }
    PartFile file(combinedPath);
    openPart(file);
    const std::vector<int> firstPages = joinPdfFiles(sources, file, title);
    file.close();
    if (file.errorNumber() != 0) cannotWrite(combinedPath, file.errorNumber());
    std::vector<Bookmark> bookmarks;
    for (size_t k = 0; k < joined.size(); ++k) {
        const ReportDef& def = documents[joined[k]]->definition();
        bookmarks.push_back({def.title.isEmpty() ? def.name : def.title, firstPages[k]});
    }
    appendOutline(file.partPath(), bookmarks);
    commit(file);
    return firstPages.back();
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
