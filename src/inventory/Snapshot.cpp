#include "inventory/Snapshot.h"

#include "common/Error.h"
#include "inventory/Descriptors.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tabulon::inventory {

namespace {

Error unreadable(const QString& path, const char* what, int error) {
    return Error(err::FileNotFound, QStringLiteral("'%1' を読めません。").arg(path),
                 ErrorDetail{-1, ErrorDetail::kNoOffset, QString::fromLatin1(what),
                             QString::fromLocal8Bit(std::strerror(error))});
}

// O_NOATIME is refused (EPERM) on files of another owner unless the process
// may act as their owner; then the file is read the ordinary way.
int openQuietly(const QByteArray& path) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(path.constData(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path.constData(), flags);
    return fd;
}

// Reads the whole file in chunks through `chunk`, returning its SHA-256.
template <class Chunk>
QString readQuietly(const QString& path, Chunk&& chunk) {
    const int fd = openQuietly(QFile::encodeName(path));
    if (fd < 0) throw unreadable(path, "open", errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw unreadable(path, "regular file", errno ? errno : EINVAL);
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            throw unreadable(path, "read", e);
        }
        if (n == 0) break;
        hash.addData(QByteArrayView(buffer.data(), n));
        chunk(buffer.data(), size_t(n));
    }
    ::close(fd);
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace

Snapshot::Snapshot(const QString& path, const QString& scratchFolder, qint64 keepBytes) {
    memfd_ = ::memfd_create("tabulon-workbook", MFD_CLOEXEC);
    kept_ = memfd_ >= 0;
    sha256_ = readQuietly(path, [&](const char* data, size_t n) {
        size_ += qint64(n);
        if (kept_ && (size_ > keepBytes || !writeAll(memfd_, data, n))) {
            kept_ = false;
            (void)::ftruncate(memfd_, 0);
        }
    });
    readPath_ = path;
    if (kept_) mirror(path, scratchFolder);
}

QString Snapshot::hashOf(const QString& path) {
    return readQuietly(path, [](const char*, size_t) {});
}

Snapshot::~Snapshot() {
    if (!mirrorRoot_.isEmpty()) {
        // The link and its folders go, so a worker's scratch stays small
        // however many folders the estate has.
        QFile::remove(readPath_);
        QDir(mirrorRoot_).rmpath(QFileInfo(readPath_).absolutePath().mid(mirrorRoot_.size() + 1));
    }
    if (memfd_ >= 0) ::close(memfd_);
}

void Snapshot::mirror(const QString& path, const QString& scratchFolder) {
    const QString root = QDir(scratchFolder).absoluteFilePath(QStringLiteral("m"));
    const QString link = root + QDir::cleanPath(QDir(path).absolutePath());
    const QString target = QStringLiteral("/proc/self/fd/%1").arg(memfd_);
    QFile::remove(link);
    if (!QDir().mkpath(QFileInfo(link).absolutePath()) ||
        ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) != 0)
        return;
    readPath_ = link;
    mirrorRoot_ = root;
}

QString Snapshot::unmirror(const QString& resolved) const {
    if (mirrorRoot_.isEmpty() || !resolved.startsWith(mirrorRoot_ + u'/')) return resolved;
    return resolved.mid(mirrorRoot_.size());
}

}  // namespace tabulon::inventory
