// init, report and dump through the function the executable calls: their
// output, their files and their exit codes.
#include "cli_support.h"
#include "store/Database.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace tabulon::test::cli {
namespace {

using Command = CommandTest;

// Writes the bytes when given, else reads the file.
QByteArray file(const QString& path, const QByteArray& write = {}) {
    QFile f(path);
    if (!write.isEmpty() && f.open(QIODevice::WriteOnly)) f.write(write);
    return write.isEmpty() && f.open(QIODevice::ReadOnly) ? f.readAll() : write;
}

TEST_F(Command, InitCreatesWhatIsMissingAndLeavesWhatExists) {
    ASSERT_EQ(run("init", {}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("Tabulon2.dat") && out.contains("Tabulon2.mdb"));
    file(app + "/Tabulon2.dat", "Title=自分の表題\r\n");
    QDir(app + "/temp").removeRecursively();
    ASSERT_EQ(run("init", {}), 0);
    EXPECT_EQ(file(app + "/Tabulon2.dat"), "Title=自分の表題\r\n");
    EXPECT_TRUE(QFileInfo(app + "/temp").isDir() && QFileInfo(app + "/Tabulon2.mdb").isFile());
    EXPECT_FALSE(out.contains("Tabulon2.dat"));
    EXPECT_EQ(run("init", {"extra"}), 2);
}

TEST_F(Command, ReportRendersStoredReportsOrFailsInJapaneseWithoutAFile) {
    const QString db = dir.filePath("Tabulon2.mdb"), pdf = dir.filePath("r.pdf"), none = dir.filePath("none.mdb");
    store::Database::create(db);
    for (const auto& [args, exitCode, named] :
         {std::tuple{QStringList{"R_Nothing", "--db", db, "--pdf", pdf}, 1, QString("R_Nothing")},
          {{"R_XlName", "--db", none, "--pdf", pdf}, 1, none},
          {{"R_XlName", "--pdf", pdf}, 2, "--db"}}) {
        EXPECT_EQ(run("report", args), exitCode) << args.join(' ').toStdString();
        EXPECT_TRUE(err.contains(named) && err.contains(exitCode == 1 ? "エラー" : "使い方")) << err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf) || QFile::exists(none));  // nor a database made up
    }
    ASSERT_EQ(run("report", {"R_XlName", "R_XlFile", "--db", db, "--pdf", pdf}), 0) << err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_LT(text.indexOf("名前定義一覧"), text.indexOf("ファイル一覧"));
    EXPECT_GE(text.indexOf("名前定義一覧"), 0);
}

TEST_F(Command, DumpShowsTheSampleAsTextAndJson) {
    ASSERT_EQ(run("dump", {kSample}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("Sheet 売上明細 (worksheet") && out.contains("Name 税率\t=設定!$B$1"));
    ASSERT_EQ(run("dump", {"--json", kSample}), 0);
    const QJsonObject root = QJsonDocument::fromJson(out.toUtf8()).object();
    ASSERT_EQ(root.value("sheets").toArray().size(), 4);
    EXPECT_EQ(root.value("sheets").toArray()[2].toObject().value("name").toString(), "設定");
    EXPECT_TRUE(root.contains("vba"));
}

TEST_F(Command, DumpRefusesWhatIsNoWorkbookCleanly) {
    const QString text = dir.filePath("notes.xls"), cut = dir.filePath("cut.xls");
    file(text, "これはブックではありません\n");
    file(cut, file(kSample).left(3000));
    for (const QString& path : {text, cut, dir.filePath("missing.xls")}) {
        EXPECT_EQ(run("dump", {path}), 1) << path.toStdString();
        EXPECT_TRUE(out.isEmpty() && err.startsWith("error ")) << err.toStdString();
    }
    EXPECT_EQ(run("dump", {}), 2);
    EXPECT_EQ(run("dump", {"--xml", kSample}), 2);
}

}  // namespace
}  // namespace tabulon::test::cli
