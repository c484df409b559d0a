#include "store/SqlError.h"

#include <sqlite3.h>

namespace tabulon::store {

namespace {

// "CHECK constraint failed: nonempty_FileName" -> "FileName"
QString refusedEmptyField(const QString& message) {
    const QString marker = QStringLiteral("nonempty_");
    const qsizetype at = message.indexOf(marker);
    if (at < 0)
        return {};
    return message.mid(at + marker.size()).section(QLatin1Char(' '), 0, 0);
}

}  // namespace

Error sqlError(sqlite3* db, int rc, const QString& context) {
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db))
                               : QString::fromUtf8(sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Error(err::RecordLocked,
                     QStringLiteral("'%1' は他のプロセスがロックしているため更新できません。")
                         .arg(context));
    case SQLITE_NOTADB:
        return Error(tabulon::err::DbLocked,
                     QStringLiteral("'%1' は解析データベースではありません。").arg(context));
    case SQLITE_READONLY:
        return Error(err::ReadOnly,
                     QStringLiteral("'%1' は読み取り専用のため更新できません。").arg(context));
    case SQLITE_CONSTRAINT: {
        const QString field = refusedEmptyField(message);
        if (!field.isEmpty())
            return Error(tabulon::err::EmptyNotAllowed,
                         QStringLiteral("フィールド '%1.%2' には長さ 0 の文字列を入力できません。")
                             .arg(context, field));
        break;
    }
    default:
        break;
    }
    if (message.startsWith(QLatin1String("no such column")))
        return Error(err::ItemNotFound,
                     QStringLiteral("コレクションに項目が見つかりません。(%1)").arg(message));
    if (message.startsWith(QLatin1String("no such table")))
        return Error(err::TableNotFound,
                     QStringLiteral("入力テーブルまたはクエリが見つかりません。(%1)").arg(message));
    return Error(err::Generic, QStringLiteral("%1: %2").arg(context, message));
}

}  // namespace tabulon::store
