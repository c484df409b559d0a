// Results files: a copy of the open database that stands on its own.
#include "StoreTestSupport.h"

#include "store/ResetStatements.h"

#include <QFile>

namespace tabulon::store::test {
namespace {

class CopyTest : public StoreTest {
protected:
    static void writeSaveFlag(Database& db, const QString& title) {
        db.execute(QString::fromLatin1(reset::XlSaveFlag));
        auto t = db.openTable(QStringLiteral("T_XlSaveFlag"));
        t->addNew();
        t->set(QStringLiteral("ObjName"), QStringLiteral("Book1.xls"));
        t->set(QStringLiteral("fCrs"), 1);
        t->set(QStringLiteral("Title"), title);
        t->update();
    }
    static QString savedTitle(const QString& path) {
        auto db = Database::open(path);
        const auto rows = db->query(QStringLiteral("SELECT Title, fCrs FROM T_XlSaveFlag"));
        return rows.size() == 1 ? rows[0][0].toString() : QString();
    }
};

TEST_F(CopyTest, CopyHoldsRowsOfTheRunningCommand) {
    auto db = Database::open(path());
    CommandScope scope(*db);
    writeSaveFlag(*db, QStringLiteral("販売管理"));  // not yet committed
    const QString result = filePath(QStringLiteral("result.xdb"));
    db->copyTo(result);
    EXPECT_EQ(savedTitle(result), QStringLiteral("販売管理"));
    EXPECT_FALSE(QFile::exists(result + QStringLiteral(".part")));
}

TEST_F(CopyTest, CopyReplacesAnExistingFile) {
    auto db = Database::open(path());
    const QString result = filePath(QStringLiteral("result.xdb"));
    writeSaveFlag(*db, QStringLiteral("first"));
    db->copyTo(result);
    writeSaveFlag(*db, QStringLiteral("second"));
    db->copyTo(result);
    EXPECT_EQ(savedTitle(result), QStringLiteral("second"));
}

}  // namespace
}  // namespace tabulon::store::test
