#pragma once
// The few SQLite calls the estate database needs, with the store's error
// values: a prepared statement bound by position and stepped row by row.
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace tabulon::inventory {

// Runs one or more statements without results; throws tabulon::Error.
void exec(sqlite3* db, const QString& sql);

class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds parameters 1, 2, ... in order: qint64, int, bool, QString (a null
    // QString binds NULL), or an invalid QVariant for NULL.
    Statement& bind(const QVariant& value);
    Statement& bind(const QString& text);
    Statement& bind(qint64 number);
    // Steps once: true while a row is there. Throws on failure.
    bool step();
    // Runs to the end and makes the statement ready for new values.
    void run();
    void reset();

    qint64 integer(int column) const;
    QString text(int column) const;  // null QString for NULL
    bool isNull(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    QString sql_;
    int next_ = 1;
};

// The single integer a query gives (0 when it gives no row).
qint64 queryInteger(sqlite3* db, const QString& sql);

}  // namespace tabulon::inventory
