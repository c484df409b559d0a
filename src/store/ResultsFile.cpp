#include "store/ResultsFile.h"

#include "common/KillCleanup.h"
#include "common/SafeFile.h"
#include "store/Database.h"
#include "store/DatabaseCopy.h"
#include "store/EmbeddedSql.h"
#include "store/SqlError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
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

Error saveFailed(const QString& destination, const QString& reason) {
    return Error(tabulon::err::PathFileAccess,
                 QStringLiteral("「%1」に保存できません。\r理由: %2").arg(destination, reason));
}

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

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

// Copies the results file into `workingPath` and checks every page of the copy.
void copyAndCheck(const QString& results, const QString& workingPath, int version) {
    // A results file this program wrote was renamed into place finished and
    // is never opened for writing, so its bytes are the database. A journal
    // or log that another program left beside it is rolled back or replayed
    // in the copy, never in the file. The check below reads every page of
    // the copy.
    QString reason;
    const int rc = copyDatabaseFile(results, workingPath, CopySource::Settled, reason);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        throw ResultsRefused(ResultsKind::Damaged, version, results);
    if (rc != SQLITE_OK)
        throw Error(tabulon::err::PathFileAccess,
                    QStringLiteral("作業用のコピー「%1」を作成できません。\r理由: %2")
                        .arg(workingPath, reason));
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
    const QString folder = QFileInfo(destination).absolutePath();
    removeStaleParts(folder);
    const QString part = partFileBeside(destination);
    const cleanup::Registration killed(part);
    try {
        // Made here first: the engine, refused a new file, tries to open an
        // existing one and then reports that failure ("not found") instead.
        const int fd = ::open(QFile::encodeName(part).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            throw saveFailed(destination, systemReason(errno));
        ::close(fd);
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
        if (const int failed = commitPart(part, destination))
            throw saveFailed(destination, systemReason(failed));
    } catch (const Error& e) {
        removeTemporary(part);
        if (e.number() == tabulon::err::PathFileAccess)
            throw;
        throw saveFailed(destination, e.description());
    } catch (...) {
        removeTemporary(part);
        throw;
    }
}

namespace {

// A file the user named that cannot be read at all says why, instead of
// being called no results file.
void checkReadable(const QString& results) {
    const QFileInfo info(results);
    if (!info.exists())
        throw Error(tabulon::err::FileNotFound,
                    QStringLiteral("ファイル「%1」が見つかりません。").arg(results));
    if (info.isDir())
        throw Error(tabulon::err::PathFileAccess,
                    QStringLiteral("「%1」はフォルダです。解析結果ファイル(.xdb)を指定して下さい。").arg(results));
    const int fd = ::open(QFile::encodeName(results).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error(tabulon::err::PathFileAccess,
                    QStringLiteral("「%1」を読み込めません。\r理由: %2").arg(results, systemReason(errno)));
    ::close(fd);
}

}  // namespace

WorkingCopy openWorkingCopy(const QString& results, const QString& workingPath) {
    checkReadable(results);
    const ResultsHeader header = readResultsHeader(results);
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
