// The worker side of WorkerPool.h: limits first, then one file per request.
#include "inventory/Descriptors.h"
#include "inventory/ReadFile.h"
#include "inventory/WorkerPool.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tabulon::inventory {

namespace {

// The address space the process holds before it reads anything (the program,
// its libraries, Qt): the limit is set that much above, so `memoryMb` is what
// one file may cost whatever the build.
qint64 addressSpaceBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    return statm.readAll().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

void limitResources(qint64 memoryMb) {
    // Each thread's malloc arena reserves address space of its own; the
    // reader's sheet threads share two.
    mallopt(M_ARENA_MAX, 2);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of shadow address space up front.
    if (memoryMb > 0) {
        const rlim_t bytes = rlim_t(addressSpaceBytes() + memoryMb * 1024 * 1024);
        const rlimit space{bytes, bytes};
        setrlimit(RLIMIT_AS, &space);
    }
#endif
}

bool readLine(QByteArray& buffer, QByteArray& line) {
    for (;;) {
        const qsizetype eol = buffer.indexOf('\n');
        if (eol >= 0) {
            line = buffer.left(eol);
            buffer.remove(0, eol + 1);
            return true;
        }
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer.append(chunk, n);
    }
}

bool answer(int fd, const QJsonObject& object) {
    return writeAll(fd, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

}  // namespace

int runWorker(const QString& scratch, qint64 memoryMb) {
    // Answers go out on a descriptor of their own; anything else that writes
    // to standard output (a library's notice) lands on standard error and
    // cannot break an answer.
    const int out = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    limitResources(memoryMb);
    const qint64 keepBytes = memoryMb > 0 ? memoryMb * 1024 * 1024 : qint64(1) << 62;
    if (!answer(out, QJsonObject{{"ready", true}})) return 1;
    QByteArray buffer, line;
    while (readLine(buffer, line)) {
        const QJsonObject request = QJsonDocument::fromJson(line).object();
        const ReadRequest r{request.value("path").toString(), request.value("size").toString().toLongLong(),
                            request.value("mtime").toString().toLongLong()};
        if (!answer(out, toJson(readFileFacts(r, scratch, keepBytes)))) return 1;
    }
    return 0;
}

}  // namespace tabulon::inventory
