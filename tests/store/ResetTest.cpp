// The reset convention: each table is emptied by its own fixed statement
// before an analysis writes it again.
#include "StoreTestSupport.h"

#include "store/ResetStatements.h"

namespace tabulon::store::test {
namespace {

class ResetTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        db_ = Database::open(path());
    }
    std::unique_ptr<Database> db_;
};

TEST_F(ResetTest, EachStatementEmptiesOnlyItsTable) {
    for (size_t i = 0; i < reset::all.size(); ++i) {
        const QString table = QString::fromLatin1(analysisTables[i]);
        const QString other = QString::fromLatin1(analysisTables[(i + 1) % analysisTables.size()]);
        for (const QString& t : {table, other}) {
            auto tab = db_->openTable(t);
            tab->addNew();
            tab->update();
        }
        db_->execute(QString::fromLatin1(reset::all[i]));
        EXPECT_EQ(db_->query(QStringLiteral("SELECT count(*) FROM ") + table)[0][0].toInt(), 0)
            << reset::all[i];
        EXPECT_GT(db_->query(QStringLiteral("SELECT count(*) FROM ") + other)[0][0].toInt(), 0)
            << reset::all[i];
        db_->execute(QStringLiteral("delete * from %1;").arg(other));
    }
}

}  // namespace
}  // namespace tabulon::store::test
