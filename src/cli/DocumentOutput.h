#pragma once
// The files of a documentation run: one PDF per shown report, numbered in
// the order shown, and the combined documentation.pdf. Documentation that is
// not complete (the reader skipped damaged parts of the workbook, a chapter
// failed) closes with a page that says what is missing.
#include "reports/PdfOutput.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace tabulon::cli {

// Why a documentation is not complete.
struct Gaps {
    QStringList readWarnings;    // the reader's, as it words them
    QStringList failedChapters;  // "章: 理由" lines
    bool empty() const { return readWarnings.isEmpty() && failedChapters.isEmpty(); }
};

// The closing page for `gaps`, titled "読み込みの警告".
std::shared_ptr<reports::ReportDocument> gapsDocument(const Gaps& gaps);

// The sentence for an output folder that cannot be made or written to.
QString outputFolderProblem(const QString& folder, int errorNumber);

// Writes the PDFs of `documents` (named `names`) into `folder` and lists the
// files on `out`. `workbookFile` names the combined file's title. Throws
// tabulon::Error 75 with the reason when a file cannot be written; files
// written before it stay, earlier files of the names not yet written too.
void writeDocumentationFiles(const QString& folder, const reports::DocumentList& documents,
                             const QStringList& names, const QString& workbookFile, QTextStream& out);

}  // namespace tabulon::cli
