#include "inventory/Merge.h"

#include "common/Error.h"
#include "inventory/EstateDb.h"
#include "inventory/Sql.h"

#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace tabulon::inventory {

namespace {

void checkPart(const QString& part) {
    const EstateHeader h = readEstateHeader(part);
    if (h.kind == EstateHeader::Kind::Missing)
        throw Error(err::DbNotFound, QStringLiteral("データベース '%1' が見つかりません。").arg(part));
    if (h.kind != EstateHeader::Kind::Estate)
        throw Error(err::DbLocked, QStringLiteral("'%1' は資産目録（inventory）のデータベースではありません。").arg(part));
    if (h.version > kEstateFormatVersion)
        throw Error(err::DbLocked, QStringLiteral("データベース '%1' はこのプログラムより新しい形式（%2）です。")
                                       .arg(part).arg(h.version));
}

// A finished part is only read: opened immutable, without locks or log.
QString readOnlyUri(const QString& path) {
    return QStringLiteral("file:%1?mode=ro&immutable=1")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/")));
}

qint64 mergeOne(sqlite3* db, const QString& part) {
    Statement attach(db, QStringLiteral("ATTACH DATABASE ? AS part"));
    attach.bind(readOnlyUri(part)).run();
    qint64 rows = 0;
    try {
        exec(db, QStringLiteral("BEGIN IMMEDIATE"));
        const qint64 offset = queryInteger(db, QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM main.run"));
        // The part's rows that are newer than what the estate holds, with
        // the part's run numbers moved past the estate's.
        exec(db, QStringLiteral(
                     "CREATE TEMP TABLE incoming AS SELECT p.* FROM part.file p LEFT JOIN main.file m ON m.path = p.path "
                     "WHERE m.id IS NULL OR p.scanned_at >= m.scanned_at;"
                     "UPDATE temp.incoming SET run_id = run_id + %1;")
                     .arg(offset));
        rows = queryInteger(db, QStringLiteral("SELECT COUNT(*) FROM temp.incoming"));
        exec(db, QStringLiteral(
                     "INSERT INTO main.run (id, started, finished, host, mode, scope, files_seen, files_read, "
                     "files_failed, files_vanished) SELECT id + %1, started, finished, host, mode, scope, files_seen, "
                     "files_read, files_failed, files_vanished FROM part.run;"
                     "INSERT INTO main.walk_problem (run_id, path, reason) SELECT run_id + %1, path, reason FROM part.walk_problem;")
                     .arg(offset));
        exec(db, EstateDb::fileUpsertSql(QStringLiteral("temp.incoming")));
        // Old: the estate's file id of each incoming path; from: the part's.
        exec(db, QStringLiteral(
                     "CREATE TEMP TABLE ids AS SELECT i.id AS part_id, m.id AS main_id FROM temp.incoming i "
                     "JOIN main.file m ON m.path = i.path;"
                     "DELETE FROM main.module WHERE file_id IN (SELECT main_id FROM temp.ids);"
                     "DELETE FROM main.procedure WHERE file_id IN (SELECT main_id FROM temp.ids);"
                     "DELETE FROM main.finding WHERE file_id IN (SELECT main_id FROM temp.ids);"
                     "INSERT INTO main.module (file_id, position, name, type, lines, code_lines, procedures, code_sha256) "
                     "SELECT ids.main_id, x.position, x.name, x.type, x.lines, x.code_lines, x.procedures, x.code_sha256 "
                     "FROM part.module x JOIN temp.ids ids ON ids.part_id = x.file_id;"
                     "INSERT INTO main.procedure (file_id, module_position, position, name) "
                     "SELECT ids.main_id, x.module_position, x.position, x.name "
                     "FROM part.procedure x JOIN temp.ids ids ON ids.part_id = x.file_id;"
                     "INSERT INTO main.finding (file_id, kind, place, name, target) "
                     "SELECT ids.main_id, x.kind, x.place, x.name, x.target "
                     "FROM part.finding x JOIN temp.ids ids ON ids.part_id = x.file_id ORDER BY x.id;"
                     "DROP TABLE temp.ids; DROP TABLE temp.incoming;"));
        exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        // Undone as far as it goes; the first failure is the one to tell.
        sqlite3_exec(db, "ROLLBACK; DROP TABLE IF EXISTS temp.ids; DROP TABLE IF EXISTS temp.incoming; "
                         "DETACH DATABASE part", nullptr, nullptr, nullptr);
        throw;
    }
    exec(db, QStringLiteral("DETACH DATABASE part"));
    return rows;
}

}  // namespace

void checkParts(const QStringList& parts) {
    for (const QString& part : parts) checkPart(part);
}

MergeStats mergeParts(EstateDb& target, const QStringList& parts) {
    MergeStats stats;
    checkParts(parts);
    target.commit();
    for (const QString& part : parts) {
        stats.files += mergeOne(target.handle(), part);
        ++stats.parts;
    }
    target.begin();
    const qint64 run = target.startRun(QStringLiteral("merge"), parts.join(u'\n'));
    stats.linksFound = target.resolveLinks();
    target.finishRun(run, {stats.files, 0, 0, 0});
    target.commit();
    return stats;
}

}  // namespace tabulon::inventory
