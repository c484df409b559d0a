#include "inventory/WorkerPool.h"

#include "common/Error.h"
#include "inventory/Descriptors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tabulon::inventory {

namespace {

// An answer longer than this is no answer: the worker is treated as broken.
constexpr qsizetype kMaxAnswerBytes = 256 * 1024 * 1024;
constexpr int kTickMs = 200;
constexpr qint64 kStartTimeoutMs = 30000;

QString deathText(int status) {
    if (WIFSIGNALED(status))
        return QStringLiteral("signal %1 (%2)").arg(WTERMSIG(status)).arg(QString::fromLocal8Bit(strsignal(WTERMSIG(status))));
    return QStringLiteral("exit %1").arg(WEXITSTATUS(status));
}

// VmHWM of a live process, in kilobytes.
qint64 peakKbOf(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

struct Worker {
    pid_t pid = -1;
    int input = -1;   // the worker's standard input
    int output = -1;  // its standard output
    QByteArray buffer;
    qsizetype item = -1;  // the item it reads, -1 when idle
    qint64 deadline = 0;
    QString scratch;
    bool busy() const { return item >= 0; }
};

// The scratch folders of runs that were killed (named with their process
// id): removed when that process is gone.
void removeStaleScratch() {
    const QDir temp = QDir::temp();
    for (const QString& name : temp.entryList({QStringLiteral("tabulon-inventory-*-*")}, QDir::Dirs)) {
        bool ok = false;
        const pid_t pid = pid_t(name.section(u'-', 2, 2).toLongLong(&ok));
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) QDir(temp.filePath(name)).removeRecursively();
    }
}

}  // namespace

struct WorkerPool::Impl {
    PoolOptions o;
    QTemporaryDir scratchBase{
        QDir::temp().filePath(QStringLiteral("tabulon-inventory-%1-XXXXXX").arg(::getpid()))};
    std::vector<Worker> workers;
    int started = 0;
    qint64 peakKb = 0;
    QElapsedTimer clock;
    struct sigaction oldPipe {};

    void spawn(Worker& w) {
        w.scratch = scratchBase.filePath(QStringLiteral("w%1").arg(++started));
        QDir().mkpath(w.scratch);
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0) throw Error(err::InternalError, QStringLiteral("pipe: %1").arg(errno));
        if (::pipe2(out, O_CLOEXEC) != 0) {
            ::close(in[0]);
            ::close(in[1]);
            throw Error(err::InternalError, QStringLiteral("pipe: %1").arg(errno));
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        // What the reader's libraries say about a damaged file is in the
        // file's row; it does not belong on the run's terminal.
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        const QByteArray program = QFile::encodeName(o.program);
        const QByteArray scratch = QFile::encodeName(w.scratch);
        const QByteArray memory = QByteArray::number(o.memoryMb);
        const char* argv[] = {program.constData(), "inventory", "--worker", scratch.constData(),
                              "--memory", memory.constData(), nullptr};
        // A worker paints nothing: it never looks for a display.
        std::vector<char*> env;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) env.push_back(*e);
        char offscreen[] = "QT_QPA_PLATFORM=offscreen";
        env.push_back(offscreen);
        env.push_back(nullptr);
        const int rc = ::posix_spawn(&w.pid, program.constData(), &actions, nullptr, const_cast<char**>(argv), env.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        if (rc != 0) {
            ::close(in[1]);
            ::close(out[0]);
            throw Error(err::FileNotFound, QStringLiteral("読み取り用のプロセスを起動できません: %1 (%2)")
                                               .arg(o.program, QString::fromLocal8Bit(std::strerror(rc))));
        }
        w.input = in[1];
        w.output = out[0];
        ::fcntl(w.output, F_SETFL, ::fcntl(w.output, F_GETFL) | O_NONBLOCK);
        w.buffer.clear();
        w.item = -1;
        awaitReady(w);
    }

    // A worker says it is ready before it takes a file, so one that cannot
    // start at all (a wrong program, no memory for its own start) stops the
    // run instead of failing every file in turn.
    void awaitReady(Worker& w) {
        QElapsedTimer waited;
        waited.start();
        while (w.buffer.indexOf('\n') < 0) {
            const qint64 left = kStartTimeoutMs - waited.elapsed();
            pollfd fd{w.output, POLLIN, 0};
            if (left <= 0 || (::poll(&fd, 1, int(left)) < 0 && errno != EINTR) || !drain(w)) break;
        }
        const qsizetype eol = w.buffer.indexOf('\n');
        const bool ready = eol >= 0 && QJsonDocument::fromJson(w.buffer.left(eol)).object().contains(QStringLiteral("ready"));
        if (!ready) {
            const int status = end(w, true);
            throw Error(err::InternalError, QStringLiteral("読み取り用のプロセスが起動しませんでした: %1 (%2)")
                                                .arg(o.program, deathText(status)));
        }
        w.buffer.remove(0, eol + 1);
    }

    // Ends a worker: politely when idle, killed when it holds a file. Returns
    // its wait status.
    int end(Worker& w, bool kill) {
        if (w.pid < 0) return 0;
        if (kill) ::kill(w.pid, SIGKILL);
        ::close(w.input);
        ::close(w.output);
        int status = 0;
        while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {}
        QDir(w.scratch).removeRecursively();
        w.pid = -1;
        w.item = -1;
        return status;
    }

    void dispatch(Worker& w, const std::vector<WorkItem>& items, qsizetype index) {
        if (w.pid < 0) spawn(w);
        const WorkItem& item = items[size_t(index)];
        const QJsonObject request{{"path", item.path}, {"size", QString::number(item.size)},
                                  {"mtime", QString::number(item.mtimeNs)}};
        w.item = index;
        w.deadline = clock.elapsed() + qint64(o.timeoutSeconds) * 1000;
        // A worker that died meanwhile shows as the end of its output.
        writeAll(w.input, QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    }

    // A worker lost with its file: the file is recorded as failed.
    FileFacts lost(Worker& w, const std::vector<WorkItem>& items, bool timedOut) {
        const WorkItem& item = items[size_t(w.item)];
        const int status = end(w, true);
        if (timedOut)
            return failedFacts(item.path, item.size, item.mtimeNs,
                               QStringLiteral("制限時間（%1 秒）内に読み終わりませんでした。").arg(o.timeoutSeconds),
                               QStringLiteral("timeout after %1 s").arg(o.timeoutSeconds));
        return failedFacts(item.path, item.size, item.mtimeNs,
                           QStringLiteral("読み取り中に読み取り用のプロセスが異常終了しました"
                                          "（メモリ制限 %1 MB を超えたか、ファイルが壊れています）。").arg(o.memoryMb),
                           deathText(status));
    }

    // Reads what the worker wrote; true while it lives.
    bool drain(Worker& w) {
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::read(w.output, chunk, sizeof chunk);
            if (n > 0) {
                w.buffer.append(chunk, n);
                if (w.buffer.size() > kMaxAnswerBytes) return false;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            return n < 0 && errno == EAGAIN;
        }
    }
};

WorkerPool::WorkerPool(PoolOptions options) : d(new Impl) {
    removeStaleScratch();
    d->o = std::move(options);
    d->o.workers = std::max(1, d->o.workers);
    if (!d->scratchBase.isValid())
        throw Error(err::PathFileAccess, QStringLiteral("作業フォルダを作成できません: %1").arg(QDir::tempPath()));
    d->workers.resize(size_t(d->o.workers));
    // A worker that dies leaves a pipe without reader: that must not end the run.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &d->oldPipe);
    d->clock.start();
}

WorkerPool::~WorkerPool() {
    for (Worker& w : d->workers) d->end(w, w.busy());
    ::sigaction(SIGPIPE, &d->oldPipe, nullptr);
}

void WorkerPool::run(const std::vector<WorkItem>& items, const std::function<void(FileFacts&&)>& done,
                     const std::function<void()>& tick) {
    qsizetype next = 0;
    const qsizetype total = qsizetype(items.size());
    const auto feed = [&](Worker& w) {
        if (next < total) d->dispatch(w, items, next++);
    };
    for (Worker& w : d->workers) feed(w);
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<Worker*> polled;
        qint64 wait = kTickMs;
        for (Worker& w : d->workers) {
            if (!w.busy()) continue;
            fds.push_back({w.output, POLLIN, 0});
            polled.push_back(&w);
            wait = std::min(wait, std::max<qint64>(0, w.deadline - d->clock.elapsed()));
        }
        if (fds.empty()) break;
        if (::poll(fds.data(), nfds_t(fds.size()), int(wait)) < 0 && errno != EINTR)
            throw Error(err::InternalError, QStringLiteral("poll: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        for (size_t i = 0; i < fds.size(); ++i) {
            Worker& w = *polled[i];
            if (!fds[i].revents) continue;
            bool alive = d->drain(w);
            qsizetype eol;
            while (w.busy() && (eol = w.buffer.indexOf('\n')) >= 0) {
                const QJsonDocument answer = QJsonDocument::fromJson(w.buffer.left(eol));
                w.buffer.remove(0, eol + 1);
                if (!answer.isObject()) {
                    alive = false;  // not our worker speaking: it holds the file as lost
                    break;
                }
                d->peakKb = std::max(d->peakKb, peakKbOf(w.pid));
                w.item = -1;
                done(factsFromJson(answer.object()));
                if (alive) feed(w);
            }
            if (!alive) {
                if (w.busy()) done(d->lost(w, items, false));
                else d->end(w, true);
                feed(w);  // a fresh worker takes the next file
            }
        }
        for (Worker& w : d->workers) {
            if (w.busy() && d->clock.elapsed() >= w.deadline) {
                done(d->lost(w, items, true));
                feed(w);
            }
        }
        if (tick) tick();
    }
}

qint64 WorkerPool::peakWorkerKb() const { return d->peakKb; }

int WorkerPool::started() const { return d->started; }

}  // namespace tabulon::inventory
