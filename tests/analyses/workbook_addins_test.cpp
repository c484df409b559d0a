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
using tabulon::intake::FileSelection;
using tabulon::intake::ShapeSelection;

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
    // Numbered through; installed or registered only; a missing file has no size.
    QStringList rows;
    for (const char* sheet : {"A", "B", "C"})
        for (const char* addin : {"one.xla|1|0.5", "two.xla|0|0.5", "gone.xla|1|-", "four.xll|0|0.5"})
            rows << QStringLiteral("%1|%2|%3").arg(rows.size() + 1).arg(sheet, addin);
    EXPECT_EQ(test::workbook::lines(
                  space.rows("select FileNo, objectName, Name, Installed, FileSize from T_XlAddin order by ID"), "-"),
              rows);
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
        {runShapeInventory(ctx, {ShapeSelection::All, 1}), "場所:図形情報ｴﾗｰNo:3024", 1},
        {runFolderFiles(ctx, {FileSelection::AllInFolder, 1}), "場所:ファイル一覧ｴﾗｰNo:3024", 1},
        {runAddinList(ctx), "場所:アドイン情報ｴﾗｰNo:3024", 0},
    };
    for (const auto& r : runs) {
        EXPECT_EQ(r.out.end, analyses::code::CodeOutcome::End::Failed);
        EXPECT_TRUE(r.out.message.startsWith(r.place)) << r.out.message.toStdString();
        EXPECT_EQ(r.out.doneMark, r.mark);
    }
    EXPECT_EQ(space.messages.shown.size(), 3u);
}
