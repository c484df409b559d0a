#pragma once
// The estate database: SQLite with its own schema (schema.sql), told apart
// from every other SQLite file by its application id, its format in
// user_version. It is written directly through SQLite rather than through the
// store's Database, which serves the analysis tables of one workbook (fixed
// schema, one transaction per command, the old engine's dialect): the estate
// needs upserts by path, batches committed as they fill, a write-ahead log and
// attached part databases.
//
// One run writes at a time: the writer holds an exclusive lock on the file
// for its whole life, so a second run stops at once with a message instead of
// reading the same files again between the first one's batches.
#include "inventory/Facts.h"

#include <QHash>
#include <QString>
#include <memory>

struct sqlite3;

namespace tabulon::inventory {

// PRAGMA application_id of an estate database: "TbIv".
inline constexpr int kEstateApplicationId = 0x54624976;
inline constexpr int kEstateFormatVersion = 1;

// What the database knows of a file, for deciding what to read again.
struct IndexRow {
    qint64 id = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    FileKind kind = FileKind::Other;
    QString sha256;
    bool vanished = false;
};

struct RunCounts {
    qint64 seen = 0, read = 0, failed = 0, vanished = 0;
};

class EstateDb {
public:
    enum class Access { Write, Read };
    // Opens (Write: creates when missing) the database. Throws tabulon::Error
    // with a Japanese description when the file is another program's, of a
    // newer format, on a network file system (Write) or in use by another run.
    static std::unique_ptr<EstateDb> open(const QString& path, Access access);
    ~EstateDb();

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Batches: rows written between begin() and commit() land together.
    void begin();
    void commit();
    bool inTransaction() const;

    qint64 startRun(const QString& mode, const QString& scope);
    void finishRun(qint64 run, const RunCounts& counts);
    void addProblem(qint64 run, const QString& path, const QString& reason);

    // Every file row by path.
    QHash<QString, IndexRow> index() const;
    // Replaces the rows of facts.path (its id stays, so links to it hold).
    void store(const FileFacts& facts, qint64 run);
    void setVanished(const QString& path, bool vanished);

    // Points every link finding at the estate's file it names (see
    // LinkResolution.h); returns the links resolved.
    qint64 resolveLinks();

    // The statement that writes file rows by path, replacing a row of the same
    // path: from bound values, or from the rows of the table `source`
    // (which has the file table's columns).
    static QString fileUpsertSql(const QString& source);

    // Makes the file self-contained (the log folded in, no side files), as a
    // finished shard is published.
    void closeLog();

private:
    EstateDb(sqlite3* db, QString path, int lockFd);
    sqlite3* db_;
    QString path_;
    int lockFd_;
};

// What the first bytes of a file say: an estate database of this program
// (its version), none at all, or something else.
struct EstateHeader {
    enum class Kind { Missing, Empty, Estate, OtherSqlite, NotSqlite } kind = Kind::Missing;
    int version = 0;
};
EstateHeader readEstateHeader(const QString& path);

// The time as the database keeps it: ISO 8601 in UTC, to the second.
QString nowText();

}  // namespace tabulon::inventory
