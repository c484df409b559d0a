#include "store/DatabaseCopy.h"

#include "common/SafeFile.h"
#include "store/Database.h"
#include "store/ResultsFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulon::store {

// One way to copy an open database: the results file's (backup beside the
// target, synced, renamed into place).
void Database::copyTo(const QString& destination) { writeResultsFile(*this, destination); }

namespace {

// How long a copy of the live database waits for a writer to finish.
constexpr int kReadWaitMs = 5000;
const char* const kSideFiles[] = {"-journal", "-wal", "-shm"};

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

// The bytes of one file into a new file; 0 or errno.
int copyBytes(const QString& from, const QString& to) {
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        const int failed = errno;
        ::close(in);
        return failed;
    }
    int failed = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed = n < 0 ? errno : 0;
            break;
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0) {
                failed = errno;
                break;
            }
            done += w;
        }
        if (failed)
            break;
    }
    ::close(in);
    if (::close(out) != 0 && !failed)
        failed = errno;
    return failed;
}

void removeSideFiles(const QString& path) {
    for (const char* suffix : kSideFiles)
        QFile::remove(path + QLatin1String(suffix));
}

// The live database read under the engine's read lock.
int lockedCopy(const QString& source, const QString& target, QString& reason) {
    Connection in;
    int rc = sqlite3_open_v2(source.toUtf8().constData(), &in.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(in.db, kReadWaitMs);
        return backupInto(in.db, target, reason);
    }
    reason = engineReason(in.db, rc);
    return rc;
}

// The file and its side files copied as they are; the copy then replays or
// rolls back what the side files hold, as the engine does on opening.
int recoveredCopy(const QString& source, const QString& target, QString& reason) {
    int failed = copyBytes(source, target);
    bool sideFiles = false;
    for (const char* suffix : {"-journal", "-wal"}) {
        const QString side = source + QLatin1String(suffix);
        if (failed || !QFile::exists(side))
            continue;
        failed = copyBytes(side, target + QLatin1String(suffix));
        sideFiles = true;
    }
    if (failed) {
        reason = systemReason(failed);
        return SQLITE_CANTOPEN;
    }
    // A copy of a read-only file is read-only too; the copy is ours.
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    if (!sideFiles)
        return SQLITE_OK;
    Connection copy;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &copy.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    // The first read recovers; leaving the log mode folds a log in.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(copy.db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        reason = engineReason(copy.db, rc);
    return rc;
}

}  // namespace

QString engineReason(sqlite3* db, int rc) {
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return systemReason(ENOSPC);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("ファイルが壊れています。");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("他のプログラムが書き込み中です。");
    case SQLITE_NOMEM:
        return systemReason(ENOMEM);
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_IOERR:
        if (db && sqlite3_system_errno(db) != 0)
            return systemReason(sqlite3_system_errno(db));
        return (rc & 0xff) == SQLITE_IOERR ? systemReason(EIO) : systemReason(EACCES);
    default:
        return QStringLiteral("データベースの処理に失敗しました (%1)。")
            .arg(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    }
}

int backupInto(sqlite3* source, const QString& target, QString& reason) {
    Connection out;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &out.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        // No sync per write: a saved file is synced once, as a whole, before
        // it is renamed; a working copy needs no sync at all.
        sqlite3_exec(out.db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        sqlite3_backup* backup = sqlite3_backup_init(out.db, "main", source, "main");
        if (!backup) {
            rc = sqlite3_errcode(out.db);
        } else {
            rc = sqlite3_backup_step(backup, -1);
            const int finish = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? finish : rc;
        }
    }
    if (rc != SQLITE_OK) {
        // A failure of the source (a hot journal, a damaged page) names it.
        const int sourceRc = sqlite3_errcode(source);
        reason = sourceRc != SQLITE_OK && sourceRc != SQLITE_DONE ? engineReason(source, sourceRc)
                                                                 : engineReason(out.db, rc);
    }
    return rc;
}

int copyDatabaseFile(const QString& source, const QString& target, CopySource kind, QString& reason) {
    QFile::remove(target);
    removeSideFiles(target);
    const bool sideFiles = QFile::exists(source + QStringLiteral("-journal")) ||
                           QFile::exists(source + QStringLiteral("-wal"));
    int rc = SQLITE_READONLY;
    if (kind == CopySource::Live && !sideFiles)
        rc = lockedCopy(source, target, reason);
    // A write interrupted since the look for side files leaves a journal the
    // read-only connection may not roll back: copy it with the file.
    if ((rc & 0xff) == SQLITE_READONLY) {
        QFile::remove(target);
        rc = recoveredCopy(source, target, reason);
    }
    removeSideFiles(target);
    if (rc != SQLITE_OK)
        QFile::remove(target);
    return rc;
}

}  // namespace tabulon::store
