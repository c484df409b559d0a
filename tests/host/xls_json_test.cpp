// The dump's JSON: the members other tools and people read, filled from the
// same host API the analyses use.
#include "host/Workbook.h"
#include "host/dump/WorkbookJson.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace tabulon;

TEST(XlsJson, SheetsCellsNotesNamesLinksAndWarnings) {
    const host::Workbook wb = host::Workbook::load(test::fixture("xls/poi/SimpleWithComments.xls"));
    const QJsonObject root = host::workbookJson(wb);
    for (const char* member : {"fullName", "properties", "sheets", "names", "links", "warnings"})
        EXPECT_TRUE(root.contains(QLatin1String(member))) << member;
    const QJsonArray sheets = root.value("sheets").toArray();
    ASSERT_EQ(sheets.size(), 3);
    const QJsonObject first = sheets.at(0).toObject();
    EXPECT_EQ(first.value("name").toString(), "Sheet1");
    EXPECT_EQ(first.value("kind").toString(), "worksheet");
    EXPECT_EQ(first.value("visible").toInt(), -1);
    EXPECT_EQ(first.value("usedRange").toObject().value("address").toString(), "$A$1:$B$3");
    EXPECT_TRUE(first.value("shapes").isArray());
    const QJsonArray cells = first.value("cells").toArray();
    ASSERT_EQ(cells.size(), 6) << "only cells with something in them";
    const QJsonObject b1 = cells.at(1).toObject();
    EXPECT_EQ(b1.value("address").toString(), "$B$1");
    EXPECT_EQ(b1.value("value").toString(), "one");
    EXPECT_EQ(b1.value("note").toString(), "Yegor Kozlov:\nfirst cell");
    EXPECT_FALSE(cells.at(0).toObject().contains("note"));
    EXPECT_EQ(root.value("properties").toObject().value("7").toString(), "Yegor Kozlov");
    EXPECT_FALSE(root.value("properties").toObject().contains("10")) << "a missing date is left out";
    EXPECT_TRUE(root.value("links").toObject().value("excel").toArray().isEmpty());
}
