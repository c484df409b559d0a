#pragma once
// Helpers of the command-line tests: a scratch program folder, the commands
// run through the function the executable calls, and the text of the PDFs
// they write.
#include "cli/FrontDoor.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tabulon::test::cli {

inline const QString kSample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");

// TABULON_HOME points at dir/app; `out` and `err` hold what the last command wrote.
struct CommandTest : ::testing::Test {
    QTemporaryDir dir;
    QString app = dir.filePath("app"), out, err;
    void SetUp() override { qputenv("TABULON_HOME", app.toUtf8()); }
    void TearDown() override { qunsetenv("TABULON_HOME"); }
    int run(const char* command, const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return tabulon::cli::runCommand(*tabulon::cli::findCommand(QLatin1String(command)), args, o, e);
    }
};

inline QString pdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace tabulon::test::cli
