#include "store/SqlError.h"

#include "store/DatabaseCopy.h"

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

// The database file a connection works on, for the message; the context
// when the connection has none.
QString fileOf(sqlite3* db, const QString& context) {
    const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
    return file && *file ? QString::fromUtf8(file) : context;
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
    case SQLITE_CORRUPT:
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_NOMEM:
        return Error(err::Generic, QStringLiteral("データベース「%1」を読み書きできません。\r理由: %2")
                                       .arg(fileOf(db, context), engineReason(db, rc)));
    default:
        break;
    }
    if (message.startsWith(QLatin1String("no such column")))
        return Error(err::ItemNotFound,
                     QStringLiteral("コレクションに項目が見つかりません。(%1)").arg(message));
    if (message.startsWith(QLatin1String("no such table")))
        return Error(err::TableNotFound,
                     QStringLiteral("入力テーブルまたはクエリが見つかりません。(%1)").arg(message));
    // A fault of the program itself (a statement the schema does not fit):
    // the technical text stays for the mail the box asks for.
    return Error(err::Generic, QStringLiteral("データベースの処理に失敗しました。(%1: %2)").arg(context, message));
}

}  // namespace tabulon::store
