#include "store/Database.h"

#include "store/Columns.h"
#include "store/EmbeddedSql.h"
#include "store/AnalysisTables.h"
#include "store/SqlError.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <sqlite3.h>

namespace tabulon::store {

namespace {

// How long a write waits for another connection's lock before it gives up.
// Short: a lock held longer than this belongs to another program that keeps
// the file open for writing, and the user is told so.
constexpr int kBusyTimeoutMs = 1000;

void exec(sqlite3* db, const char* sql, const QString& context) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqlError(db, rc, context);
}

// Journal in a side file that disappears at each commit, so the database file
// alone is complete whenever no command is writing: it can be copied as a
// results file or opened by the report engine from another connection.
// synchronous=NORMAL syncs once per commit instead of per journal write; a
// power failure can at worst lose the last command's rows, which rerunning the
// analysis rebuilds.
void applyPragmas(sqlite3* db, const QString& path) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    exec(db, "PRAGMA journal_mode=DELETE", path);
    exec(db, "PRAGMA synchronous=NORMAL", path);
}

Error lockedOrForeign(const QString& path) {
    return Error(tabulon::err::DbLocked,
                 QStringLiteral("ファイル '%1' を開けません。他のプロセスが書き込み中か、"
                                "解析データベースではありません。")
                     .arg(path));
}

// Every analysis table present: otherwise the file is some other SQLite file.
bool holdsAnalysisTables(sqlite3* db) {
    for (const char* table : analysisTables)
        if (readColumns(db, QString::fromLatin1(table)).empty())
            return false;
    return true;
}

// A write lock held by another connection shows as SQLITE_BUSY once the busy
// timeout has passed.
bool writeLockFree(sqlite3* db) {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return true;
}

// Display text of one field for queryTexts.
QString fieldText(sqlite3_stmt* stmt, int c) {
    switch (sqlite3_column_type(stmt, c)) {
    case SQLITE_NULL: return QString();
    case SQLITE_INTEGER: return QString::number(sqlite3_column_int64(stmt, c));
    case SQLITE_FLOAT: {
        const double d = sqlite3_column_double(stmt, c);
        if (d == static_cast<double>(static_cast<long long>(d)))
            return QString::number(static_cast<long long>(d));
        return QString::number(d, 'g', 15);
    }
    default: {
        const auto* text = static_cast<const QChar*>(sqlite3_column_text16(stmt, c));
        return QString(text, sqlite3_column_bytes16(stmt, c) / 2);
    }
    }
}

int compareUtf16(void* compare, int lenA, const void* a, int lenB, const void* b) {
    // SQLITE_UTF16 hands native-order UTF-16 without a terminator; lengths in bytes.
    return (*static_cast<Database::Compare*>(compare))(
        QStringView(static_cast<const QChar*>(a), lenA / 2),
        QStringView(static_cast<const QChar*>(b), lenB / 2));
}

void deleteCompare(void* compare) {
    delete static_cast<Database::Compare*>(compare);
}

}  // namespace

Database::Database(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

Database::~Database() {
    try {
        commit();
    } catch (const Error& e) {
        qWarning("tabulon: rows of %s not committed: %s", qPrintable(path_), e.what());
    }
    sqlite3_close_v2(db_);
}

void Database::create(const QString& path) {
    if (QFileInfo::exists(path))
        throw Error(err::AlreadyExists,
                    QStringLiteral("データベース '%1' は既に存在します。").arg(path));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    try {
        if (rc != SQLITE_OK)
            throw sqlError(db, rc, path);
        applyPragmas(db, path);
        exec(db, "BEGIN", path);
        exec(db, schemaSql(), path);
        exec(db, reportDefinitionsSql(), path);
        exec(db, "COMMIT", path);
    } catch (...) {
        sqlite3_close_v2(db);
        QFile::remove(path);
        throw;
    }
    sqlite3_close_v2(db);
}

std::unique_ptr<Database> Database::open(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(tabulon::err::DbNotFound,
                    QStringLiteral("ファイル '%1' が見つかりません。").arg(path));
    if (!info.isFile())
        throw lockedOrForeign(path);
    sqlite3* db = nullptr;
    // One thread uses the connection: no per-call mutex.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    // Owned from here on, so every refusal below closes the connection.
    std::unique_ptr<Database> database(new Database(db, path));
    if (rc != SQLITE_OK)
        throw lockedOrForeign(path);
    try {
        applyPragmas(db, path);
        if (!holdsAnalysisTables(db))
            throw lockedOrForeign(path);
    } catch (const Error&) {
        throw lockedOrForeign(path);
    }
    if (!sqlite3_db_readonly(db, "main") && !writeLockFree(db))
        throw lockedOrForeign(path);
    return database;
}

// The engine's own autocommit state is the truth: a failure such as a full
// disk ends a transaction without a COMMIT.
void Database::beginWrite() {
    if (sqlite3_get_autocommit(db_))
        exec(db_, "BEGIN IMMEDIATE", path_);
}

void Database::commit() {
    if (db_ && !sqlite3_get_autocommit(db_))
        exec(db_, "COMMIT", path_);
}

void Database::clearTable(const QString& table) {
    QString quoted = table;
    quoted.replace(u'"', QStringLiteral("\"\""));
    execute(QStringLiteral("DELETE FROM \"%1\"").arg(quoted));
}

void Database::execute(const QString& statement) {
    beginWrite();
    const int rc = sqlite3_exec(db_, statement.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqlError(db_, rc, statement);
}

std::unique_ptr<Table> Database::openTable(const QString& table) {
    return std::unique_ptr<Table>(new Table(*this, table));
}

std::vector<std::vector<QVariant>> Database::query(const QString& sql,
                                                   const std::vector<QVariant>& args) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw sqlError(db_, rc, sql);
    std::vector<SqlValue> values;
    values.reserve(args.size());
    for (const QVariant& arg : args)
        values.push_back(plainValue(arg));
    for (size_t i = 0; i < values.size(); ++i)
        bindValue(stmt, int(i + 1), values[i]);
    std::vector<std::vector<QVariant>> rows;
    const int columns = sqlite3_column_count(stmt);
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::vector<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.push_back(columnValue(stmt, c));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        const Error error = sqlError(db_, rc, sql);
        sqlite3_finalize(stmt);
        throw error;
    }
    sqlite3_finalize(stmt);
    return rows;
}

Database::Texts Database::queryTexts(const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw sqlError(db_, rc, sql);
    Texts texts;
    const int columns = sqlite3_column_count(stmt);
    for (int c = 0; c < columns; ++c)
        texts.names << QString::fromUtf8(sqlite3_column_name(stmt, c));
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        for (int c = 0; c < columns; ++c)
            texts.cells.push_back(fieldText(stmt, c));
    if (rc != SQLITE_DONE) {
        const Error error = sqlError(db_, rc, sql);
        sqlite3_finalize(stmt);
        throw error;
    }
    sqlite3_finalize(stmt);
    return texts;
}

void Database::addCollation(const QString& name, Compare compare) {
    auto* held = new Compare(std::move(compare));
    const int rc = sqlite3_create_collation_v2(db_, name.toUtf8().constData(), SQLITE_UTF16, held,
                                               compareUtf16, deleteCompare);
    if (rc != SQLITE_OK) {
        delete held;  // a failed registration leaves the function to its caller
        throw sqlError(db_, rc, name);
    }
}

CommandScope::~CommandScope() {
    try {
        db_.commit();
    } catch (const Error& e) {
        qWarning("tabulon: rows of %s not committed: %s", qPrintable(db_.path()), e.what());
    }
}

}  // namespace tabulon::store
