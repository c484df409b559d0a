#include "store/Columns.h"

#include "store/SqlError.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace tabulon::store {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

Error conversionError(const Column& c, const QString& table, const QVariant& v) {
    return Error(err::ConversionFailed,
                 QStringLiteral("データ型変換エラーです。(%1.%2 に '%3')")
                     .arg(table, c.name, v.toString()));
}

SqlValue integerValue(qint64 i) { return {SqlValue::Type::Integer, i, 0, {}}; }
SqlValue realValue(double d) { return {SqlValue::Type::Real, 0, d, {}}; }
SqlValue textValue(const QString& s) { return {SqlValue::Type::Text, 0, 0, s.toUtf8()}; }

bool isWholeNumberType(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
    case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::Char:
    case QMetaType::SChar: case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isRealType(const QVariant& v) {
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

// A number from a variant: whole numbers, doubles, bool (0/1) and numeric texts.
bool numberOf(const QVariant& v, double& out) {
    if (v.typeId() == QMetaType::Bool) {
        out = v.toBool() ? 1 : 0;
        return true;
    }
    if (isWholeNumberType(v) || isRealType(v)) {
        out = v.toDouble();
        return std::isfinite(out);
    }
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
        bool ok = false;
        out = v.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(out);
    }
    return false;
}

SqlValue toInteger(const Column& c, const QVariant& v, const QString& table) {
    if (isWholeNumberType(v))
        return integerValue(v.toLongLong());
    double d = 0;
    if (!numberOf(v, d))
        throw conversionError(c, table, v);
    const double r = std::nearbyint(d);  // half to even, like the old engine
    if (r < double(std::numeric_limits<qint64>::min()) ||
        r > double(std::numeric_limits<qint64>::max()))
        throw conversionError(c, table, v);
    return integerValue(qint64(r));
}

SqlValue toBoolean(const Column& c, const QVariant& v, const QString& table) {
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed().toLower();
        if (t == u"true" || t == u"yes" || t == u"on")
            return integerValue(1);
        if (t == u"false" || t == u"no" || t == u"off")
            return integerValue(0);
    }
    double d = 0;
    if (!numberOf(v, d))
        throw conversionError(c, table, v);
    return integerValue(d != 0 ? 1 : 0);
}

SqlValue toDateTime(const Column& c, const QVariant& v, const QString& table) {
    if (v.typeId() == QMetaType::QDateTime && v.toDateTime().isValid())
        return textValue(v.toDateTime().toString(kDateTimeFormat));
    if (v.typeId() == QMetaType::QDate && v.toDate().isValid())
        return textValue(v.toDate().toString(kDateFormat));
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        const QDate date = QDate::fromString(t, kDateFormat);
        if (date.isValid())
            return textValue(date.toString(kDateFormat));
        const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
        if (dt.isValid())
            return textValue(dt.toString(kDateTimeFormat));
    }
    throw conversionError(c, table, v);
}

QString textOf(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate:
        return v.toDate().toString(kDateFormat);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(kDateTimeFormat);
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

SqlValue toText(const Column& c, const QVariant& v, const QString& table) {
    const QString text = textOf(v);
    if (c.maxLength > 0 && text.size() > c.maxLength)
        throw Error(tabulon::err::FieldTooSmall,
                    QStringLiteral("フィールド '%1.%2' のサイズが小さすぎます。"
                                   "%3 文字までのところ %4 文字を入力しようとしました。")
                        .arg(table, c.name)
                        .arg(c.maxLength)
                        .arg(text.size()));
    return textValue(text);
}

}  // namespace

Column describeColumn(const QString& name, const QString& declaredType, bool primaryKey) {
    Column c{name, ColumnKind::Text, 0};
    const QString type = declaredType.trimmed().toUpper();
    if (primaryKey && type == u"INTEGER") {
        c.kind = ColumnKind::Key;
    } else if (type.startsWith(u"TEXT")) {
        static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
        const auto m = size.match(type);
        if (m.hasMatch())
            c.maxLength = m.captured(1).toLongLong();
    } else if (type.contains(u"INT")) {
        c.kind = ColumnKind::Integer;
    } else if (type.contains(u"DOUB") || type.contains(u"REAL") || type.contains(u"FLOA")) {
        c.kind = ColumnKind::Double;
    } else if (type.contains(u"DATE")) {
        c.kind = ColumnKind::DateTime;
    } else if (type.contains(u"BOOL")) {
        c.kind = ColumnKind::Boolean;
    }
    return c;
}

std::vector<Column> readColumns(sqlite3* db, const QString& table) {
    std::vector<Column> columns;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = "SELECT name, type, pk FROM pragma_table_info(?1)";
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw sqlError(db, sqlite3_errcode(db), table);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(stmt, 1, name.constData(), int(name.size()), SQLITE_STATIC);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        columns.push_back(describeColumn(columnValue(stmt, 0).toString(),
                                         columnValue(stmt, 1).toString(),
                                         sqlite3_column_int(stmt, 2) == 1));
    sqlite3_finalize(stmt);
    return columns;
}

SqlValue convertForColumn(const Column& c, const QVariant& v, const QString& table) {
    if (c.kind == ColumnKind::Key)
        throw Error(err::FieldNotUpdatable,
                    QStringLiteral("フィールド '%1.%2' は更新できません。").arg(table, c.name));
    if (!v.isValid() || v.isNull())
        return {};
    switch (c.kind) {
    case ColumnKind::Integer:
        return toInteger(c, v, table);
    case ColumnKind::Double: {
        double d = 0;
        if (!numberOf(v, d))
            throw conversionError(c, table, v);
        return realValue(d);
    }
    case ColumnKind::DateTime:
        return toDateTime(c, v, table);
    case ColumnKind::Boolean:
        return toBoolean(c, v, table);
    default:
        return toText(c, v, table);
    }
}

SqlValue plainValue(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::Bool)
        return integerValue(v.toBool() ? 1 : 0);
    if (isWholeNumberType(v))
        return integerValue(v.toLongLong());
    if (isRealType(v))
        return realValue(v.toDouble());
    return textValue(textOf(v));
}

void bindValue(sqlite3_stmt* stmt, int index, const SqlValue& value) {
    switch (value.type) {
    case SqlValue::Type::Null:
        sqlite3_bind_null(stmt, index);
        break;
    case SqlValue::Type::Integer:
        sqlite3_bind_int64(stmt, index, value.i);
        break;
    case SqlValue::Type::Real:
        sqlite3_bind_double(stmt, index, value.d);
        break;
    case SqlValue::Type::Text:
        sqlite3_bind_text(stmt, index, value.utf8.constData(), int(value.utf8.size()),
                          SQLITE_STATIC);
        break;
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_TEXT: {
        const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, i));
        const int bytes = sqlite3_column_bytes16(stmt, i);
        return QVariant(QString::fromUtf16(text, bytes / 2));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, i));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, i)));
    }
    default:
        return {};
    }
}

}  // namespace tabulon::store
