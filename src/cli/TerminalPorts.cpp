#include "cli/TerminalPorts.h"

#include <algorithm>
#include <unistd.h>

namespace tabulon::cli {

Answer TerminalMessages::message(const QString& text, Buttons) {
    shown_ << text;
    ++total_;
    err_ << terminalLines(text) << Qt::endl;
    return Answer::Ok;
}

QStringList TerminalMessages::takeShown() { return std::exchange(shown_, {}); }

TerminalProgress::TerminalProgress(QTextStream& err) : err_(err), tty_(isatty(STDERR_FILENO)) {}

TerminalProgress::~TerminalProgress() {
    if (tty_) err_ << "\r\033[K" << Qt::flush;
}

void TerminalProgress::status(const QString& text) {
    if (text.isEmpty() || text == status_) return;
    // A batch run has no preview window to close.
    if (text == QStringLiteral("印刷後、印刷ﾌﾟﾚﾋﾞｭｰを終了して下さい。")) return;
    status_ = text;
    if (tty_) draw(); else err_ << text << Qt::endl;
}

void TerminalProgress::progress(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    if (tty_) draw();
}

void TerminalProgress::chapter(const QString& name) {
    if (tty_) err_ << "\r\033[K";
    err_ << "== " << name << Qt::endl;
}

void TerminalProgress::draw() {
    const int filled = percent_ * 30 / 100;
    err_ << "\r\033[K[" << QString(filled, u'#') << QString(30 - filled, u'.') << "] " << percent_ << "% "
         << status_ << Qt::flush;
}

}  // namespace tabulon::cli
