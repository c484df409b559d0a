// `tabulon document`: the batch run of every chapter, its files and its
// failures, through the same function the executable calls.
#include "cli/DocumentCommand.h"

#include "host/xls/Decrypt.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using tabulon::cli::documentCommand;

namespace {

struct Batch : ::testing::Test {
    QTemporaryDir home;
    QString out = home.filePath("out");
    QString stdOut, stdErr;
    void SetUp() override { qputenv("TABULON_HOME", home.filePath("app").toUtf8()); }
    void TearDown() override { qunsetenv("TABULON_HOME"); }
    int run(const QStringList& args) {
        stdOut.clear();
        stdErr.clear();
        QTextStream o(&stdOut), e(&stdErr);
        return documentCommand(args, o, e);
    }
    static QString pdfText(const QString& pdf) {
        QProcess p;
        p.start("pdftotext", {"-layout", pdf, "-"});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

TEST_F(Batch, SampleGivesEveryChapterInWindowOrderAndACombinedFile) {
    const QString sample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");
    ASSERT_EQ(run({sample, "-o", out}), 0) << stdErr.toStdString();
    const QStringList pdfs = QDir(out).entryList({"*.pdf"}, QDir::Files, QDir::Name);
    EXPECT_EQ(pdfs, (QStringList{"01_R_XlHyousi.pdf", "02_R_XlHyousiH.pdf", "03_R_XlHyousiW.pdf",
                                 "04_R_XlObject.pdf", "05_R_XlCalcNote.pdf", "06_R_ModuleList.pdf",
                                 "07_R_SourceList.pdf", "08_R_XlShape.pdf", "09_R_XlHensuU.pdf",
                                 "10_R_XlHensuT.pdf", "11_R_XlHensuH.pdf", "12_R_XlName.pdf",
                                 "13_Sheet_売上明細.pdf", "14_Sheet_集計.pdf", "15_Sheet_設定.pdf",
                                 "16_R_XlFile.pdf", "17_R_XlComment.pdf", "18_R_XlModStep.pdf",
                                 "19_R_XlAddin.pdf", "20_R_XlLinkProc.pdf", "21_R_XlCalc.pdf",
                                 "documentation.pdf"}));
    EXPECT_TRUE(pdfText(out + "/11_R_XlHensuH.pdf").contains("変数"));
    EXPECT_TRUE(pdfText(out + "/01_R_XlHyousi.pdf").contains("受注管理システム"));
    // The link search lists the cells that take values from the linked book.
    EXPECT_TRUE(pdfText(out + "/21_R_XlCalc.pdf").contains("Prices.xls"));
    // The terminal shows the chapters, in Japanese, without the preview hint.
    EXPECT_TRUE(stdErr.contains("== オブジェクト一覧"));
    EXPECT_FALSE(stdErr.contains("印刷ﾌﾟﾚﾋﾞｭｰ"));
    const QString procedures = pdfText(out + "/06_R_ModuleList.pdf");
    EXPECT_TRUE(procedures.contains("ShowMenu"));
    EXPECT_TRUE(procedures.contains("Recalc"));
    EXPECT_TRUE(procedures.contains("UserForm1.frm"));  // the user form's module
    const QString all = pdfText(out + "/documentation.pdf");
    EXPECT_LT(all.indexOf("プログラム仕様書"), all.indexOf("ShowMenu"));
    // The program folder keeps the database the run leaves behind.
    EXPECT_TRUE(QFile::exists(home.filePath("app/Tabulon2.mdb")));
}

TEST_F(Batch, OptionsOverrideTheWindowDefaults) {
    const QString sample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");
    ASSERT_EQ(run({sample, "-o", out, "--columns", "1", "--proc50", "--shape", "2", "--file", "2"}), 0)
        << stdErr.toStdString();
    EXPECT_TRUE(QFile::exists(out + "/06_R_ModuleList50.pdf"));
    EXPECT_TRUE(QFile::exists(out + "/07_R_SourceList1.pdf"));
    EXPECT_TRUE(pdfText(out + "/08_R_XlShape.pdf").contains("コメント"));  // comments only with --shape 2
    EXPECT_TRUE(pdfText(out + "/16_R_XlFile.pdf").contains("Prices.xls"));  // the sample's link source
    EXPECT_EQ(run({sample, "-o", out, "--module", "9"}), 2);
}

TEST_F(Batch, WorkbookWithoutCodeSkipsTheCodeChapters) {
    ASSERT_EQ(run({tabulon::test::fixture("xls/poi/SimpleWithComments.xls"), "-o", out}), 0);
    EXPECT_TRUE(QDir(out).entryList({"*_R_ModuleList.pdf"}, QDir::Files).isEmpty());
    EXPECT_TRUE(stdErr.contains("プロシージャ一覧: 省略"));
}

TEST_F(Batch, SheetPrintImagesOfOneSheetAtAGivenZoom) {
    const QString sample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");
    ASSERT_EQ(run({sample, "-o", out, "--sheet", "集計", "--zoom", "80"}), 0) << stdErr.toStdString();
    const QStringList images = QDir(out).entryList({"*_Sheet_*.pdf"}, QDir::Files, QDir::Name);
    ASSERT_EQ(images.size(), 1);
    EXPECT_TRUE(images[0].endsWith("_Sheet_集計.pdf"));
    const QString page = pdfText(out + "/" + images[0]);
    EXPECT_TRUE(page.contains("売上合計")) << page.toStdString();
    // The column headings print with the cells.
    EXPECT_TRUE(page.contains(QRegularExpression("A\\s+B"))) << page.toStdString();

    EXPECT_EQ(run({sample, "-o", home.filePath("bad"), "--sheet", "集計", "--zoom", "401"}), 0);
    EXPECT_TRUE(stdErr.contains("ズームには 10 から 400 までの整数を入力して下さい。"));
    EXPECT_TRUE(QDir(home.filePath("bad")).entryList({"*_Sheet_*.pdf"}, QDir::Files).isEmpty());

    EXPECT_EQ(run({sample, "-o", home.filePath("none"), "--sheet", "無い"}), 0);
    EXPECT_TRUE(stdErr.contains("場所:シート印刷ｴﾗｰNo:9")) << stdErr.toStdString();
}

TEST_F(Batch, UnreadableWorkbookFailsWithTheSystemsErrorText) {
    EXPECT_EQ(run({tabulon::test::fixture("xls/oletools/encrypted.xls"), "-o", out}), 1);
    EXPECT_TRUE(stdErr.contains("場所:ファイル選択ｴﾗｰNo:")) << stdErr.toStdString();
    EXPECT_EQ(run({home.filePath("missing.xls"), "-o", out}), 1);
    EXPECT_EQ(run({home.filePath("notes.txt"), "-o", out}), 1);
    EXPECT_TRUE(stdErr.contains("ブックを開けませんでした"));
    EXPECT_FALSE(QFile::exists(out + "/documentation.pdf"));
}

TEST_F(Batch, EncryptedWorkbookOpensWithThePasswordGiven) {
    const QString book = tabulon::test::fixture("xls/oletools/encrypted.xls");
    EXPECT_EQ(run({book, "-o", out, "--password", "kq7-not-it"}), 1);
    EXPECT_TRUE(stdErr.contains(tabulon::xls::kPasswordWrong)) << stdErr.toStdString();
    EXPECT_FALSE(stdErr.contains("kq7-not-it"));
    qputenv("TABULON_PASSWORD", "encrypted");
    const int code = run({book, "-o", out});
    qunsetenv("TABULON_PASSWORD");
    EXPECT_EQ(code, 0) << stdErr.toStdString();
    EXPECT_TRUE(QFile::exists(out + "/documentation.pdf"));
}

}  // namespace
