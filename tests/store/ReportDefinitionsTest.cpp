// An analysis database made by an earlier build prints with this build's
// reports: a changed, dropped or missing definition is put back, the
// analysis rows stay, and a current database is left as it is.
#include "StoreTestSupport.h"
#include "store/ReportDefinitions.h"

namespace tabulon::store::test {
namespace {

class ReportDefinitionsTest : public StoreTest {
protected:
    QVariant value(const QString& sql) { return Database::open(path())->query(sql).at(0).at(0); }
};

TEST_F(ReportDefinitionsTest, AnEarlierBuildsDefinitionsAreReplacedAndRowsKept) {
    const int reports = value("SELECT count(*) FROM Z_Report").toInt();
    const QString title = value("SELECT Title FROM Z_Report WHERE Name = 'R_XlComment'").toString();
    {
        auto db = Database::open(path());
        db->execute("UPDATE Z_Report SET Title = 'old' WHERE Name = 'R_XlComment'");
        db->execute("DELETE FROM Z_ReportColumn WHERE Report = 'R_XlShape' AND Position = 7");
        db->execute("DELETE FROM Z_ReportColumn WHERE Report = 'R_XlCalcLink'");
        db->execute("DELETE FROM Z_Report WHERE Name = 'R_XlCalcLink'");
        db->execute("INSERT INTO T_XlName (LabelName) VALUES ('kept')");
        db->commit();
    }
    auto db = Database::open(path());
    EXPECT_TRUE(refreshReportDefinitions(*db));
    EXPECT_EQ(value("SELECT count(*) FROM Z_Report").toInt(), reports);
    EXPECT_EQ(value("SELECT Title FROM Z_Report WHERE Name = 'R_XlComment'").toString(), title);
    EXPECT_EQ(value("SELECT Format FROM Z_ReportColumn WHERE Report = 'R_XlShape' AND Position = 7").toString(),
              "color");
    EXPECT_EQ(value("SELECT LabelName FROM T_XlName").toString(), "kept");
    EXPECT_FALSE(refreshReportDefinitions(*db)) << "current definitions are left alone";
}

TEST_F(ReportDefinitionsTest, MissingDefinitionTablesAreMade) {
    Database::open(path())->execute("DROP TABLE Z_ReportField; DROP TABLE Z_ReportColumn; DROP TABLE Z_Report;");
    EXPECT_TRUE(refreshReportDefinitions(*Database::open(path())));
    EXPECT_GT(value("SELECT count(*) FROM Z_ReportField").toInt(), 0);
}

}  // namespace
}  // namespace tabulon::store::test
