#include "inventory/EstateDb.h"

#include "common/Error.h"
#include "inventory/EmbeddedSql.h"
#include "inventory/LinkResolution.h"
#include "inventory/NetworkFs.h"
#include "inventory/Sql.h"
#include "store/SqlError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace tabulon::inventory {

namespace {

constexpr int kBusyTimeoutMs = 5000;

[[noreturn]] void refuse(int number, const QString& text) { throw Error(number, text); }

quint32 bigEndian(const QByteArray& b, int at) {
    return (quint32(uint8_t(b[at])) << 24) | (quint32(uint8_t(b[at + 1])) << 16) |
           (quint32(uint8_t(b[at + 2])) << 8) | quint32(uint8_t(b[at + 3]));
}

// The write lock of one run: flock() on the database file, apart from the
// fcntl() locks SQLite takes, released when the descriptor closes (also
// when the process is killed).
int takeRunLock(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        refuse(err::PathFileAccess, QStringLiteral("データベース '%1' に書き込めません（%2）。")
                                        .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        refuse(err::DbLocked, QStringLiteral("データベース '%1' は別の inventory が使用中です。"
                                             "終わるのを待ってから実行してください。").arg(path));
    }
    return fd;
}

void create(sqlite3* db) {
    exec(db, QStringLiteral("BEGIN"));
    exec(db, QString::fromUtf8(schemaSql()));
    exec(db, QStringLiteral("PRAGMA application_id = %1").arg(kEstateApplicationId));
    exec(db, QStringLiteral("PRAGMA user_version = %1").arg(kEstateFormatVersion));
    Statement meta(db, QStringLiteral("INSERT INTO meta (key, value) VALUES (?, ?)"));
    meta.bind(QStringLiteral("created")).bind(nowText()).run();
    meta.bind(QStringLiteral("program")).bind(QStringLiteral("Tabulon %1").arg(QCoreApplication::applicationVersion())).run();
    exec(db, QStringLiteral("COMMIT"));
}

QVariant countOrNull(bool read, qint64 n) { return read ? QVariant(n) : QVariant(); }

// The columns of a file row, id and vanished_at apart, in the order store()
// binds them.
const QStringList kFileColumns{
    "path", "size", "mtime", "kind", "sha256", "format", "encrypted", "default_password", "vba", "vba_locked",
    "vba_error", "worksheets", "chart_sheets", "macro_sheets", "dialog_sheets", "hidden_sheets",
    "very_hidden_sheets", "used_cells", "formula_cells", "notes", "defined_names", "external_links",
    "shapes_with_macros", "vba_modules", "vba_lines", "vba_procedures", "autorun_macros", "warnings",
    "warning_text", "read_ms", "error", "error_detail", "scanned_at", "run_id"};

}  // namespace

QString EstateDb::fileUpsertSql(const QString& source) {
    QStringList updates;
    for (const QString& c : kFileColumns.mid(1)) updates << QStringLiteral("%1 = excluded.%1").arg(c);
    const QString columns = kFileColumns.join(QStringLiteral(", "));
    const QString rows = source.isEmpty()
        ? QStringLiteral("VALUES (%1, NULL)").arg(QStringList(kFileColumns.size(), QStringLiteral("?")).join(u','))
        : QStringLiteral("SELECT %1, vanished_at FROM %2 WHERE true").arg(columns, source);
    return QStringLiteral("INSERT INTO file (%1, vanished_at) %2 ON CONFLICT (path) DO UPDATE SET %3, vanished_at = excluded.vanished_at")
        .arg(columns, rows, updates.join(QStringLiteral(", ")));
}

QString nowText() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate); }

EstateHeader readEstateHeader(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {EstateHeader::Kind::Missing, 0};
    if (!file.open(QIODevice::ReadOnly)) return {EstateHeader::Kind::NotSqlite, 0};
    const QByteArray head = file.read(100);
    if (head.isEmpty()) return {EstateHeader::Kind::Empty, 0};
    if (head.size() < 100 || !head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return {EstateHeader::Kind::NotSqlite, 0};
    // No schema was ever committed (the schema cookie is 0): a database whose
    // making was cut short, empty and ours to make again.
    if (bigEndian(head, 40) == 0) return {EstateHeader::Kind::Empty, 0};
    if (bigEndian(head, 68) != quint32(kEstateApplicationId)) return {EstateHeader::Kind::OtherSqlite, 0};
    return {EstateHeader::Kind::Estate, int(bigEndian(head, 60))};
}

std::unique_ptr<EstateDb> EstateDb::open(const QString& given, Access access) {
    const QString path = QFileInfo(given).absoluteFilePath();
    const EstateHeader header = readEstateHeader(path);
    switch (header.kind) {
    case EstateHeader::Kind::Missing:
    case EstateHeader::Kind::Empty:
        if (access == Access::Read)
            refuse(err::DbNotFound, QStringLiteral("データベース '%1' が見つかりません。").arg(path));
        break;
    case EstateHeader::Kind::Estate:
        if (header.version > kEstateFormatVersion)
            refuse(err::DbLocked, QStringLiteral("データベース '%1' はこのプログラムより新しい形式（%2）です。")
                                      .arg(path).arg(header.version));
        break;
    case EstateHeader::Kind::OtherSqlite:
    case EstateHeader::Kind::NotSqlite:
        refuse(err::DbLocked, QStringLiteral("'%1' は資産目録（inventory）のデータベースではありません。").arg(path));
    }
    int lockFd = -1;
    if (access == Access::Write) {
        if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
            refuse(err::PathFileAccess, QStringLiteral("フォルダ '%1' がありません。").arg(QFileInfo(path).absolutePath()));
        const QString network = networkFileSystem(QFileInfo(path).absolutePath());
        if (!network.isEmpty()) refuse(err::PathFileAccess, networkRefusal(path, network));
        lockFd = takeRunLock(path);
    }
    sqlite3* db = nullptr;
    const int flags = access == Access::Write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    std::unique_ptr<EstateDb> estate(new EstateDb(db, path, lockFd));
    if (rc != SQLITE_OK) throw store::sqlError(db, rc, path);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    exec(db, QStringLiteral("PRAGMA foreign_keys = ON"));
    if (access == Access::Write) {
        // Made before the log is switched on, so the file's own header
        // carries the application id from the first commit (with the log, it
        // would stay in the log until a checkpoint).
        if (header.kind != EstateHeader::Kind::Estate) create(db);
        // Commits append to the log instead of rewriting pages, so batches
        // stay cheap; a killed run leaves every committed batch in place.
        exec(db, QStringLiteral("PRAGMA journal_mode = WAL"));
        exec(db, QStringLiteral("PRAGMA synchronous = NORMAL"));
    }
    return estate;
}

EstateDb::EstateDb(sqlite3* db, QString path, int lockFd) : db_(db), path_(std::move(path)), lockFd_(lockFd) {}

EstateDb::~EstateDb() {
    if (inTransaction()) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    if (lockFd_ >= 0) ::close(lockFd_);
}

void EstateDb::begin() {
    if (!inTransaction()) exec(db_, QStringLiteral("BEGIN IMMEDIATE"));
}

void EstateDb::commit() {
    if (inTransaction()) exec(db_, QStringLiteral("COMMIT"));
}

bool EstateDb::inTransaction() const { return !sqlite3_get_autocommit(db_); }

qint64 EstateDb::startRun(const QString& mode, const QString& scope) {
    Statement s(db_, QStringLiteral("INSERT INTO run (started, host, mode, scope) VALUES (?, ?, ?, ?)"));
    s.bind(nowText()).bind(QSysInfo::machineHostName()).bind(mode).bind(scope).run();
    return sqlite3_last_insert_rowid(db_);
}

void EstateDb::finishRun(qint64 run, const RunCounts& c) {
    Statement s(db_, QStringLiteral("UPDATE run SET finished = ?, files_seen = ?, files_read = ?, files_failed = ?, "
                                    "files_vanished = ? WHERE id = ?"));
    s.bind(nowText()).bind(c.seen).bind(c.read).bind(c.failed).bind(c.vanished).bind(run).run();
}

void EstateDb::addProblem(qint64 run, const QString& path, const QString& reason) {
    Statement s(db_, QStringLiteral("INSERT INTO walk_problem (run_id, path, reason) VALUES (?, ?, ?)"));
    s.bind(run).bind(path).bind(reason).run();
}

QHash<QString, IndexRow> EstateDb::index() const {
    QHash<QString, IndexRow> rows;
    Statement s(db_, QStringLiteral("SELECT id, path, size, mtime, kind, sha256, vanished_at IS NOT NULL FROM file"));
    while (s.step()) {
        const QString kind = s.text(4);
        rows.insert(s.text(1), {s.integer(0), s.integer(2), s.integer(3),
                                kind == u"workbook" ? FileKind::Workbook
                                : kind == u"failed" ? FileKind::Failed
                                                    : FileKind::Other,
                                s.text(5), s.integer(6) != 0});
    }
    return rows;
}

void EstateDb::store(const FileFacts& f, qint64 run) {
    static const QString upsert = fileUpsertSql({}) + QStringLiteral(" RETURNING id");
    const bool read = f.kind == FileKind::Workbook;
    const bool tried = f.kind != FileKind::Other;
    const SheetCounts& s = f.sheets;
    Statement row(db_, upsert);
    row.bind(f.path).bind(f.size).bind(f.mtimeNs).bind(kindName(f.kind));
    row.bind(f.sha256.isEmpty() ? QString() : f.sha256).bind(f.format.isEmpty() ? QString() : f.format);
    row.bind(countOrNull(tried, f.encrypted)).bind(countOrNull(tried, f.defaultPassword));
    row.bind(countOrNull(read, f.vba)).bind(countOrNull(read, f.vbaLocked));
    row.bind(f.vbaError.isEmpty() ? QString() : f.vbaError);
    for (const qint64 n : {qint64(s.worksheets), qint64(s.charts), qint64(s.macroSheets), qint64(s.dialogs),
                           qint64(s.hidden), qint64(s.veryHidden), s.usedCells, s.formulaCells, s.notes,
                           qint64(f.definedNames), qint64(f.externalLinks), qint64(f.shapesWithMacros),
                           qint64(f.modules.size()), f.vbaLines(), f.vbaProcedures(),
                           qint64(f.count(QStringLiteral("autorun"))), qint64(f.warnings.size())})
        row.bind(countOrNull(read, n));
    row.bind(f.warnings.isEmpty() ? QString() : f.warnings.join(u'\n'));
    row.bind(countOrNull(tried, f.readMs));
    row.bind(f.error.isEmpty() ? QString() : f.error).bind(f.errorDetail.isEmpty() ? QString() : f.errorDetail);
    row.bind(nowText()).bind(run);
    row.step();
    const qint64 id = row.integer(0);
    row.reset();

    for (const char* table : {"module", "procedure", "finding"}) {
        Statement clear(db_, QStringLiteral("DELETE FROM %1 WHERE file_id = ?").arg(QLatin1String(table)));
        clear.bind(id).run();
    }
    Statement module(db_, QStringLiteral("INSERT INTO module (file_id, position, name, type, lines, code_lines, "
                                         "procedures, code_sha256) VALUES (?,?,?,?,?,?,?,?)"));
    Statement procedure(db_, QStringLiteral("INSERT INTO procedure (file_id, module_position, position, name) "
                                            "VALUES (?,?,?,?)"));
    qint64 position = 0;
    for (const ModuleFacts& m : f.modules) {
        ++position;
        module.bind(id).bind(position).bind(m.name).bind(m.type);
        module.bind(m.lines ? QVariant(*m.lines) : QVariant()).bind(m.codeLines ? QVariant(*m.codeLines) : QVariant());
        module.bind(countOrNull(m.lines.has_value(), m.procedures.size()));
        module.bind(m.codeSha256.isEmpty() ? QString() : m.codeSha256).run();
        qint64 p = 0;
        for (const QString& name : m.procedures) procedure.bind(id).bind(position).bind(++p).bind(name).run();
    }
    Statement finding(db_, QStringLiteral("INSERT INTO finding (file_id, kind, place, name, target) VALUES (?,?,?,?,?)"));
    for (const Finding& x : f.findings)
        finding.bind(id).bind(x.kind).bind(x.place).bind(x.name).bind(x.target).run();
}

void EstateDb::setVanished(const QString& path, bool vanished) {
    Statement s(db_, vanished ? QStringLiteral("UPDATE file SET vanished_at = ? WHERE path = ? AND vanished_at IS NULL")
                              : QStringLiteral("UPDATE file SET vanished_at = NULL WHERE path = ?"));
    if (vanished) s.bind(nowText());
    s.bind(path).run();
}

qint64 EstateDb::resolveLinks() { return inventory::resolveLinks(db_); }

void EstateDb::closeLog() {
    commit();
    exec(db_, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    exec(db_, QStringLiteral("PRAGMA journal_mode = DELETE"));
}

}  // namespace tabulon::inventory
