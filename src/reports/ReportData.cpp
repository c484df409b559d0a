#include "reports/ReportData.h"

#include "store/Database.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <sqlite3.h>

namespace tabulon::reports {

namespace {

const QString kEmpty;

int compareKana(void* collator, int lenA, const void* a, int lenB, const void* b) {
    // SQLITE_UTF16 hands native-order UTF-16 without a terminator; lengths in bytes.
    const QStringView va(static_cast<const QChar*>(a), lenA / 2);
    const QStringView vb(static_cast<const QChar*>(b), lenB / 2);
    return static_cast<QCollator*>(collator)->compare(va, vb);
}

QCollator* kanaCollator() {
    static QCollator* collator = [] {
        auto* c = new QCollator(QLocale(QLocale::Japanese, QLocale::Japan));
        c->setCaseSensitivity(Qt::CaseInsensitive);
        c->setNumericMode(true);
        return c;
    }();
    return collator;
}

QString cellText(const QVariant& v) {
    if (v.isNull()) return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d == static_cast<double>(static_cast<long long>(d)))
            return QString::number(static_cast<long long>(d));
        return QString::number(d, 'g', 15);
    }
    return v.toString();
}

QString columnText(sqlite3_stmt* stmt, int c) {
    switch (sqlite3_column_type(stmt, c)) {
    case SQLITE_NULL: return QString();
    case SQLITE_INTEGER: return QString::number(sqlite3_column_int64(stmt, c));
    case SQLITE_FLOAT: return cellText(sqlite3_column_double(stmt, c));
    default: {
        const auto* text = static_cast<const QChar*>(sqlite3_column_text16(stmt, c));
        return QString(text, sqlite3_column_bytes16(stmt, c) / 2);
    }
    }
}

QDateTime parseDateTime(const QString& raw) {
    for (auto fmt : {Qt::ISODateWithMs, Qt::ISODate}) {
        QDateTime t = QDateTime::fromString(raw, fmt);
        if (t.isValid()) return t;
    }
    QDateTime t = QDateTime::fromString(raw, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!t.isValid()) t = QDateTime::fromString(raw, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!t.isValid()) {
        const QDate d = QDate::fromString(raw.left(10), Qt::ISODate);
        if (d.isValid()) t = d.startOfDay();
    }
    return t;
}

}  // namespace

ReportData::ReportData(QStringList names, std::vector<QString> cells)
    : names_(std::move(names)), cells_(std::move(cells)),
      rows_(names_.isEmpty() ? 0 : int(cells_.size() / names_.size())) {}

int ReportData::columnIndex(const QString& name) const {
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

const QString& ReportData::cell(int row, int column) const {
    if (column < 0 || column >= names_.size() || row < 0 || row >= rows_) return kEmpty;
    return cells_[size_t(row) * names_.size() + column];
}

void registerKanaCollation(sqlite3* handle) {
    sqlite3_create_collation_v2(handle, "JA_KANA", SQLITE_UTF16, kanaCollator(),
                                compareKana, nullptr);
}

ReportData readReportData(store::Database& db, const QString& sql) {
    registerKanaCollation(db.handle());
    // Stepped here rather than through Database::query: a long report reads
    // its rows straight into display texts without a QVariant per value,
    // which keeps the first page of a 100,000-row list quick.
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &stmt, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(stmt);
        db.query(sql);  // raises the store's error for the statement
        return {};
    }
    QStringList names;
    const int columns = sqlite3_column_count(stmt);
    for (int i = 0; i < columns; ++i) names << QString::fromUtf8(sqlite3_column_name(stmt, i));
    std::vector<QString> cells;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) cells.push_back(columnText(stmt, c));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        db.query(sql);
        return {};
    }
    return ReportData(names, std::move(cells));
}

QString readHeaderText(store::Database& db) {
    const auto rows = db.query(QStringLiteral("SELECT FileName FROM T_XlTitle LIMIT 1"));
    return rows.empty() ? QString() : cellText(rows.front().front());
}

QString formatValue(const QString& raw, const QString& format) {
    if (format.isEmpty() || raw.isEmpty()) return raw;
    if (format == QLatin1String("kb")) {
        bool ok = false;
        const double v = raw.toDouble(&ok);
        return ok ? QLocale(QLocale::English).toString(v, 'f', 1) : raw;
    }
    if (format == QLatin1String("bool")) {
        const QString l = raw.toLower();
        const bool on = l == QLatin1String("true") || (l != QLatin1String("0") &&
                                                       l != QLatin1String("false"));
        return on ? QStringLiteral("○") : QString();
    }
    if (format == QLatin1String("date") || format == QLatin1String("datetime")) {
        const QDateTime t = parseDateTime(raw);
        if (!t.isValid()) return raw;
        return t.toString(format == QLatin1String("date") ? QStringLiteral("yyyy/MM/dd")
                                                          : QStringLiteral("yyyy/MM/dd HH:mm"));
    }
    if (format == QLatin1String("int")) {
        bool ok = false;
        const double v = raw.toDouble(&ok);
        return ok ? QString::number(qRound64(v)) : raw;
    }
    return raw;
}

}  // namespace tabulon::reports
