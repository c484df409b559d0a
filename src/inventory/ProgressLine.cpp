#include "inventory/ProgressLine.h"

#include <QLocale>

namespace tabulon::inventory {

namespace {
constexpr qint64 kTerminalMs = 200;
constexpr qint64 kLogMs = 10000;
}  // namespace

ProgressLine::ProgressLine(QTextStream& out, bool terminal) : out_(out), terminal_(terminal) {}

ProgressLine::~ProgressLine() { finish(); }

void ProgressLine::phase(const QString& text) {
    finish();
    out_ << text << Qt::endl;
}

void ProgressLine::start(qint64 total) {
    total_ = total;
    done_ = failed_ = 0;
    clock_.start();
    lastDraw_ = -1;
    if (total_ > 0) draw(true);
}

void ProgressLine::fileDone(bool failed) {
    ++done_;
    failed_ += failed;
    draw(done_ == total_);
}

void ProgressLine::tick() { draw(false); }

void ProgressLine::finish() {
    if (terminal_ && drawn_) out_ << "\r\033[K" << Qt::flush;
    drawn_ = false;
}

QString ProgressLine::duration(qint64 s) {
    if (s >= 3600) return QStringLiteral("%1時間%2分").arg(s / 3600).arg(s % 3600 / 60);
    if (s >= 60) return QStringLiteral("%1分%2秒").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1秒").arg(s);
}

QString ProgressLine::text(qint64 done, qint64 total, qint64 failed, double seconds) {
    const QLocale c(QLocale::Japanese);  // 1,000: digits grouped as the users write them
    QString line = QStringLiteral("読み取り中 %1/%2 件（%3%）")
                       .arg(c.toString(done), c.toString(total))
                       .arg(total > 0 ? done * 100 / total : 100);
    const double rate = seconds > 0 ? done / seconds : 0;
    if (done > 0 && seconds >= 0.5) {
        line += QStringLiteral("  %1 件/秒").arg(rate, 0, 'f', 1);
        if (done < total) line += QStringLiteral("  残り約 %1").arg(duration(qint64((total - done) / rate + 0.5)));
    }
    if (failed > 0) line += QStringLiteral("  失敗 %1").arg(failed);
    return line;
}

void ProgressLine::draw(bool force) {
    if (total_ <= 0) return;
    const qint64 now = clock_.elapsed();
    if (!force && lastDraw_ >= 0 && now - lastDraw_ < (terminal_ ? kTerminalMs : kLogMs)) return;
    lastDraw_ = now;
    const QString line = text(done_, total_, failed_, now / 1000.0);
    if (terminal_) {
        out_ << "\r\033[K" << line << Qt::flush;
        drawn_ = true;
    } else {
        out_ << line << Qt::endl;
    }
}

}  // namespace tabulon::inventory
