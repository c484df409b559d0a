// The add-in list: every registered add-in under every sheet, numbered
// through; a registered add-in whose file is gone keeps its row.
#include "analyses/workbook/AddinList.h"
#include "analyses/workbook/FolderFiles.h"
#include "analyses/workbook/ShapeInventory.h"
#include "workbook_support.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses::workbook;

TEST(AddinCommand, FourAddinsUnderThreeSheetsGiveTwelveRows) {
    test::workbook::BookSpace space;
    xlsw::XlsWriter w;
    for (const char* sheet : {"A", "B", "C"}) w.addSheet(sheet);
    space.open(w);
    for (const char* file : {"one.xla", "two.xla", "four.xll"}) {
        QFile f(space.folder() + file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(512, 'x'));
    }
    QFile ini(space.folder() + "AddIns.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[AddIns]\none.xla=1\ntwo.xla=0\ngone.xla=1\nfour.xll=0\n");
    ini.close();

    const auto out = runAddinList(space.context());
    ASSERT_EQ(out.end, analyses::code::CodeOutcome::End::Report) << out.message.toStdString();
    EXPECT_EQ(out.doneMark, 1);
    const auto rows = space.rows("select FileNo, Name, Installed, objectName, FileSize, ReadOnly from T_XlAddin order by ID");
    ASSERT_EQ(rows.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(rows[i][0].toInt(), i + 1);
        EXPECT_EQ(rows[i][3].toString(), QString(QChar(u'A' + i / 4)));
    }
    EXPECT_EQ(rows[0][2].toInt(), 1);  // installed
    EXPECT_EQ(rows[1][2].toInt(), 0);  // registered only
    EXPECT_EQ(rows[2][1].toString(), "gone.xla");
    EXPECT_EQ(rows[2][4], QVariant());
    EXPECT_EQ(rows[3][4].toDouble(), 0.5);
    EXPECT_EQ(space.progress.values, (std::vector<int>{0, 33, 67, 100, 100}));
    EXPECT_EQ(runAddinList(space.context()).rows, 12);  // every run rebuilds
}

TEST(WorkbookChapters, FailureShowsThePlaceAndKeepsTheMark) {
    test::workbook::BookSpace space;
    xlsw::XlsWriter w;
    w.addSheet("A");
    space.open(w);
    QFile::remove(space.dbPath());
    const auto ctx = space.context();
    const struct { analyses::code::CodeOutcome out; QString place; int mark; } runs[] = {
        {runShapeInventory(ctx, {2, 1}), "場所:図形情報ｴﾗｰNo:3024", 1},
        {runFolderFiles(ctx, {3, 1}), "場所:ファイル一覧ｴﾗｰNo:3024", 1},
        {runAddinList(ctx), "場所:アドイン情報ｴﾗｰNo:3024", 0},
    };
    for (const auto& r : runs) {
        EXPECT_EQ(r.out.end, analyses::code::CodeOutcome::End::Failed);
        EXPECT_TRUE(r.out.message.startsWith(r.place)) << r.out.message.toStdString();
        EXPECT_EQ(r.out.doneMark, r.mark);
        EXPECT_TRUE(r.out.report.isEmpty());
    }
    EXPECT_EQ(space.messages.shown.size(), 3u);
}
