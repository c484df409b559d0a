#pragma once
// The report engine: holds a current database, like the print application of
// the old platform, and shows stored reports from it. ShowReport is the one
// entry point through which every command and preview button shows a report.
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

class ReportEngine {
public:
    explicit ReportEngine(PreviewPort& preview) : preview_(preview) {}
    // Error 7867 when a current database is already open (the engine keeps
    // it); 7866 when the file is missing.
    void openCurrentDatabase(const QString& path);
    const QString& currentDatabase() const { return current_; }
    // Reads the report from the current database and shows it in preview.
    void openReport(const QString& name);

private:
    PreviewPort& preview_;
    QString current_;
};

// The process-wide engine slot and ShowReport.
class ReportService {
public:
    ReportService(PreviewPort& preview, MessagePort& messages);

    // Opens `name` in preview from the engine's current database; a fresh
    // engine opening dbPath replaces the held one unless that one already has
    // a current database. Failures end in a message box, never an exception.
    void showReport(const QString& dbPath, const QString& name, int mode = 0);
    // Shows a document laid out elsewhere (a sheet's print image) in the
    // same preview.
    void showDocument(std::shared_ptr<ReportDocument> document) { preview_.show(std::move(document)); }
    // A workbook intake starts a fresh engine with no current database; the
    // next showReport opens the database in it and then, as every successful
    // open does, replaces it by another fresh engine that opens it again.
    void startEngine();
    // A saved results file becomes the current database of a new engine, so
    // later reports print from it.
    void openResults(const QString& path);
    void close();  // shutdown: releases the engine

    const ReportEngine* engine() const { return engine_.get(); }
    int enginesCreated() const { return created_; }

private:
    void replaceEngine(const QString& dbPath);

    PreviewPort& preview_;
    MessagePort& messages_;
    std::unique_ptr<ReportEngine> engine_;
    int created_ = 0;
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
