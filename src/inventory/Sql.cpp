#include "inventory/Sql.h"

#include "store/SqlError.h"

#include <sqlite3.h>

namespace tabulon::inventory {

void exec(sqlite3* db, const QString& sql) {
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw store::sqlError(db, rc, sql.left(200));
}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db), sql_(sql) {
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) throw store::sqlError(db, rc, sql.left(200));
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::bind(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(stmt_, next_++);
        return *this;
    }
    switch (value.typeId()) {
    case QMetaType::QString: return bind(value.toString());
    case QMetaType::Double: sqlite3_bind_double(stmt_, next_++, value.toDouble()); return *this;
    default: return bind(value.toLongLong());
    }
}

Statement& Statement::bind(const QString& text) {
    if (text.isNull()) {
        sqlite3_bind_null(stmt_, next_++);
    } else {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt_, next_++, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    return *this;
}

Statement& Statement::bind(qint64 number) {
    sqlite3_bind_int64(stmt_, next_++, number);
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const Error error = store::sqlError(db_, rc, sql_.left(200));
    sqlite3_reset(stmt_);
    throw error;
}

void Statement::run() {
    while (step()) {}
    reset();
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    next_ = 1;
}

qint64 Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

QString Statement::text(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL) return {};
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(p, sqlite3_column_bytes(stmt_, column));
}

bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

qint64 queryInteger(sqlite3* db, const QString& sql) {
    Statement s(db, sql);
    return s.step() ? s.integer(0) : 0;
}

}  // namespace tabulon::inventory
