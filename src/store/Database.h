#pragma once
// The analysis database: one SQLite file (Tabulon2.mdb, or a saved .xdb) with
// every analysis table and the report definitions. Commands open it, empty
// their tables with the fixed reset statements and append rows through one
// prepared insert per table. Every command runs inside one transaction that is
// committed when the command ends and also on its error path, so rows written
// before a failure stay.
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

struct sqlite3;

namespace tabulon::store {

class Database;

// One table opened for appending (the old platform's dynaset): addNew(),
// set() per field by name, update(). Fields not set keep the table default.
class Table {
public:
    void addNew();
    void set(const QString& field, const QVariant& value);
    void update();  // throws tabulon::Error (3163 too long, 3315 empty, ...)
    const QString& name() const { return name_; }
    ~Table();

private:
    friend class Database;
    Table(Database& db, QString name);
    struct Impl;
    Database& db_;
    QString name_;
    std::unique_ptr<Impl> d_;
};

class Database {
public:
    // Creates a new database file with the full schema and report definitions
    // (replacing nothing: fails when the file exists).
    static void create(const QString& path);
    // Opens an existing file; 3024 when missing, 3051 when locked or not a database.
    static std::unique_ptr<Database> open(const QString& path);
    ~Database();  // commits what is pending

    // Runs one of the fixed reset statements, e.g. "delete * from T_XlCalc;".
    void execute(const QString& statement);
    // Opens a table for appending; one prepared statement per table.
    std::unique_ptr<Table> openTable(const QString& table);
    // Commits the running transaction and starts a new one.
    void commit();
    // Rows of a query, for readers (saving/loading results, reports, tests).
    std::vector<std::vector<QVariant>> query(const QString& sql,
                                             const std::vector<QVariant>& args = {});
    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

private:
    Database(sqlite3* db, QString path);
    sqlite3* db_;
    QString path_;
};

}  // namespace tabulon::store
