#include "cli/TerminalPorts.h"

#include "common/Log.h"

#include <algorithm>
#include <unistd.h>

namespace tabulon::cli {

Answer TerminalMessages::message(const QString& text, Buttons) {
    shown_ << text;
    out_ << terminalLines(text) << Qt::endl;
    return Answer::Ok;
}

void TerminalMessages::error(const QString& text) {
    shown_ << text;
    ++errors_;
    out_.flush();
    err_ << terminalLines(text) << Qt::endl;
}

void TerminalMessages::refusal(const QString& text, const QString& detail) {
    error(text);
    if (!detail.isEmpty()) logging::write(QStringLiteral("tabulon"), detail);
}

QStringList TerminalMessages::takeShown() { return std::exchange(shown_, {}); }

TerminalProgress::TerminalProgress(QTextStream& out, QTextStream& err)
    : out_(out), err_(err), tty_(isatty(STDERR_FILENO)) {}

TerminalProgress::~TerminalProgress() { clearBar(); }

void TerminalProgress::status(const QString& text) {
    if (text.isEmpty() || text == status_) return;
    status_ = text;
    if (tty_) draw(); else out_ << text << Qt::endl;
}

void TerminalProgress::progress(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    if (tty_) draw();
}

void TerminalProgress::chapter(const QString& name) {
    clearBar();
    out_ << "== " << name << Qt::endl;
}

void TerminalProgress::draw() {
    const int filled = percent_ * 30 / 100;
    err_ << "\r\033[K[" << QString(filled, u'#') << QString(30 - filled, u'.') << "] " << percent_ << "% "
         << status_ << Qt::flush;
}

void TerminalProgress::clearBar() {
    if (tty_) err_ << "\r\033[K" << Qt::flush;
}

}  // namespace tabulon::cli
