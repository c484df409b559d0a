#pragma once
// The ports of a command run on the terminal: message boxes become lines on
// the error stream, the status line and gauge a bar (plain lines when the
// error stream is no terminal), and shown reports are kept for the PDFs.
#include "common/Ports.h"
#include "reports/PdfOutput.h"
#include "reports/ReportEngine.h"

#include <QStringList>
#include <QTextStream>

namespace tabulon::cli {

// A message-box text for the terminal: the box's lines end in "\r".
inline QString terminalLines(QString text) { return text.replace(u'\r', u'\n'); }

class TerminalMessages : public MessagePort {
public:
    explicit TerminalMessages(QTextStream& err) : err_(err) {}
    Answer message(const QString& text, Buttons) override;
    // The boxes shown since the last call, for the record of a chapter.
    QStringList takeShown();
    bool anyShown() const { return total_ > 0; }

private:
    QTextStream& err_;
    QStringList shown_;
    int total_ = 0;
};

class TerminalProgress : public ProgressPort {
public:
    explicit TerminalProgress(QTextStream& err);
    ~TerminalProgress() override;
    void status(const QString& text) override;
    void progress(int percent) override;
    void showGauge(bool) override {}
    void busy(bool) override {}
    // A heading line: "== 章の名前".
    void chapter(const QString& name);

private:
    void draw();
    QTextStream& err_;
    bool tty_;
    QString status_;
    int percent_ = 0;
};

// Each shown report is kept for the PDF files.
class CollectingPreview : public reports::PreviewPort {
public:
    void show(std::shared_ptr<reports::ReportDocument> document) override { documents.push_back(document); }
    reports::DocumentList documents;
};

}  // namespace tabulon::cli
