// A full disk while the PDFs are written: the run says so and ends with a
// failure, and every file that was there before is as it was; no part file
// is left. The disk is a small tmpfs where the test may mount one (a mount
// namespace of its own), else a file-size limit stands in for it.
#include "cli_support.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace tabulon::test::cli {
namespace {

using FullDisk = CommandTest;

TEST_F(FullDisk, EarlierFilesStayAndTheUserIsTold) {
    ASSERT_EQ(run("init", {}), 0);
    const QString out = dir.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    // Inside the namespace: a 256 KB disk over the output folder, holding an
    // earlier documentation; then the run; then what the disk holds.
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 99\n"
        "printf earlier > \"$1/documentation.pdf\"\n"
        "\"$2\" document \"$3\" -o \"$1\"\n"
        "echo \"status $?\"\n"
        "echo \"earlier: $(cat \"$1/documentation.pdf\")\"\n"
        "ls -A \"$1\"\n");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TABULON_HOME", app);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start("unshare", {"-rm", "sh", "-c", script, "sh", out, TABULON_EXECUTABLE, kSample});
    const bool started = p.waitForStarted() && p.waitForFinished(120000);
    QString shown = QString::fromUtf8(p.readAllStandardOutput()), said = QString::fromUtf8(p.readAllStandardError());
    if (!started || p.exitCode() == 99 || !shown.contains("status")) {
        // No tmpfs here: files larger than 200 KB cannot be written, as on a
        // disk that filled up while the combined file was written.
        QFile earlier(out + "/documentation.pdf");
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
        earlier.close();
        p.start("prlimit", {"--fsize=200000", TABULON_EXECUTABLE, "document", kSample, "-o", out});
        ASSERT_TRUE(p.waitForFinished(120000));
        said = QString::fromUtf8(p.readAllStandardError());
        QFile again(out + "/documentation.pdf");
        ASSERT_TRUE(again.open(QIODevice::ReadOnly));
        shown = QStringLiteral("status %1\nearlier: %2\n%3")
                    .arg(p.exitCode())
                    .arg(QString::fromUtf8(again.readAll()))
                    .arg(QDir(out).entryList(QDir::Files | QDir::Hidden).join('\n'));
    }
    EXPECT_TRUE(shown.contains("status 1")) << shown.toStdString() << said.toStdString();
    EXPECT_TRUE(shown.contains("earlier: earlier\n")) << shown.toStdString();
    EXPECT_FALSE(shown.contains(".~tabulon")) << shown.toStdString();
    EXPECT_TRUE(said.contains("ディスクの空き容量が足りません")) << said.toStdString();
    EXPECT_FALSE(said.contains("しおり") || said.contains("QPainter")) << said.toStdString();
}

}  // namespace
}  // namespace tabulon::test::cli
