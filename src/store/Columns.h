#pragma once
// What the store knows about a table's fields, read from the schema itself
// (PRAGMA table_info), and the conversion of assigned values to a field's type.
#include <QString>
#include <QVariant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tabulon::store {

enum class ColumnKind { Key, Text, Integer, Double, DateTime, Boolean };

struct Column {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    qsizetype maxLength = 0;  // texts: characters (UTF-16 units); 0 = no limit
};

// Kind and limit from a declared type such as "TEXT(150)", "SMALLINT".
Column describeColumn(const QString& name, const QString& declaredType, bool primaryKey);
// The fields of a table in schema order; empty when there is no such table.
std::vector<Column> readColumns(sqlite3* db, const QString& table);

// A value ready to bind.
struct SqlValue {
    enum class Type { Null, Integer, Real, Text } type = Type::Null;
    qint64 i = 0;
    double d = 0;
    QByteArray utf8;  // texts are bound as UTF-8, the file's encoding
};

// Converts v to the field's type; throws tabulon::Error 3421 when it cannot be
// converted, 3163 when a text is longer than the field, 3164 for the row id.
SqlValue convertForColumn(const Column& column, const QVariant& v, const QString& table);
// The natural SQL value of v, for query arguments.
SqlValue plainValue(const QVariant& v);
// Binds value to parameter index (1-based) of stmt; the text must outlive the
// statement's next step.
void bindValue(sqlite3_stmt* stmt, int index, const SqlValue& value);
// Column i of the current row of stmt.
QVariant columnValue(sqlite3_stmt* stmt, int i);

}  // namespace tabulon::store
