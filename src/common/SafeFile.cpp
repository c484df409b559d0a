#include "common/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulon {

QString systemReason(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスの権限がありません。");
    case EROFS:
        return QStringLiteral("読み取り専用のドライブのため書き込めません。");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case ENOTDIR:
        return QStringLiteral("パスの途中にフォルダではないファイルがあります。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名またはパスが長すぎます。");
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("同じ名前のファイルが既にあります。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルが使用中です。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています。");
    case ENOMEM:
        return QStringLiteral("メモリが不足しています。");
    default:
        return QStringLiteral("システムのエラーです (%1)。")
            .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

namespace {

// The machine's name as 8 hex digits (FNV-1a: the same on every run).
QString hostTag() {
    quint32 h = 2166136261u;
    for (const char c : QSysInfo::machineHostName().toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return QStringLiteral("%1").arg(h, 8, 16, QLatin1Char('0'));
}

// When the process started, in clock ticks after boot (field 22 of
// /proc/PID/stat); -1 when there is no such process.
long long processStart(long long pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(pid_t(pid), 0) == 0 || errno == EPERM ? 0 : -1;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold spaces; fields follow it.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 19 ? fields[19].toLongLong() : 0;
}

// ".~tabulon-HOST-PID-START-N.part": at most 60 bytes whatever the target.
const QRegularExpression& partPattern() {
    static const QRegularExpression re(
        QStringLiteral("^\\.~tabulon-([0-9a-f]{8})-(\\d+)-(\\d+)-\\d+\\.part(-journal|-wal|-shm)?$"));
    return re;
}

// Part files of earlier versions: ".NAME.PID.part" and their journals.
const QRegularExpression& olderPartPattern() {
    static const QRegularExpression re(QStringLiteral("^\\..+\\.(\\d+)\\.part(-journal)?$"));
    return re;
}

bool isStale(const QString& name, const QString& host) {
    if (const auto m = partPattern().match(name); m.hasMatch()) {
        if (m.captured(1) != host)
            return false;
        const long long start = processStart(m.captured(2).toLongLong());
        return start < 0 || (start > 0 && start != m.captured(3).toLongLong());
    }
    if (const auto m = olderPartPattern().match(name); m.hasMatch())
        return processStart(m.captured(1).toLongLong()) < 0;
    return false;
}

// Flushes a file (or a folder, after a rename) to the disk.
int syncPath(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;  // some folders cannot be synced
    ::close(fd);
    return result;
}

}  // namespace

int makeFolders(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QByteArray name = QFile::encodeName(absolute);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : EEXIST;
    if (errno != ENOENT)
        return errno;
    const qsizetype slash = absolute.lastIndexOf(u'/');
    if (slash > 0) {
        if (const int failed = makeFolders(absolute.left(slash)))
            return failed;
    }
    return ::mkdir(name.constData(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

int folderUnwritable(const QString& path) {
    QString at = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (bool first = true;; first = false) {
        struct stat info {};
        if (::stat(QFile::encodeName(at).constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return first ? EEXIST : ENOTDIR;
            return ::access(QFile::encodeName(at).constData(), W_OK | X_OK) == 0 ? 0 : errno;
        }
        if (errno != ENOENT)
            return errno;
        const qsizetype slash = at.lastIndexOf(u'/');
        if (slash <= 0)
            return ENOENT;
        at = at.left(slash);
    }
}

QString partFileBeside(const QString& target) {
    static std::atomic<int> sequence{0};
    static const QString prefix = QStringLiteral(".~tabulon-%1-%2-%3-")
                                      .arg(hostTag())
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(processStart(QCoreApplication::applicationPid()));
    const QString name = prefix + QString::number(++sequence) + QStringLiteral(".part");
    return QDir(QFileInfo(target).absolutePath()).filePath(name);
}

void removeStaleParts(const QString& folder) {
    const QString host = hostTag();
    QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral(".*.part*")}, QDir::Files | QDir::Hidden)) {
        if (isStale(name, host))
            dir.remove(name);
    }
}

int commitPart(const QString& part, const QString& target) {
    if (const int failed = syncPath(part, O_RDONLY))
        return failed;
    if (::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) != 0)
        return errno;
    syncPath(QFileInfo(target).absolutePath(), O_RDONLY | O_DIRECTORY);
    return 0;
}

PartFile::PartFile(QString target) : target_(std::move(target)), part_(partFileBeside(target_)) {}

PartFile::~PartFile() {
    close();
    if (!committed_)
        QFile::remove(part_);
}

bool PartFile::open(OpenMode mode) {
    if (fd_ >= 0 || !(mode & WriteOnly))
        return false;
    fd_ = ::open(QFile::encodeName(part_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        errno_ = errno;
        return false;
    }
    killed_.emplace(part_);
    return QIODevice::open(mode);
}

// Writes are gathered: a PDF writer hands over many small pieces.
qint64 PartFile::writeData(const char* data, qint64 length) {
    if (errno_ != 0)
        return -1;
    if (buffer_.size() + length > kBufferBytes)
        flushBuffer();
    if (length >= kBufferBytes)
        writeAll(data, length);
    else
        buffer_.append(data, length);
    return errno_ == 0 ? length : -1;
}

void PartFile::flushBuffer() {
    writeAll(buffer_.constData(), buffer_.size());
    buffer_.clear();
}

void PartFile::writeAll(const char* data, qint64 length) {
    for (qint64 done = 0; done < length && errno_ == 0;) {
        const ssize_t n = ::write(fd_, data + done, size_t(length - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            errno_ = errno;
        else
            done += n;
    }
}

void PartFile::close() {
    if (fd_ < 0)
        return;
    flushBuffer();
    QIODevice::close();
    if (::close(fd_) != 0 && errno_ == 0)
        errno_ = errno;
    fd_ = -1;
}

bool PartFile::commit() {
    close();
    if (errno_ == 0)
        errno_ = commitPart(part_, target_);
    committed_ = errno_ == 0;
    if (!committed_)
        QFile::remove(part_);
    return committed_;
}

}  // namespace tabulon
