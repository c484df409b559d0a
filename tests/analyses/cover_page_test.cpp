// The cover row: cut first, then trailing blanks off; characters, not bytes;
// the date exactly as typed; one row, rewritten at each click.
#include "analyses/workbook/CoverPage.h"
#include "analyses/workbook/WorkbookText.h"
#include "code_support.h"

#include "intake/AppPaths.h"
#include "store/Database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses::workbook;

TEST(CoverRules, CutThenTrimKeepsLeadingBlanksAndTabs) {
    const std::pair<QString, QString> cases[] = {
        {"  Title  ", "  Title"},                           // leading blanks stay
        {QString(149, u'a') + "   more", QString(149, u'a')},  // cut inside the blanks, then trim
        {"\tTab\t", "\tTab\t"},                              // tabs are not blanks
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(cutThenTrim(in, 150), out) << in.toStdString();
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
    EXPECT_EQ(test::code::lines(db->query("select SysTitle, CreateDate from T_XlHyousi")), QStringList{"B|F"});
}
