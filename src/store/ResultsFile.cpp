#include "store/ResultsFile.h"

#include "store/Database.h"
#include "store/EmbeddedSql.h"
#include "store/SqlError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace tabulon::store {

namespace {

// The 100-byte database header: the magic text, then big-endian fields.
constexpr int kHeaderSize = 100;
constexpr int kUserVersionOffset = 60;
constexpr int kApplicationIdOffset = 68;

quint32 bigEndian32(const QByteArray& bytes, int offset) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | quint8(bytes[offset + i]);
    return v;
}

QString errnoReason(int number) {
    switch (number) {
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("書き込みの権限がありません。");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません。");
    default:
        return QString::fromLocal8Bit(std::strerror(number));
    }
}

// Why the engine could not write `db`, in the user's words.
QString engineReason(sqlite3* db, int rc) {
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return errnoReason(ENOSPC);
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_IOERR:
        if (db && sqlite3_system_errno(db) != 0)
            return errnoReason(sqlite3_system_errno(db));
        return (rc & 0xff) == SQLITE_IOERR ? QString::fromUtf8(sqlite3_errstr(rc))
                                           : errnoReason(EACCES);
    default:
        return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    }
}

Error saveFailed(const QString& destination, const QString& reason) {
    return Error(tabulon::err::PathFileAccess,
                 QStringLiteral("「%1」に保存できません。\r理由: %2").arg(destination, reason));
}

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

// The engine's online backup of `source` into a new file at `target`: page by
// page through the source connection, so it is consistent although the file
// stays open. Returns SQLITE_OK or the failure, with `reason` filled.
int backupInto(sqlite3* source, const QString& target, QString& reason) {
    Connection out;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &out.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        // No sync per write: the saved file is synced once, as a whole,
        // before it is renamed; a working copy needs no sync at all.
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
    if (rc != SQLITE_OK)
        reason = engineReason(out.db, rc);
    return rc;
}

// Flushes a file (or a folder, for the rename) to the disk.
bool syncPath(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some folders cannot be synced
    ::close(fd);
    return ok;
}

void removeTemporary(const QString& part) {
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
}

void stamp(Database& copy) {
    copy.execute(QStringLiteral("PRAGMA application_id=%1").arg(kResultsApplicationId));
    copy.execute(QStringLiteral("PRAGMA user_version=%1").arg(kResultsFormatVersion));
    copy.commit();
}

// Creates the analysis tables `copy` lacks, as the current schema defines them.
QStringList addMissingTables(sqlite3* copy) {
    Connection schema;
    sqlite3_open_v2(":memory:", &schema.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr);
    if (sqlite3_exec(schema.db, schemaSql(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw sqlError(schema.db, sqlite3_errcode(schema.db), QStringLiteral("schema"));
    QStringList added;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(schema.db,
                       "SELECT name, sql FROM sqlite_master WHERE type='table' AND name LIKE 'T_Xl%'",
                       -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        const auto* sql = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        if (sqlite3_table_column_metadata(copy, "main", name, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr) == SQLITE_OK)
            continue;
        const int rc = sqlite3_exec(copy, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(stmt);
            throw sqlError(copy, rc, QString::fromUtf8(name));
        }
        added << QString::fromUtf8(name);
    }
    sqlite3_finalize(stmt);
    return added;
}

// Copies a file another program left with a journal or log beside it: the
// engine reads it as it stands committed.
int engineCopy(const QString& results, const QString& workingPath, QString& reason) {
    Connection source;
    const int rc = sqlite3_open_v2(results.toUtf8().constData(), &source.db,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    return rc == SQLITE_OK ? backupInto(source.db, workingPath, reason) : rc;
}

// Copies the results file into `workingPath` and checks every page of the copy.
void copyAndCheck(const QString& results, const QString& workingPath, int version) {
    // A results file this program wrote was renamed into place finished and
    // is never opened for writing, so its bytes are the database; the fast
    // file copy serves. The check below reads every page of the copy.
    const bool sideFiles = QFile::exists(results + QStringLiteral("-journal")) ||
                           QFile::exists(results + QStringLiteral("-wal"));
    QString reason;
    int rc = SQLITE_OK;
    if (sideFiles) {
        rc = engineCopy(results, workingPath, reason);
    } else if (QFile source(results); !source.copy(workingPath)) {
        rc = SQLITE_CANTOPEN;
        reason = source.errorString();
    }
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        throw ResultsRefused(ResultsKind::Damaged, version, results);
    if (rc != SQLITE_OK)
        throw Error(tabulon::err::PathFileAccess,
                    QStringLiteral("作業用のコピー「%1」を作成できません。\r理由: %2")
                        .arg(workingPath, reason));
    // A copy of a read-only file is read-only too; the working copy is ours.
    QFile::setPermissions(workingPath, QFile::ReadOwner | QFile::WriteOwner);
    Connection copy;
    sqlite3_open_v2(workingPath.toUtf8().constData(), &copy.db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_prepare_v2(copy.db, "PRAGMA quick_check(1)", -1, &stmt, nullptr) == SQLITE_OK &&
              sqlite3_step(stmt) == SQLITE_ROW &&
              qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok") == 0;
    sqlite3_finalize(stmt);
    if (!ok)
        throw ResultsRefused(ResultsKind::Damaged, version, results);
    // An unmarked file is ours only when it holds the saved marks.
    if (sqlite3_table_column_metadata(copy.db, "main", "T_XlSaveFlag", nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr) != SQLITE_OK)
        throw ResultsRefused(version == 0 ? ResultsKind::Foreign : ResultsKind::Damaged, version,
                             results);
}

}  // namespace

ResultsHeader readResultsHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kHeaderSize);
    // Jet 3/4 and its successor name themselves from byte 4 of the first page.
    if (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB")
        return {ResultsKind::Jet, 0};
    if (head.size() < kHeaderSize || !head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return {};
    const int version = int(bigEndian32(head, kUserVersionOffset));
    const quint32 id = bigEndian32(head, kApplicationIdOffset);
    // No id at all: a results file written before the id was introduced, or
    // any other SQLite file; the tables decide (openWorkingCopy).
    if (id == 0)
        return {ResultsKind::Older, 0};
    if (id != quint32(kResultsApplicationId))
        return {ResultsKind::Foreign, version};
    if (version > kResultsFormatVersion)
        return {ResultsKind::Newer, version};
    return {version < kResultsFormatVersion ? ResultsKind::Older : ResultsKind::Current, version};
}

namespace {

QString refusalText(ResultsKind kind, int version, const QString& path) {
    switch (kind) {
    case ResultsKind::Jet:
        return QStringLiteral("「%1」は旧形式(Jet データベース)の解析結果ファイルです。\r"
                              "この形式は読み込めません。")
            .arg(path);
    case ResultsKind::Newer:
        return QStringLiteral("「%1」は新しい形式(形式バージョン %2)の解析結果ファイルです。\r"
                              "このバージョンでは読み込めません(読み込めるのは形式バージョン %3 まで)。")
            .arg(path)
            .arg(version)
            .arg(kResultsFormatVersion);
    case ResultsKind::Damaged:
        return QStringLiteral("「%1」は壊れているため読み込めません。").arg(path);
    default:
        return QStringLiteral("「%1」は解析結果ファイル(.xdb)ではありません。").arg(path);
    }
}

}  // namespace

ResultsRefused::ResultsRefused(ResultsKind kind, int version, const QString& path)
    : Error(kUnrecognisedFormat, refusalText(kind, version, path)), kind_(kind) {}

void writeResultsFile(Database& live, const QString& destination,
                      const std::function<void(Database& copy)>& prepare) {
    live.commit();
    const QFileInfo target(destination);
    const QString folder = target.absolutePath();
    const QString part = QDir(folder).filePath(
        QStringLiteral(".%1.%2.part").arg(target.fileName()).arg(QCoreApplication::applicationPid()));
    QFile::remove(part);
    try {
        QString reason;
        if (backupInto(live.handle(), part, reason) != SQLITE_OK)
            throw saveFailed(destination, reason);
        {
            auto copy = Database::open(part);
            if (prepare) {
                CommandScope scope(*copy);
                prepare(*copy);
            }
            stamp(*copy);
        }
        if (!syncPath(part, O_RDONLY))
            throw saveFailed(destination, errnoReason(errno));
        if (::rename(QFile::encodeName(part).constData(), QFile::encodeName(destination).constData()) != 0)
            throw saveFailed(destination, errnoReason(errno));
    } catch (const Error& e) {
        removeTemporary(part);
        if (e.number() == tabulon::err::PathFileAccess)
            throw;
        throw saveFailed(destination, e.description());
    } catch (...) {
        removeTemporary(part);
        throw;
    }
    syncPath(folder, O_RDONLY | O_DIRECTORY);
}

WorkingCopy openWorkingCopy(const QString& results, const QString& workingPath) {
    const QFileInfo info(results);
    if (!info.exists())
        throw Error(tabulon::err::FileNotFound,
                    QStringLiteral("ファイル「%1」が見つかりません。").arg(results));
    const ResultsHeader header = info.isFile() ? readResultsHeader(results) : ResultsHeader{};
    if (header.kind != ResultsKind::Current && header.kind != ResultsKind::Older)
        throw ResultsRefused(header.kind, header.version, results);
    QFile::remove(workingPath);
    WorkingCopy out{workingPath, {}};
    try {
        copyAndCheck(results, workingPath, header.version);
        Connection copy;
        sqlite3_open_v2(workingPath.toUtf8().constData(), &copy.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        out.addedTables = addMissingTables(copy.db);
    } catch (...) {
        QFile::remove(workingPath);
        throw;
    }
    // The copy is now in the current format.
    auto db = Database::open(workingPath);
    stamp(*db);
    return out;
}

}  // namespace tabulon::store
