// One transaction per command: rows become visible to other readers when the
// command ends, on its error path too, and no lock outlives the command.
#include "StoreTestSupport.h"

#include <QFile>

namespace tabulon::store::test {
namespace {

class TransactionTest : public StoreTest {
protected:
    static void appendNote(Table& t, const QString& note) {
        t.addNew();
        t.set(QStringLiteral("Label"), 2);
        t.set(QStringLiteral("NoteName"), note);
        t.update();
    }
};

TEST_F(TransactionTest, RowsBeforeAFailureStayAfterTheErrorPath) {
    auto db = Database::open(path());
    const int number = errorNumberOf([&] {
        CommandScope scope(*db);
        db->clearTable(QStringLiteral("T_XlCalc"));
        auto t = db->openTable(QStringLiteral("T_XlCalc"));
        appendNote(*t, QStringLiteral("first"));
        appendNote(*t, QStringLiteral("second"));
        appendNote(*t, QString(131, QLatin1Char('x')));  // NoteName holds 130
    });
    EXPECT_EQ(number, 3163);
    // Seen by another connection while this Database is still open.
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 2);
}

// Rows show outside at each commit, and neither the command's writes nor a
// reader inside it keep a lock once it has ended: the next open can write.
TEST_F(TransactionTest, RowsShowOutsideAtCommitAndNoLockOutlivesTheCommand) {
    auto first = Database::open(path());
    {
        CommandScope scope(*first);
        auto t = first->openTable(QStringLiteral("T_XlCalc"));
        appendNote(*t, QStringLiteral("pending"));
        EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 0);
        first->commit();
        EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 1);
        appendNote(*t, QStringLiteral("after commit, in a new transaction"));
        EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 1);
        first->query(QStringLiteral("SELECT * FROM T_XlCalc"));
    }
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 2);
    std::unique_ptr<Database> second;
    ASSERT_NO_THROW(second = Database::open(path()));
    CommandScope scope(*second);
    EXPECT_NO_THROW(second->clearTable(QStringLiteral("T_XlCalc")));
}

TEST_F(TransactionTest, DestructorCommitsPendingRowsAndLeavesNoJournal) {
    {
        auto db = Database::open(path());
        auto t = db->openTable(QStringLiteral("T_XlCalc"));
        appendNote(*t, QStringLiteral("kept"));
    }
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 1);
    // Copying the file alone copies the rows.
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral("-journal")));
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral("-wal")));
}

// Another connection reading does not keep the file from opening; one writing does.
TEST_F(TransactionTest, AReaderDoesNotLockTheFileAWriterIs3051) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &other), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(other, "SELECT * FROM sqlite_master", -1, &stmt, nullptr);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);  // holds a read lock until reset
    EXPECT_NO_THROW(Database::open(path()));
    sqlite3_finalize(stmt);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM T_XlCalc;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(errorNumberOf([&] { Database::open(path()); }), 3051);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_NO_THROW(Database::open(path()));
}

}  // namespace
}  // namespace tabulon::store::test
