// Appending rows: field names, conversions, the refusals, and emptying a
// table before an analysis writes it again.
#include "StoreTestSupport.h"

#include "store/AnalysisTables.h"

#include <QDate>
#include <QDateTime>
#include <functional>
#include <iterator>

namespace tabulon::store::test {
namespace {

// A value for one field of one table, and what storing it gives: the stored
// value, or the number of the refusal (0: stored).
struct FieldCase {
    const char* table;
    const char* field;
    QVariant value;
    QVariant expected;
};

class TableTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        db_ = Database::open(path());
    }
    Database& db() { return *db_; }
    // Stores one row with field = value in table and reads the field back.
    QVariant roundTrip(const QString& table, const QString& field, const QVariant& value) {
        db().clearTable(table);
        auto t = db().openTable(table);
        t->addNew();
        t->set(field, value);
        t->update();
        return db().query(QStringLiteral("SELECT \"%1\" FROM %2").arg(field, table))[0][0];
    }
    long long count(const QString& table) {
        return db().query(QStringLiteral("SELECT count(*) FROM ") + table)[0][0].toLongLong();
    }

    std::unique_ptr<Database> db_;
};

TEST_F(TableTest, ClearingATableEmptiesOnlyThatTable) {
    for (size_t i = 0; i < analysisTables.size(); ++i) {
        const QString table = QString::fromLatin1(analysisTables[i]);
        const QString other = QString::fromLatin1(analysisTables[(i + 1) % analysisTables.size()]);
        for (const QString& t : {table, other}) {
            auto tab = db().openTable(t);
            tab->addNew();
            tab->update();
        }
        db().clearTable(table);
        EXPECT_EQ(count(table), 0) << analysisTables[i];
        EXPECT_GT(count(other), 0) << analysisTables[i];
        db().clearTable(other);
    }
}

// Each refusal carries the engine's number the error box shows.
TEST_F(TableTest, RefusalsCarryTheEngineNumbers) {
    auto object = db().openTable(QStringLiteral("T_XlObject"));
    object->addNew();
    auto name = db().openTable(QStringLiteral("T_XlName"));
    auto closed = db().openTable(QStringLiteral("T_XlLink"));
    closed->close();
    auto fresh = db().openTable(QStringLiteral("T_XlFile"));
    const std::pair<std::function<void()>, int> cases[] = {
        {[&] { object->set(QStringLiteral("Author"), 1); }, 3265},  // the field is spelled Auther
        {[&] { db().query(QStringLiteral("SELECT fXyz FROM T_XlSaveFlag")); }, 3265},
        {[&] { db().openTable(QStringLiteral("T_XlNothing")); }, 3078},
        {[&] { db().clearTable(QStringLiteral("T_XlNone")); }, 3078},
        {[&] { db().clearTable(QStringLiteral("T_XlCalc\"; DROP TABLE T_XlName; --")); }, 3078},
        {[&] { name->addNew(); name->set(QStringLiteral("ID"), 7); name->update(); }, 3164},  // the row id
        {[&] { closed->addNew(); }, 3420},
        {[&] { fresh->update(); }, 3020},
        {[&] { fresh->set(QStringLiteral("FileNo"), 1); }, 3020},
        {[&] { fresh->addNew(); fresh->update(); fresh->update(); }, 3020},  // one row per addNew
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(errorNumberOf(cases[i].first), cases[i].second) << "case " << i;
    EXPECT_EQ(errorNumberOf([&] { object->set(QStringLiteral("ComentCount"), 1); }), 0);
}

// Text limits count characters, not bytes; values that do not fit their field are refused on update.
TEST_F(TableTest, UpdateRefusesWhatTheFieldCannotHold) {
    const auto kana = [](int length) { return QString(length, QChar(0x3042)); };  // あ
    const FieldCase cases[] = {
        {"T_XlHyousi", "SysTitle", kana(150), 0},  // 450 bytes in UTF-8, still fits
        {"T_XlHyousi", "SysTitle", kana(151), 3163},
        {"T_XlHyousi", "Auther", kana(20), 0},
        {"T_XlHyousi", "Auther", kana(21), 3163},
        {"T_XlCalc", "NoteName", kana(131), 3163},
        {"T_XlComment", "Comment", kana(255), 0},
        {"T_XlComment", "Comment", kana(256), 3163},
        {"T_XlCalc", "CalcName", kana(5000), 0},  // formulas are stored whole
        {"T_XlTitle", "FileName", QString(), 3315},
        {"T_XlTitle", "FileName", QStringLiteral("C:\\work\\Book1.xls"), 0},
        {"T_XlObject", "Row", QStringLiteral("abc"), 3421},
        {"T_XlObject", "Row", QString(), 3421},
        {"T_XlObject", "Row", QDate(2000, 1, 1), 3421},
        {"T_XlFile", "UpdateDate", QStringLiteral("yesterday"), 3421},
    };
    for (const auto& c : cases) {
        auto t = db().openTable(QString::fromLatin1(c.table));
        t->addNew();
        t->set(QString::fromLatin1(c.field), c.value);
        EXPECT_EQ(errorNumberOf([&] { t->update(); }), c.expected.toInt())
            << c.table << "." << c.field << " = " << c.value.toString().left(20).toStdString();
    }
}

TEST_F(TableTest, ValuesAreConvertedToTheFieldType) {
    const FieldCase cases[] = {
        {"T_XlObject", "Row", QStringLiteral(" 42 "), qlonglong(42)},
        {"T_XlObject", "Row", 2.5, qlonglong(2)},          // half to even
        {"T_XlObject", "Row", 3.5, qlonglong(4)},
        {"T_XlObject", "Row", true, qlonglong(1)},
        {"T_XlFile", "FileSize", 1536 / 1024.0, 1.5},
        {"T_XlFile", "FileSize", QStringLiteral("0.25"), 0.25},
        {"T_XlAddin", "Installed", true, qlonglong(1)},
        {"T_XlAddin", "Installed", false, qlonglong(0)},
        {"T_XlAddin", "Installed", -1, qlonglong(1)},
        {"T_XlFile", "UpdateDate", QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)),
         QStringLiteral("2001-02-03T04:05:06")},
        {"T_XlBook", "CreateDate", QDate(1999, 12, 31), QStringLiteral("1999-12-31")},
        {"T_XlBook", "PrintDate", QStringLiteral("2003-04-05T06:07:08"),
         QStringLiteral("2003-04-05T06:07:08")},
        {"T_XlShape", "ForeColor", 16777215, QStringLiteral("16777215")},
        {"T_XlProcName", "As", QVariant(), QVariant()},    // Null stays empty
        {"T_XlSaveFlag", "Title", QString(), QString()},   // only the header text refuses ""
        {"T_XlObject", "OBJECTNAME", QStringLiteral("Sheet1"), QStringLiteral("Sheet1")},  // any case
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundTrip(QString::fromLatin1(c.table), QString::fromLatin1(c.field), c.value),
                  c.expected)
            << c.table << "." << c.field << " from " << c.value.toString().toStdString();
}

// A property procedure's row leaves DimCall empty, the others write 0; a row
// refused on update is dropped by the next addNew, not stored with it; rows
// come back in the order they were appended.
TEST_F(TableTest, UnassignedFieldsStayEmptyAndAFailedRowIsDropped) {
    auto t = db().openTable(QStringLiteral("T_XlProcName"));
    t->addNew();
    t->set(QStringLiteral("Type"), QStringLiteral("Sub"));
    t->set(QStringLiteral("Parameters"), QString(300, QLatin1Char('p')));
    EXPECT_EQ(errorNumberOf([&] { t->update(); }), 3163);
    t->addNew();
    t->set(QStringLiteral("Type"), QStringLiteral("Property Let"));
    t->update();
    t->addNew();
    t->set(QStringLiteral("DimCall"), 0);
    t->update();
    const auto rows = db().query(QStringLiteral("SELECT Type, DimCall, Parameters FROM T_XlProcName ORDER BY ID"));
    const std::vector<std::vector<QVariant>> expected = {{QStringLiteral("Property Let"), QVariant(), QVariant()},
                                                         {QVariant(), qlonglong(0), QVariant()}};
    EXPECT_EQ(rows, expected);
}

}  // namespace
}  // namespace tabulon::store::test
