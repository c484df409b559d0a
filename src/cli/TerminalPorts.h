#pragma once
// The ports of a command run on the terminal. What the boxes of the window
// say becomes lines: messages on the output, errors and refusals on the
// error stream (a refusal's technical detail goes to the log). The chapters
// and status lines go on the output, a progress bar on the error stream when
// that is a terminal. Shown reports are kept for the PDFs.
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
    TerminalMessages(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}
    Answer message(const QString& text, Buttons) override;
    void error(const QString& text) override;
    void refusal(const QString& text, const QString& detail) override;
    // The boxes shown since the last call, for the record of a chapter.
    QStringList takeShown();
    bool anyErrors() const { return errors_ > 0; }

private:
    QTextStream& out_;
    QTextStream& err_;
    QStringList shown_;
    int errors_ = 0;
};

class TerminalProgress : public ProgressPort {
public:
    TerminalProgress(QTextStream& out, QTextStream& err);
    ~TerminalProgress() override;
    void status(const QString& text) override;
    void progress(int percent) override;
    void showGauge(bool) override {}
    void busy(bool) override {}
    // A heading line: "== 章の名前".
    void chapter(const QString& name);

private:
    void draw();
    void clearBar();
    QTextStream& out_;
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
