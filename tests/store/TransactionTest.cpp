// One transaction per command: rows become visible to other readers when the
// command ends, on its error path too, and no lock outlives the command.
#include "StoreTestSupport.h"

#include "store/ResetStatements.h"

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
    int number = 0;
    try {
        CommandScope scope(*db);
        db->execute(QString::fromLatin1(reset::XlCalc));
        auto t = db->openTable(QStringLiteral("T_XlCalc"));
        appendNote(*t, QStringLiteral("first"));
        appendNote(*t, QStringLiteral("second"));
        appendNote(*t, QString(131, QLatin1Char('x')));  // NoteName holds 130
    } catch (const Error& e) {
        number = e.number();
    }
    EXPECT_EQ(number, 3163);
    // Seen by another connection while this Database is still open.
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 2);
}

TEST_F(TransactionTest, RowsAreNotVisibleOutsideBeforeTheCommandEnds) {
    auto db = Database::open(path());
    CommandScope scope(*db);
    auto t = db->openTable(QStringLiteral("T_XlCalc"));
    appendNote(*t, QStringLiteral("pending"));
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 0);
    db->commit();
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 1);
    appendNote(*t, QStringLiteral("after commit, in a new transaction"));
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlCalc")), 1);
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

TEST_F(TransactionTest, NextOpenSucceedsOnceTheCommandHasCommitted) {
    auto first = Database::open(path());
    {
        CommandScope scope(*first);
        first->execute(QString::fromLatin1(reset::XlCalc));
        // A reader between commands must not keep a lock either.
        first->query(QStringLiteral("SELECT * FROM T_XlCalc"));
    }
    std::unique_ptr<Database> second;
    ASSERT_NO_THROW(second = Database::open(path()));
    {
        CommandScope scope(*second);
        second->execute(QString::fromLatin1(reset::XlCalc));
    }
}

}  // namespace
}  // namespace tabulon::store::test
