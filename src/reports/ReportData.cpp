#include "reports/ReportData.h"

#include "store/Database.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>

namespace tabulon::reports {

namespace {

const QString kEmpty;

QCollator* kanaCollator() {
    static QCollator* collator = [] {
        auto* c = new QCollator(QLocale(QLocale::Japanese, QLocale::Japan));
        c->setCaseSensitivity(Qt::CaseInsensitive);
        c->setNumericMode(true);
        return c;
    }();
    return collator;
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

void registerKanaCollation(store::Database& db) {
    db.addCollation(QStringLiteral("JA_KANA"),
                    [](QStringView a, QStringView b) { return kanaCollator()->compare(a, b); });
}

ReportData readReportData(store::Database& db, const QString& sql) {
    registerKanaCollation(db);
    store::Database::Texts texts = db.queryTexts(sql);
    return ReportData(std::move(texts.names), std::move(texts.cells));
}

QString readHeaderText(store::Database& db) {
    const store::Database::Texts texts =
        db.queryTexts(QStringLiteral("SELECT FileName FROM T_XlTitle LIMIT 1"));
    return texts.cells.empty() ? QString() : texts.cells.front();
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
