// init, report and dump through the functions the executable calls: their
// output, their files and their exit codes.
#include "cli/Commands.h"
#include "cli/FrontDoor.h"
#include "store/Database.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tabulon::cli {
namespace {

const QString kSample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");

struct Command : ::testing::Test {
    QTemporaryDir dir;
    QString out, err;
    void SetUp() override { qputenv("TABULON_HOME", dir.filePath("app").toUtf8()); }
    void TearDown() override { qunsetenv("TABULON_HOME"); }
    int run(const char* name, const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const int code = runCommand(*findCommand(QLatin1String(name)), args, o, e);
        o.flush();
        e.flush();
        return code;
    }
    void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(Command, InitCreatesWhatIsMissingAndLeavesWhatExists) {
    const QString app = dir.filePath("app");
    ASSERT_EQ(run("init", {}), 0) << err.toStdString();
    EXPECT_TRUE(QFileInfo(app + "/temp").isDir());
    for (const char* file : {"Tabulon2.dat", "Tabulon2.mdb"}) {
        EXPECT_TRUE(QFileInfo::exists(app + '/' + file)) << file;
        EXPECT_TRUE(out.contains(file)) << file;
    }
    write(app + "/Tabulon2.dat", "Title=自分の表題\r\n");
    QDir(app + "/temp").removeRecursively();
    ASSERT_EQ(run("init", {}), 0);
    EXPECT_EQ(read(app + "/Tabulon2.dat"), "Title=自分の表題\r\n");
    EXPECT_TRUE(QFileInfo(app + "/temp").isDir());
    EXPECT_FALSE(out.contains("Tabulon2.dat"));
    EXPECT_EQ(run("init", {"extra"}), 2);
}

TEST_F(Command, ReportRendersAStoredReportToPdf) {
    const QString db = dir.filePath("Tabulon2.mdb"), pdf = dir.filePath("names.pdf");
    store::Database::create(db);
    ASSERT_EQ(run("report", {"R_XlName", "R_XlFile", "--db", db, "--pdf", pdf}), 0) << err.toStdString();
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    p.waitForFinished(60000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_LT(text.indexOf("名前定義一覧"), text.indexOf("ファイル一覧"));
    EXPECT_GE(text.indexOf("名前定義一覧"), 0);
}

TEST_F(Command, ReportFailuresAreJapaneseErrorsWithoutAFile) {
    const QString db = dir.filePath("Tabulon2.mdb"), pdf = dir.filePath("x.pdf");
    store::Database::create(db);
    struct Case {
        QStringList args;
        int exitCode;
        QString named;  // what the error must name
    };
    const QString missingDb = dir.filePath("none.mdb");
    for (const Case& c : {Case{{"R_Nothing", "--db", db, "--pdf", pdf}, 1, "R_Nothing"},
                          Case{{"R_XlName", "--db", missingDb, "--pdf", pdf}, 1, missingDb},
                          Case{{"R_XlName", "--pdf", pdf}, 2, "--db"},
                          Case{{"R_XlName", "--db", db, "--pdf", pdf, "--zoom"}, 2, "--pdf"}}) {
        EXPECT_EQ(run("report", c.args), c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(err.contains(c.named)) << err.toStdString();
        EXPECT_TRUE(err.contains(c.exitCode == 1 ? "エラー" : "使い方")) << err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
    EXPECT_FALSE(QFile::exists(missingDb));  // a missing database is not created
}

TEST_F(Command, DumpShowsTheSampleAsTextAndJson) {
    ASSERT_EQ(run("dump", {kSample}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("Sheet 売上明細 (worksheet"));
    EXPECT_TRUE(out.contains("Name 税率\t=設定!$B$1"));
    ASSERT_EQ(run("dump", {"--json", kSample}), 0);
    const QJsonObject root = QJsonDocument::fromJson(out.toUtf8()).object();
    const QJsonArray sheets = root.value("sheets").toArray();
    ASSERT_EQ(sheets.size(), 4);
    EXPECT_EQ(sheets[2].toObject().value("name").toString(), "設定");
    EXPECT_TRUE(root.contains("vba"));
}

TEST_F(Command, DumpRefusesWhatIsNoWorkbookCleanly) {
    const QString text = dir.filePath("notes.xls"), cut = dir.filePath("cut.xls");
    write(text, "これはブックではありません\n");
    write(cut, read(kSample).left(3000));
    for (const QString& file : {text, cut, dir.filePath("missing.xls")}) {
        EXPECT_EQ(run("dump", {file}), 1) << file.toStdString();
        EXPECT_TRUE(out.isEmpty()) << file.toStdString();
        EXPECT_TRUE(err.startsWith("error ")) << err.toStdString();
    }
    EXPECT_EQ(run("dump", {}), 2);
    EXPECT_EQ(run("dump", {"--xml", kSample}), 2);
}

}  // namespace
}  // namespace tabulon::cli
