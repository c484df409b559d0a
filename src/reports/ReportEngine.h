#pragma once
// Showing stored reports: ShowReport is the one entry point through which
// every command and preview button shows a report, in the preview.
#include "common/Ports.h"
#include "reports/ReportDocument.h"

#include <QString>
#include <functional>
#include <memory>

class QPrinter;

namespace tabulon::reports {

// Where a shown report goes: the window's preview (one window, reused by the
// next report), or an offscreen sink for the command line and the tests.
class PreviewPort {
public:
    virtual ~PreviewPort() = default;
    virtual void show(std::shared_ptr<ReportDocument> document) = 0;
};

class ReportService {
public:
    ReportService(PreviewPort& preview, MessagePort& messages);

    // Opens the stored report `name` in preview, read from the results file
    // opened with openResults() when there is one, else from `dbPath`.
    // Failures end in a message box, never an exception.
    void showReport(const QString& dbPath, const QString& name);
    // Shows a document laid out elsewhere (a sheet's print image) in the
    // same preview.
    void showDocument(std::shared_ptr<ReportDocument> document) { preview_.show(std::move(document)); }
    // A loaded results file: every later report prints from it.
    void openResults(const QString& path) { results_ = path; }
    const QString& resultsFile() const { return results_; }

private:
    PreviewPort& preview_;
    MessagePort& messages_;
    QString results_;
};

// The message for a failure of the report display: the printer-driver box
// for 2202, nothing for 2455, the generic box otherwise. Empty = no box.
QString reportFailureText(int number, const QString& description);
void reportFailure(MessagePort& messages, int number, const QString& description);

// Print command of a preview. Without any printer the user gets the
// printer-driver message (2202); askUser shows the print dialog and returns
// false when the user cancels (2455: nothing shown).
using PrinterProbe = std::function<bool()>;
bool printersAvailable();
void printDocument(ReportDocument& doc, MessagePort& messages, const PrinterProbe& probe,
                   const std::function<bool(QPrinter&)>& askUser);
// Paints every page of a document (or the pages the printer's range names).
void paintToPrinter(ReportDocument& doc, QPrinter& printer);

}  // namespace tabulon::reports
