// `tabulon document`: the batch run of every chapter, its files, the results
// file it saves and its failures, through the same function the executable
// calls.
#include "cli_support.h"
#include "host/xls/Decrypt.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace tabulon::test::cli {
namespace {

struct Batch : CommandTest {
    QString to = dir.filePath("out");
    int document(const QStringList& args) { return run("document", args); }
};

TEST_F(Batch, SampleGivesEveryChapterInWindowOrderACombinedFileAndAResultsFileThatPrintsAlone) {
    ASSERT_EQ(document({kSample, "-o", to, "--save", dir.filePath("結果")}), 0) << err.toStdString();
    const QStringList pdfs = QDir(to).entryList({"*.pdf"}, QDir::Files, QDir::Name);
    EXPECT_EQ(pdfs, (QStringList{"01_R_XlHyousi.pdf", "02_R_XlHyousiH.pdf", "03_R_XlHyousiW.pdf",
                                 "04_R_XlObject.pdf", "05_R_XlCalcNote.pdf", "06_R_ModuleList.pdf",
                                 "07_R_SourceList.pdf", "08_R_XlShape.pdf", "09_R_XlHensuU.pdf",
                                 "10_R_XlHensuT.pdf", "11_R_XlHensuH.pdf", "12_R_XlName.pdf",
                                 "13_Sheet_売上明細.pdf", "14_Sheet_集計.pdf", "15_Sheet_設定.pdf",
                                 "16_R_XlFile.pdf", "17_R_XlComment.pdf", "18_R_XlModStep.pdf",
                                 "19_R_XlAddin.pdf", "20_R_XlLinkProc.pdf", "21_R_XlCalcLink.pdf",
                                 "documentation.pdf"}));
    // The link search lists the cells that take values from the linked book;
    // the procedure list has the user form's module.
    for (const auto& [pdf, text] : {std::pair{"11_R_XlHensuH.pdf", "変数"}, {"01_R_XlHyousi.pdf", "受注管理システム"},
                                    {"21_R_XlCalcLink.pdf", "Prices.xls"}, {"06_R_ModuleList.pdf", "ShowMenu"},
                                    {"06_R_ModuleList.pdf", "Recalc"}, {"06_R_ModuleList.pdf", "UserForm1.frm"}})
        EXPECT_TRUE(pdfText(to + "/" + pdf).contains(QString::fromUtf8(text))) << pdf << " " << text;
    // The output shows the chapters, in Japanese, without the preview hint;
    // nothing went wrong, so the error stream is empty.
    EXPECT_TRUE(out.contains("== オブジェクト一覧"));
    EXPECT_FALSE(out.contains("印刷ﾌﾟﾚﾋﾞｭｰ"));
    EXPECT_EQ(err, QString());
    const QString all = pdfText(to + "/documentation.pdf");
    const qsizetype cover = all.indexOf("プログラム仕様書");
    EXPECT_GE(cover, 0);
    EXPECT_LT(cover, all.indexOf("ShowMenu"));
    // The program folder keeps the database the run leaves behind.
    EXPECT_TRUE(QFile::exists(app + "/Tabulon2.mdb"));

    // The results file is the one the window's save command writes, and
    // prints on its own once the program folder (and its live database) is gone.
    EXPECT_TRUE(out.contains("保存終了しました。"));
    const QString results = dir.filePath("結果.xdb");
    ASSERT_TRUE(QFile::exists(results));
    QDir(app).removeRecursively();
    const QString pdf = dir.filePath("modules.pdf");
    ASSERT_EQ(run("report", {"R_ModuleList", "R_XlHyousi", "--db", results, "--pdf", pdf}), 0) << err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("ShowMenu"));
    EXPECT_TRUE(text.contains("受注管理システム"));
}

TEST_F(Batch, OptionsOverrideTheWindowDefaultsAndSheetPrintImagesOneSheetAtAGivenZoom) {
    // Numbers as a Japanese input method types them: full-width digits.
    ASSERT_EQ(document({kSample, "-o", to, "--columns", "1", "--proc50", "--shape", "２", "--file", "2", "--sheet",
                        "集計", "--zoom", "８０"}),
              0)
        << err.toStdString();
    EXPECT_TRUE(QFile::exists(to + "/06_R_ModuleList50.pdf"));
    EXPECT_TRUE(QFile::exists(to + "/07_R_SourceList1.pdf"));
    EXPECT_TRUE(pdfText(to + "/08_R_XlShape.pdf").contains("コメント"));  // comments only with --shape 2
    EXPECT_TRUE(pdfText(to + "/14_R_XlFile.pdf").contains("Prices.xls"));  // the link source, after one sheet
    const QStringList images = QDir(to).entryList({"*_Sheet_*.pdf"}, QDir::Files, QDir::Name);
    ASSERT_EQ(images.size(), 1);
    EXPECT_TRUE(images[0].endsWith("_Sheet_集計.pdf"));
    const QString page = pdfText(to + "/" + images[0]);
    EXPECT_TRUE(page.contains("売上合計")) << page.toStdString();
    // The column headings print with the cells.
    EXPECT_TRUE(page.contains(QRegularExpression("A\\s+B"))) << page.toStdString();

}

TEST_F(Batch, WorkbookWithoutCodeSkipsTheCodeChapters) {
    ASSERT_EQ(document({fixture("xls/poi/SimpleWithComments.xls"), "-o", to}), 0);
    EXPECT_TRUE(QDir(to).entryList({"*_R_ModuleList.pdf"}, QDir::Files).isEmpty());
    EXPECT_TRUE(out.contains("プロシージャ一覧: 省略"));
}

// A file the reader refuses ends the run with its reason in plain words on
// the error stream, no mail request and no PDF.
TEST_F(Batch, RefusedWorkbookEndsWithItsReason) {
    const std::pair<QString, const char*> cases[] = {
        {fixture("xls/oletools/encrypted.xls"), "パスワードで保護されたブックです。"},
        {dir.filePath("missing.xls"), "ファイルが見つからないか、開けません。"},
        {dir.filePath("notes.txt"), "Excel ブックではないため、読み込めません。"},
    };
    for (const auto& [file, reason] : cases) {
        EXPECT_EQ(document({file, "-o", to}), 1) << file.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("「%1」を開けません。").arg(QFileInfo(file).fileName())))
            << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(reason))) << err.toStdString();
        EXPECT_FALSE(err.contains("メール")) << err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(to + "/documentation.pdf"));
}

TEST_F(Batch, EncryptedWorkbookOpensWithThePasswordGiven) {
    const QString book = fixture("xls/oletools/encrypted.xls");
    EXPECT_EQ(document({book, "-o", to, "--password", "kq7-not-it"}), 1);
    EXPECT_TRUE(err.contains(xls::kPasswordWrong)) << err.toStdString();
    EXPECT_FALSE(err.contains("kq7-not-it"));
    qputenv("TABULON_PASSWORD", "encrypted");
    const int code = document({book, "-o", to});
    qunsetenv("TABULON_PASSWORD");
    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(QFile::exists(to + "/documentation.pdf"));
}

// The terminal as a user meets it: a normal run prints nothing on the error
// stream, not even what Qt says about a missing runtime folder; a file whose
// compound structure makes the reading library complain shows only the
// program's own refusal, and --verbose shows the library's words too.
TEST_F(Batch, ExecutableKeepsLibraryChatterOffTheTerminal) {
    const auto runExecutable = [&](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        env.remove("TABULON_HOME");
        p.setProcessEnvironment(env);
        p.start(TABULON_EXECUTABLE, QStringList{"--home", app} + args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    };
    const auto [normal, quiet] = runExecutable({"document", fixture("xls/poi/SimpleWithComments.xls"), "-o", to});
    EXPECT_EQ(normal, 0);
    EXPECT_EQ(quiet, QString());
    const QString damaged = fixture("xls/calamine/OOM_alloc3.xls");
    const auto [refused, said] = runExecutable({"document", damaged, "-o", to});
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(said, "「OOM_alloc3.xls」を開けません。\n理由: Excel ブックではないため、読み込めません。\n");
    const auto [again, verbose] = runExecutable({"--verbose", "document", damaged, "-o", to});
    EXPECT_EQ(again, 1);
    EXPECT_TRUE(verbose.contains("[libgsf:msole]")) << verbose.toStdString();
}

}  // namespace
}  // namespace tabulon::test::cli
