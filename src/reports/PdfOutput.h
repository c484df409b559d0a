#pragma once
// Reports as PDF files, for the command line, the batch front end and the
// preview's "save as PDF". A combined file holds several reports one after
// the other, each with its own page numbering and paper orientation.
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

// Writes the documents into one PDF; throws tabulon::Error 75 when the file
// cannot be written. Returns the number of pages written.
int writePdf(const DocumentList& documents, const QString& pdfPath);

// The combined documentation of a workbook: the documents one after the
// other, `title` as the file's title and one bookmark per document (its
// report title) at its first page, nested as documentBookmarks says.
// Returns the number of pages written.
int writeDocumentationPdf(const DocumentList& documents, const QString& pdfPath,
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
