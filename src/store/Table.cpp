#include "store/Columns.h"
#include "store/Database.h"
#include "store/SqlError.h"

#include <QHash>
#include <sqlite3.h>
#include <unordered_map>

namespace tabulon::store {

// A row under construction is the set of assigned fields (a bit per field) and
// their values. Each distinct set gets its own prepared INSERT, so a field an
// analysis leaves out keeps the table's default instead of being written empty.
struct Table::Impl {
    sqlite3* db = nullptr;
    std::vector<Column> columns;
    QHash<QString, int> byName;
    QHash<QString, int> byFoldedName;
    std::vector<QVariant> values;
    quint64 assigned = 0;
    bool editing = false;
    bool closed = false;
    std::unordered_map<quint64, sqlite3_stmt*> inserts;
    std::vector<SqlValue> bound;

    ~Impl() { finalize(); }

    void finalize() {
        for (auto& [mask, stmt] : inserts)
            sqlite3_finalize(stmt);
        inserts.clear();
    }

    int indexOf(const QString& field) const {
        auto it = byName.constFind(field);
        if (it != byName.constEnd())
            return *it;
        return byFoldedName.value(field.toLower(), -1);
    }

    sqlite3_stmt* insertFor(quint64 mask, const QString& table) {
        auto it = inserts.find(mask);
        if (it != inserts.end())
            return it->second;
        QString names, params;
        int n = 0;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (!(mask & (quint64(1) << i)))
                continue;
            names += (n ? QStringLiteral(",\"") : QStringLiteral("\"")) + columns[i].name +
                     QLatin1Char('"');
            params += (n ? QStringLiteral(",?") : QStringLiteral("?")) + QString::number(n + 1);
            ++n;
        }
        const QString sql =
            n ? QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(table, names, params)
              : QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table);
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(db, text.constData(), int(text.size()),
                                          SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK)
            throw sqlError(db, rc, table);
        inserts.emplace(mask, stmt);
        return stmt;
    }

    void clearRow() {
        for (size_t i = 0; i < columns.size(); ++i)
            if (assigned & (quint64(1) << i))
                values[i] = QVariant();
        assigned = 0;
    }
};

Table::Table(Database& db, QString name)
    : db_(db), name_(std::move(name)), d_(std::make_unique<Impl>()) {
    d_->db = db.handle();
    d_->columns = readColumns(d_->db, name_);
    if (d_->columns.empty())
        throw Error(err::TableNotFound,
                    QStringLiteral("入力テーブル '%1' が見つかりません。").arg(name_));
    if (d_->columns.size() > 64)
        throw Error(err::Generic,
                    QStringLiteral("テーブル '%1' のフィールドが多すぎます。").arg(name_));
    d_->values.resize(d_->columns.size());
    for (size_t i = 0; i < d_->columns.size(); ++i) {
        d_->byName.insert(d_->columns[i].name, int(i));
        d_->byFoldedName.insert(d_->columns[i].name.toLower(), int(i));
    }
}

Table::~Table() = default;

void Table::addNew() {
    if (d_->closed)
        throw Error(err::ObjectClosed,
                    QStringLiteral("テーブル '%1' は閉じられています。").arg(name_));
    d_->clearRow();
    d_->editing = true;
}

void Table::set(const QString& field, const QVariant& value) {
    const int i = d_->indexOf(field);
    if (i < 0)
        throw Error(err::ItemNotFound,
                    QStringLiteral("コレクションに項目 '%1.%2' が見つかりません。")
                        .arg(name_, field));
    if (!d_->editing)
        throw Error(err::NoCurrentRecord,
                    QStringLiteral("AddNew を実行せずに '%1' を更新しようとしました。")
                        .arg(name_));
    d_->values[size_t(i)] = value;
    d_->assigned |= quint64(1) << i;
}

void Table::update() {
    if (!d_->editing)
        throw Error(err::NoCurrentRecord,
                    QStringLiteral("AddNew を実行せずに '%1' を更新しようとしました。")
                        .arg(name_));
    auto& bound = d_->bound;
    bound.clear();
    for (size_t i = 0; i < d_->columns.size(); ++i)
        if (d_->assigned & (quint64(1) << i))
            bound.push_back(convertForColumn(d_->columns[i], d_->values[i], name_));
    sqlite3_stmt* stmt = d_->insertFor(d_->assigned, name_);
    for (size_t k = 0; k < bound.size(); ++k)
        bindValue(stmt, int(k + 1), bound[k]);
    db_.beginWrite();
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) {
        const Error error = sqlError(d_->db, rc, name_);
        sqlite3_reset(stmt);
        throw error;
    }
    sqlite3_reset(stmt);
    d_->clearRow();
    d_->editing = false;
}

void Table::close() {
    d_->finalize();
    d_->closed = true;
    d_->editing = false;
}

}  // namespace tabulon::store
