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
// A long document is cut into pieces for the painters: about this many per
// painter, and none shorter than this many pages (each piece's file carries
// its own fonts).
constexpr int kPiecesPerPainter = 3;
constexpr int kMinPiecePages = 64;

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

// Pages [from, to) of a document.
struct PageRun {
    const ReportDocument* doc;
    int from, to;
};

// Paints the runs into one file, one after the other.
int paintPdf(const std::vector<PageRun>& runs, PartFile& file, const QString& title) {
    QPdfWriter writer(&file);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Tabulon"));
    writer.setTitle(title);
    writer.setPageLayout(layoutFor(*runs.front().doc));
    QPainter painter;
    if (!painter.begin(&writer)) cannotWrite(file.target(), file.errorNumber());
    int written = 0;
    for (const PageRun& run : runs) {
        for (int i = run.from; i < run.to; ++i) {
            if (written > 0) {
                writer.setPageLayout(layoutFor(*run.doc));
                writer.newPage();
            }
            run.doc->paintPageOn(painter, writer, i);
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

// One piece of painting work: pages of a document into a part file of its
// own. A document painted in several pieces is joined from them.
struct Piece {
    size_t doc;
    PageRun pages;
    std::unique_ptr<PartFile> file;
};

// The pieces of the documents, longest first, so that the painters finish
// together: a document that may be painted concurrently is cut into pieces
// of about an equal share of all the pages.
std::vector<Piece> cutIntoPieces(const DocumentList& documents, const QStringList& files, int painters) {
    std::vector<int> pages(documents.size());
    long long total = 0;
    for (size_t i = 0; i < documents.size(); ++i) total += pages[i] = documents[i]->layoutAll();
    const int share = int(std::max<long long>(kMinPiecePages, total / (painters * kPiecesPerPainter)));
    std::vector<Piece> pieces;
    for (size_t i = 0; i < documents.size(); ++i) {
        const int count = documents[i]->paintsConcurrently() ? std::max(1, (pages[i] + share - 1) / share) : 1;
        for (int k = 0; k < count; ++k)
            pieces.push_back({i, {documents[i].get(), pages[i] * k / count, pages[i] * (k + 1) / count},
                              std::make_unique<PartFile>(files[int(i)])});
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return a.pages.to - a.pages.from > b.pages.to - b.pages.from;
    });
    return pieces;
}

// Paints each document into its own file, several pieces at a time.
// Documents are laid out here, on the calling thread; painting only reads
// them.
void paintEach(const DocumentList& documents, const QStringList& files) {
    const int painters = std::clamp(QThread::idealThreadCount(), 1, kMaxPainters);
    std::vector<Piece> pieces = cutIntoPieces(documents, files, painters);
    std::vector<std::optional<Error>> failures(pieces.size());
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    const auto paint = [&] {
        for (size_t k; !failed && (k = next++) < pieces.size();) {
            Piece& piece = pieces[k];
            failures[k] = guardedRun(QString(), [&] {
                openPart(*piece.file);
                paintPdf({piece.pages}, *piece.file, documents[piece.doc]->definition().title);
            });
            if (failures[k]) failed = true;
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < painters && t < int(pieces.size()); ++t) helpers.emplace_back(paint);
    paint();
    for (std::thread& helper : helpers) helper.join();
    for (const auto& failure : failures)
        if (failure) throw *failure;
    // A document of one piece is its file; one of several is joined.
    for (size_t i = 0; i < documents.size(); ++i) {
        std::vector<Piece*> own;
        for (Piece& piece : pieces)
            if (piece.doc == i) own.push_back(&piece);
        std::sort(own.begin(), own.end(), [](const Piece* a, const Piece* b) { return a->pages.from < b->pages.from; });
        if (own.size() == 1) {
            commit(*own.front()->file);
            continue;
        }
        QStringList parts;
        for (const Piece* piece : own) parts << piece->file->partPath();
        PartFile joined(files[int(i)]);
        openPart(joined);
        joinPdfFiles(parts, joined, documents[i]->definition().title);
        joined.close();
        commit(joined);
    }
}

// The page (0-based) each document starts on, written one after the other.
std::vector<int> firstPagesOf(const DocumentList& documents) {
    std::vector<int> first;
    int page = 0;
    for (const auto& doc : documents) {
        first.push_back(page);
        page += doc->pagesKnown();
    }
    return first;
}

// The documents one after the other into one file by one painter.
int paintWhole(const DocumentList& documents, const QString& pdfPath, const QString& title, bool bookmarked) {
    std::vector<PageRun> runs;
    for (const auto& doc : documents) runs.push_back({doc.get(), 0, doc->layoutAll()});
    PartFile file(pdfPath);
    openPart(file);
    const int pages = paintPdf(runs, file, title);
    if (bookmarked) appendOutline(file.partPath(), documentBookmarks(documents, firstPagesOf(documents), pages));
    commit(file);
    return pages;
}

}  // namespace

int writePdf(const DocumentList& documents, const QString& pdfPath) {
    if (documents.empty()) return 0;
    return paintWhole(documents, pdfPath, documents.front()->definition().title, false);
}

int writeDocumentationPdf(const DocumentList& documents, const QString& pdfPath, const QString& title) {
    if (documents.empty()) return 0;
    return paintWhole(documents, pdfPath, title, true);
}

int writeDocumentation(const DocumentList& documents, const QStringList& files, const QString& combinedPath,
                       const QString& title) {
    if (documents.empty()) return 0;
    paintEach(documents, files);
    // Documents without pages have nothing to join.
    QStringList sources;
    int pages = 0;
    for (size_t i = 0; i < documents.size(); ++i) {
        pages += documents[i]->pagesKnown();
        if (documents[i]->pagesKnown() > 0) sources << files[int(i)];
    }
    PartFile file(combinedPath);
    openPart(file);
    joinPdfFiles(sources, file, title);
    file.close();
    if (file.errorNumber() != 0) cannotWrite(combinedPath, file.errorNumber());
    // Where each document starts, as if one painter had written them all.
    appendOutline(file.partPath(), documentBookmarks(documents, firstPagesOf(documents), pages));
    commit(file);
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
