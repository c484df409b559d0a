// `tabulon document --save`: the batch writes the results file the window's
// save command would, and `tabulon report` prints from it on its own.
#include "cli/DocumentCommand.h"
#include "cli/ReportCommand.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(BatchSave, SavedFilePrintsWithoutTheProgramFolder) {
    QTemporaryDir home;
    qputenv("TABULON_HOME", home.filePath("app").toUtf8());
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const QString sample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");
    ASSERT_EQ(tabulon::cli::documentCommand({sample, "-o", home.filePath("out"), "--save",
                                             home.filePath("結果")},
                                            out, err),
              0)
        << errText.toStdString();
    qunsetenv("TABULON_HOME");
    EXPECT_TRUE(errText.contains("保存終了しました。"));
    const QString results = home.filePath("結果.xdb");
    ASSERT_TRUE(QFile::exists(results));
    // The program folder (and its live database) is gone; the file stands alone.
    QDir(home.filePath("app")).removeRecursively();

    const QString pdf = home.filePath("modules.pdf");
    ASSERT_EQ(tabulon::cli::reportCommand({"R_ModuleList", "R_XlHyousi", "--db", results, "--pdf", pdf},
                                          out, err),
              0)
        << errText.toStdString();
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    p.waitForFinished(60000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains("ShowMenu"));
    EXPECT_TRUE(text.contains("受注管理システム"));
}

}  // namespace
