// Appending rows: order, field names, conversions and the refusals.
#include "StoreTestSupport.h"

#include "store/ResetStatements.h"

#include <QDate>
#include <QDateTime>
#include <functional>
#include <iterator>

namespace tabulon::store::test {
namespace {

class TableTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        db_ = Database::open(path());
    }
    Database& db() { return *db_; }
    // Stores one row with field = value in table and reads the field back.
    QVariant roundTrip(const QString& table, const QString& field, const QVariant& value) {
        db().execute(QStringLiteral("delete * from %1;").arg(table));
        auto t = db().openTable(table);
        t->addNew();
        t->set(field, value);
        t->update();
        return db().query(QStringLiteral("SELECT \"%1\" FROM %2").arg(field, table))[0][0];
    }

    std::unique_ptr<Database> db_;
};

TEST_F(TableTest, RowsComeBackInAppendOrder) {
    auto t = db().openTable(QStringLiteral("T_XlSource"));
    // Texts that would sort differently, so only storage order can explain the result.
    const QStringList lines = {QStringLiteral("Sub Z()"), QStringLiteral("' あ"),
                               QStringLiteral("End Sub"), QStringLiteral("Attribute")};
    for (int i = 0; i < lines.size(); ++i) {
        t->addNew();
        t->set(QStringLiteral("Line"), i + 1);
        t->set(QStringLiteral("Procedure"), lines[i]);
        t->update();
    }
    const auto rows = db().query(QStringLiteral("SELECT Line, Procedure FROM T_XlSource ORDER BY ID"));
    ASSERT_EQ(rows.size(), size_t(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(rows[size_t(i)][0].toInt(), i + 1);
        EXPECT_EQ(rows[size_t(i)][1].toString(), lines[i]);
    }
}

// Each refusal carries the engine's number the error box shows.
TEST_F(TableTest, RefusalsCarryTheEngineNumbers) {
    auto object = db().openTable(QStringLiteral("T_XlObject"));
    object->addNew();
    auto name = db().openTable(QStringLiteral("T_XlName"));
    auto closed = db().openTable(QStringLiteral("T_XlLink"));
    closed->close();
    const std::pair<std::function<void()>, int> cases[] = {
        {[&] { object->set(QStringLiteral("Author"), 1); }, 3265},  // the field is spelled Auther
        {[&] { db().query(QStringLiteral("SELECT fXyz FROM T_XlSaveFlag")); }, 3265},
        {[&] { db().openTable(QStringLiteral("T_XlNothing")); }, 3078},
        {[&] { db().execute(QStringLiteral("delete * from T_XlNone;")); }, 3078},
        {[&] { name->addNew(); name->set(QStringLiteral("ID"), 7); name->update(); }, 3164},  // the row id
        {[&] { closed->addNew(); }, 3420},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(errorNumberOf(cases[i].first), cases[i].second) << "case " << i;
    EXPECT_EQ(errorNumberOf([&] { object->set(QStringLiteral("ComentCount"), 1); }), 0);
}

TEST_F(TableTest, TextLimitsCountCharactersNotBytes) {
    struct Case {
        const char* table;
        const char* field;
        int length;
        int expected;
    };
    const Case cases[] = {
        {"T_XlHyousi", "SysTitle", 150, 0},       // 450 bytes in UTF-8, still fits
        {"T_XlHyousi", "SysTitle", 151, 3163},
        {"T_XlHyousi", "Auther", 20, 0},
        {"T_XlHyousi", "Auther", 21, 3163},
        {"T_XlCalc", "NoteName", 131, 3163},
        {"T_XlComment", "Comment", 255, 0},
        {"T_XlComment", "Comment", 256, 3163},
        {"T_XlCalc", "CalcName", 5000, 0},        // formulas are stored whole
    };
    for (const auto& c : cases) {
        const QString text(c.length, QChar(0x3042));  // あ
        auto t = db().openTable(QString::fromLatin1(c.table));
        t->addNew();
        t->set(QString::fromLatin1(c.field), text);
        EXPECT_EQ(errorNumberOf([&] { t->update(); }), c.expected)
            << c.table << "." << c.field << " with " << c.length;
    }
}

TEST_F(TableTest, EmptyHeaderTextIs3315) {
    auto t = db().openTable(QStringLiteral("T_XlTitle"));
    t->addNew();
    t->set(QStringLiteral("FileName"), QString());
    EXPECT_EQ(errorNumberOf([&] { t->update(); }), 3315);
    t->addNew();
    t->set(QStringLiteral("FileName"), QStringLiteral("C:\\work\\Book1.xls"));
    EXPECT_EQ(errorNumberOf([&] { t->update(); }), 0);
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlTitle")), 0);  // not yet committed
    db().commit();
    EXPECT_EQ(countFromOutside(QStringLiteral("T_XlTitle")), 1);
}

TEST_F(TableTest, ValuesAreConvertedToTheFieldType) {
    struct Case {
        const char* table;
        const char* field;
        QVariant in;
        QVariant stored;
    };
    const Case cases[] = {
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
        EXPECT_EQ(roundTrip(QString::fromLatin1(c.table), QString::fromLatin1(c.field), c.in),
                  c.stored)
            << c.table << "." << c.field << " from " << c.in.toString().toStdString();
}

TEST_F(TableTest, UnconvertibleValuesAre3421) {
    const std::pair<const char*, QVariant> cases[] = {
        {"Row", QStringLiteral("abc")},
        {"Row", QString()},
        {"Row", QDate(2000, 1, 1)},
    };
    auto t = db().openTable(QStringLiteral("T_XlObject"));
    for (const auto& [field, value] : cases) {
        t->addNew();
        t->set(QString::fromLatin1(field), value);
        EXPECT_EQ(errorNumberOf([&] { t->update(); }), 3421) << value.toString().toStdString();
    }
    auto f = db().openTable(QStringLiteral("T_XlFile"));
    f->addNew();
    f->set(QStringLiteral("UpdateDate"), QStringLiteral("yesterday"));
    EXPECT_EQ(errorNumberOf([&] { f->update(); }), 3421);
}

TEST_F(TableTest, UnassignedFieldsStayEmpty) {
    // A property procedure's row leaves DimCall empty; the others write 0.
    auto t = db().openTable(QStringLiteral("T_XlProcName"));
    t->addNew();
    t->set(QStringLiteral("Type"), QStringLiteral("Property Let"));
    t->update();
    t->addNew();
    t->set(QStringLiteral("Type"), QStringLiteral("Sub"));
    t->set(QStringLiteral("DimCall"), 0);
    t->update();
    t->addNew();
    t->update();  // nothing assigned at all
    const auto rows = db().query(QStringLiteral("SELECT Type, DimCall FROM T_XlProcName ORDER BY ID"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[0][1].isValid());
    EXPECT_EQ(rows[1][1], QVariant(qlonglong(0)));
    EXPECT_FALSE(rows[2][0].isValid());
}

TEST_F(TableTest, WritingOutsideAddNewIs3020) {
    auto t = db().openTable(QStringLiteral("T_XlName"));
    EXPECT_EQ(errorNumberOf([&] { t->update(); }), 3020);
    EXPECT_EQ(errorNumberOf([&] { t->set(QStringLiteral("LabelName"), 1); }), 3020);
    t->addNew();
    t->update();
    EXPECT_EQ(errorNumberOf([&] { t->update(); }), 3020);  // one row per addNew
}

TEST_F(TableTest, FailedRowIsDroppedByTheNextAddNew) {
    auto t = db().openTable(QStringLiteral("T_XlLink"));
    t->addNew();
    t->set(QStringLiteral("LinkNo"), 1);
    t->set(QStringLiteral("LinkMoto"), QString(200, QLatin1Char('p')));
    EXPECT_EQ(errorNumberOf([&] { t->update(); }), 3163);
    t->addNew();
    t->set(QStringLiteral("LinkNo"), 2);
    t->update();
    const auto rows = db().query(QStringLiteral("SELECT LinkNo, LinkMoto FROM T_XlLink"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toInt(), 2);
    EXPECT_FALSE(rows[0][1].isValid());
}

}  // namespace
}  // namespace tabulon::store::test
