#include "intake/RunFolder.h"

#include "common/Error.h"
#include "common/SafeFile.h"
#include "store/DatabaseCopy.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulon::intake {

namespace {

const QString kLockName = QStringLiteral("lock");
// A folder without its lock file is one being made this instant, or one of a
// run killed in that instant; the latter goes after this long.
constexpr qint64 kUnlockedSeconds = 3600;

[[noreturn]] void cannotMake(const QString& folder, int errorNumber) {
    throw Error(err::PathFileAccess, QStringLiteral("作業フォルダ「%1」を作成できません。\r理由: %2")
                                         .arg(folder, systemReason(errorNumber)));
}

// The run of the folder has ended when nobody holds its lock.
bool hasEnded(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder + u'/' + kLockName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT &&
               QFileInfo(folder).lastModified().secsTo(QDateTime::currentDateTime()) > kUnlockedSeconds;
    // Removed while the lock is held, so two runs never clean one folder
    // into each other's new one.
    const bool ended = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (ended)
        QDir(folder).removeRecursively();
    ::close(fd);
    return ended;
}

}  // namespace

QString RunFolder::parentOf(const AppPaths& program) { return program.appFolder + QStringLiteral("runs/"); }

int RunFolder::removeEnded(const AppPaths& program) {
    int removed = 0;
    const QDir runs(parentOf(program));
    for (const QString& name : runs.entryList({QStringLiteral("run-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (hasEnded(runs.filePath(name)))
            ++removed;
    }
    return removed;
}

RunFolder::RunFolder(const AppPaths& program) : program_(program) {
    removeEnded(program);
    const QString parent = parentOf(program);
    if (const int failed = makeFolders(parent))
        cannotMake(parent, failed);
    QByteArray name = QFile::encodeName(parent) + "run-XXXXXX";
    if (!::mkdtemp(name.data()))
        cannotMake(parent, errno);
    path_ = QFile::decodeName(name) + u'/';
    killed_.emplace(QFile::decodeName(name));
    // The lock is taken under another name and renamed: a folder shows its
    // lock file only once the lock is held.
    const QByteArray fresh = name + "/lock.new";
    lock_ = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX) != 0 ||
        ::rename(fresh.constData(), QFile::encodeName(path_ + kLockName).constData()) != 0) {
        const int failed = errno;
        QDir(path_).removeRecursively();
        if (lock_ >= 0)
            ::close(lock_);
        cannotMake(path_, failed);
    }
}

RunFolder::~RunFolder() {
    QDir(path_).removeRecursively();
    ::close(lock_);
}

const AppPaths& RunFolder::ownPaths() {
    if (own_)
        return *own_;
    AppPaths paths = program_;
    paths.dbPath = path_ + QStringLiteral("Tabulon2.mdb");
    paths.tempFolder = path_ + QStringLiteral("temp/");
    if (::mkdir(QFile::encodeName(paths.tempFolder).constData(), 0777) != 0)
        cannotMake(paths.tempFolder, errno);
    QString reason;
    if (store::copyDatabaseFile(program_.dbPath, paths.dbPath, store::CopySource::Live, reason) != 0)
        throw Error(err::PathFileAccess,
                    QStringLiteral("解析データベース「%1」を作業フォルダにコピーできません。\r理由: %2")
                        .arg(program_.dbPath, reason));
    own_ = paths;
    return *own_;
}

}  // namespace tabulon::intake
