// The cover row: cut first, then trailing blanks off; characters, not bytes;
// the date exactly as typed; one row, rewritten at each click.
#include "analyses/workbook/CoverPage.h"
#include "analyses/workbook/WorkbookText.h"

#include "intake/AppPaths.h"
#include "store/Database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses::workbook;

TEST(CoverRules, CutThenTrimKeepsLeadingBlanksAndTabs) {
    const struct { QString in; int len; QString out; } cases[] = {
        {"  Title  ", 150, "  Title"},                       // leading blanks stay
        {QString(200, u'表'), 150, QString(150, u'表')},       // characters, not bytes
        {QString(149, u'a') + "   more", 150, QString(149, u'a')},  // cut inside the blanks, then trim
        {"\tTab\t", 150, "\tTab\t"},                          // tabs are not blanks
        {QString(149, u'a') + QString::fromUtf8("\U0001F600x"), 150, QString(149, u'a')},  // no half pair
        {"", 150, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cutThenTrim(c.in, c.len), c.out) << c.in.toStdString();
}

TEST(CoverRules, AuthorIsCutAtTwentyAndTheDateIsKeptAsTyped) {
    intake::Cover cover;
    cover.title = QString(200, u'x');
    cover.auther = QString(25, u'山');
    cover.date = " 2024/04/01 (月)  ";
    const CoverRow row = coverRow(cover);
    EXPECT_EQ(row.sysTitle.size(), 150);
    EXPECT_EQ(row.auther, QString(20, u'山'));
    EXPECT_EQ(row.createDate, " 2024/04/01 (月)  ");
    EXPECT_TRUE(row.company.isEmpty());
}

TEST(CoverRules, EachClickRewritesTheOneRow) {
    QTemporaryDir dir;
    const auto paths = intake::AppPaths::forFolder(dir.path());
    intake::ensureInstalled(paths);
    auto db = store::Database::open(paths.dbPath);
    writeCoverRow(*db, CoverRow{"A", "", "", "", "", ""});
    writeCoverRow(*db, CoverRow{"B", "S", "C", "D", "E", "F"});
    const auto rows = db->query("select SysTitle, CreateDate from T_XlHyousi");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), "B");
    EXPECT_EQ(rows[0][1].toString(), "F");
    EXPECT_EQ(coverReport(1), "R_XlHyousiH");
}
