#pragma once
// The run's progress on the terminal, in Japanese: files read of all, files per
// second and the time left, redrawn in place on a terminal and written as a
// line every ten seconds into a log.
#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

namespace tabulon::inventory {

class ProgressLine {
public:
    ProgressLine(QTextStream& out, bool terminal);
    ~ProgressLine();

    void phase(const QString& text);  // a step without a count ("フォルダを確認中")
    void start(qint64 total);
    void fileDone(bool failed);
    void tick();                      // redraws when it is time
    void finish();                    // clears the line

    // "1時間2分", "3分4秒", "12秒"
    static QString duration(qint64 seconds);
    // The line itself, for a state of the run.
    static QString text(qint64 done, qint64 total, qint64 failed, double seconds);

private:
    void draw(bool force);

    QTextStream& out_;
    bool terminal_;
    QElapsedTimer clock_;
    qint64 lastDraw_ = -1;
    qint64 total_ = 0, done_ = 0, failed_ = 0;
    bool drawn_ = false;
};

}  // namespace tabulon::inventory
