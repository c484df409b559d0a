#include "inventory/Walk.h"

#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulon::inventory {

namespace {

qint64 nanoseconds(const struct timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; }

QString reasonText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Reading a folder updates its access time like reading a file does.
int openFolder(const QByteArray& path) {
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.constData(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path.constData(), flags);
    return fd;
}

class Walker {
public:
    Walker(const QStringList& excludes, WalkResult& out) : excludes_(excludes), out_(out) {}

    void root(const QString& root) {
        struct stat st {};
        if (::lstat(QFile::encodeName(root).constData(), &st) != 0) {
            problem(root, QStringLiteral("開けません（%1）").arg(reasonText(errno)));
            return;
        }
        if (S_ISREG(st.st_mode)) {
            addFile(root, st);
            return;
        }
        if (S_ISDIR(st.st_mode)) folder(root, st.st_dev);
    }

private:
    void problem(const QString& path, const QString& reason) { out_.problems.push_back({path, reason}); }

    void addFile(const QString& path, const struct stat& st) {
        out_.files.push_back({path, qint64(st.st_size), nanoseconds(st.st_mtim)});
    }

    void folder(const QString& top, dev_t device) {
        std::vector<QString> pending{top};
        while (!pending.empty()) {
            const QString path = pending.back();
            pending.pop_back();
            const QByteArray native = QFile::encodeName(path);
            const int fd = openFolder(native);
            if (fd < 0) {
                problem(path, QStringLiteral("フォルダを開けません（%1）").arg(reasonText(errno)));
                continue;
            }
            struct stat self {};
            if (::fstat(fd, &self) != 0 || !visited_.insert({self.st_dev, self.st_ino}).second) {
                ::close(fd);
                continue;  // entered before, through another mount of it
            }
            DIR* dir = ::fdopendir(fd);
            if (!dir) {
                ::close(fd);
                continue;
            }
            errno = 0;
            while (const dirent* e = ::readdir(dir)) {
                if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
                const QString name = QFile::decodeName(e->d_name);
                const QString child = path == u"/" ? u'/' + name : path + u'/' + name;
                if (QFile::encodeName(child) != native + (path == u"/" ? "" : "/") + e->d_name) {
                    problem(child, QStringLiteral("ファイル名を読めません（UTF-8 ではありません）"));
                    continue;
                }
                if (isExcluded(child, excludes_)) continue;
                struct stat st {};
                if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                    problem(child, QStringLiteral("情報を読めません（%1）").arg(reasonText(errno)));
                    continue;
                }
                if (S_ISREG(st.st_mode)) {
                    addFile(child, st);
                } else if (S_ISDIR(st.st_mode)) {
                    if (st.st_dev == device) pending.push_back(child);
                    else problem(child, QStringLiteral("別のファイルシステムのため対象外です"));
                }
                // Symbolic links, devices, pipes and sockets are passed over.
            }
            ::closedir(dir);
        }
    }

    const QStringList& excludes_;
    WalkResult& out_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

}  // namespace

QStringList canonicalRoots(const QStringList& roots) {
    QStringList out;
    for (const QString& r : roots) {
        const QString canonical = QFileInfo(r).canonicalFilePath();
        if (canonical.isEmpty())
            throw Error(err::FileNotFound, QStringLiteral("フォルダ '%1' が見つかりません。").arg(r));
        out << canonical;
    }
    return out;
}

bool isExcluded(const QString& path, const QStringList& patterns) {
    for (const QString& pattern : patterns) {
        const QByteArray p = QFile::encodeName(pattern);
        const QByteArray subject = QFile::encodeName(pattern.contains(u'/') ? path : path.section(u'/', -1));
        if (::fnmatch(p.constData(), subject.constData(), 0) == 0) return true;
    }
    return false;
}

bool isUnder(const QString& path, const QString& root) {
    if (root == u"/") return path.startsWith(u'/');
    return path == root || (path.startsWith(root) && path.at(root.size()) == u'/');
}

WalkResult walk(const QStringList& roots, const QStringList& excludes) {
    WalkResult out;
    Walker walker(excludes, out);
    for (const QString& root : roots) walker.root(root);
    std::sort(out.files.begin(), out.files.end(), [](const WalkEntry& a, const WalkEntry& b) { return a.path < b.path; });
    // Overlapping roots give a file once.
    out.files.erase(std::unique(out.files.begin(), out.files.end(),
                                [](const WalkEntry& a, const WalkEntry& b) { return a.path == b.path; }),
                    out.files.end());
    return out;
}

bool statFile(const QString& path, WalkEntry& entry, int* error) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        if (error) *error = errno;
        return false;
    }
    if (error) *error = 0;
    if (!S_ISREG(st.st_mode)) return false;
    entry = {path, qint64(st.st_size), nanoseconds(st.st_mtim)};
    return true;
}

}  // namespace tabulon::inventory
