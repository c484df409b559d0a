#pragma once
// Reports as PDF files, for the command line, the batch front end and the
// preview's "save as PDF". A combined file holds several reports one after
// the other, each with its own page numbering and paper orientation.
//
// A PDF appears under its name only when it is complete (common/SafeFile.h):
// a full disk or a kill leaves the file that was there before.
#include "reports/PdfOutline.h"
#include "reports/ReportDocument.h"

#include <QPageSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tabulon::reports {

using DocumentList = std::vector<std::shared_ptr<ReportDocument>>;

// The document's paper as a page size (portrait; the orientation is apart).
QPageSize portraitPageSize(const ReportDocument& doc);

// Writes the documents into one PDF. Throws tabulon::Error 75 with the
// reason ("ディスクの空き容量が足りません。", ...) when the file cannot be
// written. Returns the number of pages written.
int writePdf(const DocumentList& documents, const QString& pdfPath);

// The documents into one PDF painted by one painter, with `title` as the
// file's title and one bookmark per document (its report title) at its
// first page, nested as documentBookmarks says. Throws as writePdf.
// Returns the number of pages written.
int writeDocumentationPdf(const DocumentList& documents, const QString& pdfPath, const QString& title);

// The documentation of a workbook: each document into its own file
// (`files[i]` for `documents[i]`), painted several at a time, and the
// combined file `combinedPath` joined from those files, so every page is
// painted once. The combined file has `title` as its title and one bookmark
// per document as writeDocumentationPdf. Returns the pages of
// the combined file. Throws tabulon::Error 75 as writePdf, for the first
// file that failed; files not yet started are then not written.
int writeDocumentation(const DocumentList& documents, const QStringList& files, const QString& combinedPath,
                       const QString& title);

// The bookmarks of a combined file: one per document with pages (its report
// title, at firstPages[i]); documents in a row with the same outline parent
// are nested under one bookmark of that title, at the first of them.
std::vector<Bookmark> documentBookmarks(const DocumentList& documents, const std::vector<int>& firstPages,
                                        int pages);

// Renders one stored report of the database at dbPath into a PDF.
int renderToPdf(const QString& dbPath, const QString& reportName, const QString& pdfPath);

// Renders several reports, in the given order, into one combined PDF.
int renderCombinedPdf(const QString& dbPath, const QStringList& reportNames,
                      const QString& pdfPath);

}  // namespace tabulon::reports
