#pragma once
// The analysis database: one SQLite file (Tabulon2.mdb, or a saved .xdb) with
// every analysis table and the report definitions. Commands open it, empty
// their tables and append rows through one prepared insert per table. Every command runs inside one transaction that is
// committed when the command ends and also on its error path, so rows written
// before a failure stay.
//
// A command's frame, wherever the Database object lives:
//
//     auto db = Database::open(path);
//     CommandScope scope(*db);                // commits on every exit path
//     db->clearTable("T_XlName");
//     auto t = db->openTable("T_XlName");
//     for (...) { t->addNew(); t->set("LabelName", n); t->update(); }
//
// The transaction starts with the first write (execute or update) and ends at
// commit(); between commands the object holds no lock, so the report engine
// and a newly opened Database can use the file. Tables must be destroyed
// before the Database they were opened on. One thread at a time uses a
// Database (the connection runs without its own mutex).
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;

namespace tabulon::store {

class Database;

// One table opened for appending (the old platform's dynaset): addNew(),
// set() per field by name, update(). Fields not set keep the table default
// (empty). Values are converted to the column's type when the row is stored:
// numbers and numeric texts to whole numbers (half to even) or doubles, QDate
// and QDateTime to ISO text, bool to 0/1. An invalid QVariant stores empty.
class Table {
public:
    void addNew();
    // 3265 when the table has no such field (names compare case-insensitively);
    // 3020 without addNew().
    void set(const QString& field, const QVariant& value);
    // Stores the row. Throws tabulon::Error: 3163 text too long, 3315 empty
    // text where refused, 3421 value not convertible, 3020 without addNew().
    // After a failure the row stays pending until the next addNew().
    void update();
    // Releases the prepared statements; the table cannot be written afterwards.
    void close();
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
    // in one transaction (replacing nothing: 3204 when the file exists).
    static void create(const QString& path);
    // Opens an existing file; 3024 when missing, 3051 when another process
    // holds a write lock, or the file is not an analysis database.
    static std::unique_ptr<Database> open(const QString& path);
    ~Database();  // commits what is pending; errors are only logged

    // Deletes every row of a table: what an analysis does to its tables
    // before it writes them again. 3078 when there is no such table.
    void clearTable(const QString& table);
    // Runs one SQL statement as it is (pragmas of a results file, tests).
    void execute(const QString& statement);
    // Opens a table for appending; 3078 when there is no such table.
    std::unique_ptr<Table> openTable(const QString& table);
    // Commits the running transaction; the next write starts a new one.
    void commit();
    // Writes a complete, consistent copy of the database to destination (a
    // results file), replacing it: pending rows are committed first, the copy
    // is made beside destination and renamed over it, so a failed copy never
    // leaves a half-written file under the chosen name. 75 on failure.
    void copyTo(const QString& destination);
    // Rows of a query, for readers (saving/loading results, reports, tests).
    // Values come back as qlonglong, double, QString or an invalid QVariant
    // (empty field). 3265 when the query names a field the table lacks.
    std::vector<std::vector<QVariant>> query(const QString& sql,
                                             const std::vector<QVariant>& args = {});
    // A query's rows as display texts, for the reports: read straight from the
    // statement without a QVariant per value, which keeps the first page of a
    // 100,000-row list quick. Whole numbers print without a fraction, other
    // numbers with 15 significant digits, empty fields as empty text. Errors
    // as query().
    struct Texts {
        QStringList names;
        std::vector<QString> cells;  // row by row, names.size() to a row
    };
    Texts queryTexts(const QString& sql);
    // A collation on this connection, for "ORDER BY x COLLATE name"; compare
    // answers <0, 0 or >0. Registering a name again replaces it.
    using Compare = std::function<int(QStringView, QStringView)>;
    void addCollation(const QString& name, Compare compare);
    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

private:
    friend class Table;
    Database(sqlite3* db, QString path);
    void beginWrite();  // starts the command's transaction when none runs
    sqlite3* db_;
    QString path_;
};

// Commits the command's rows when the command ends, normally or by an
// exception: the rows written before a failure stay in the file.
class CommandScope {
public:
    explicit CommandScope(Database& db) : db_(db) {}
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    Database& db_;
};

}  // namespace tabulon::store
