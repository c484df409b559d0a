// Runs of `tabulon document` in one program folder never meet: started
// together they give what each gives alone, and a run that is ended by a
// signal leaves nothing behind (or, killed outright, nothing the next run
// does not remove).
#include "cli_support.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QDir>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace tabulon::test::cli {
namespace {

struct IndependentRuns : CommandTest {
    // Starts the executable on `book` into `out`, in the shared program folder.
    std::unique_ptr<QProcess> start(const QString& book, const QString& out) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TABULON_HOME", app);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p->setProcessEnvironment(env);
        p->start(TABULON_EXECUTABLE, {"document", book, "-o", out});
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    // Every PDF of a run with its text; clock times masked (a sheet's page
    // header may print the time).
    static std::map<QString, QString> texts(const QString& out) {
        std::map<QString, QString> all;
        static const QRegularExpression clock(QStringLiteral("\\d{1,2}:\\d\\d(:\\d\\d)?"));
        for (const QString& pdf : QDir(out).entryList({"*.pdf"}, QDir::Files))
            all[pdf] = pdfText(out + "/" + pdf).replace(clock, QStringLiteral("hh:mm"));
        return all;
    }
    // The files whose texts differ, or that only one side has.
    static QStringList differing(const std::map<QString, QString>& got, const std::map<QString, QString>& want) {
        QStringList names;
        for (const auto& [name, text] : want)
            if (!got.count(name) || got.at(name) != text) names << name;
        for (const auto& [name, text] : got)
            if (!want.count(name)) names << name;
        return names;
    }
    QStringList runFolders() const {
        return QDir(app + "/runs").entryList({"run-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

TEST_F(IndependentRuns, TwoWorkbooksDocumentedTogetherGiveWhatEachGivesAlone) {
    const QString a = kSample, b = fixture("xls/crafted/japanese_vba.xls");
    ASSERT_EQ(run("init", {}), 0);
    auto soloA = start(a, dir.filePath("soloA"));
    ASSERT_TRUE(soloA->waitForFinished(120000));
    auto soloB = start(b, dir.filePath("soloB"));
    ASSERT_TRUE(soloB->waitForFinished(120000));
    ASSERT_EQ(soloA->exitCode(), 0) << soloA->readAllStandardError().toStdString();
    ASSERT_EQ(soloB->exitCode(), 0) << soloB->readAllStandardError().toStdString();
    const auto expectedA = texts(dir.filePath("soloA")), expectedB = texts(dir.filePath("soloB"));
    ASSERT_GT(expectedA.size(), 10u);
    // Started together, again and again: a mix shows in any one round.
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const QString outA = dir.filePath(QStringLiteral("A%1").arg(round)), outB = dir.filePath(QStringLiteral("B%1").arg(round));
        auto runA = start(a, outA), runB = start(b, outB);
        ASSERT_TRUE(runA->waitForFinished(120000) && runB->waitForFinished(120000));
        EXPECT_EQ(runA->exitCode(), 0) << runA->readAllStandardError().toStdString();
        EXPECT_EQ(runB->exitCode(), 0) << runB->readAllStandardError().toStdString();
        EXPECT_EQ(differing(texts(outA), expectedA).join(" ").toStdString(), "");
        EXPECT_EQ(differing(texts(outB), expectedB).join(" ").toStdString(), "");
    }
    EXPECT_TRUE(runFolders().isEmpty()) << runFolders().join(' ').toStdString();
}

TEST_F(IndependentRuns, ARunEndedBySignalLeavesNothingAndAKilledOneIsClearedByTheNext) {
    // A workbook whose sheet print takes a while.
    xlsw::XlsWriter w;
    xlsw::XlsSheet& data = w.addSheet(QStringLiteral("Data"));
    for (int r = 0; r < 20000; ++r) data.number(r, 0, r).text(r, 1, QStringLiteral("行 %1").arg(r));
    const QString book = dir.filePath("long.xls");
    ASSERT_TRUE(w.save(book));
    ASSERT_EQ(run("init", {}), 0);

    for (const int signal : {SIGTERM, SIGINT, SIGKILL}) {
        SCOPED_TRACE(signal);
        const QString out = dir.filePath(QStringLiteral("out%1").arg(signal));
        auto p = start(book, out);
        for (int i = 0; i < 600 && runFolders().isEmpty(); ++i) QThread::msleep(10);
        ASSERT_FALSE(runFolders().isEmpty()) << "the run made no folder of its own";
        // The signal comes as the sheet print starts, the long part, however
        // quick the machine: mid-run, with the run's files in the making.
        QByteArray said;
        while (!said.contains("== シート印刷") && p->waitForReadyRead(60000)) said += p->readAllStandardOutput();
        ASSERT_TRUE(said.contains("== シート印刷")) << said.toStdString();
        ::kill(pid_t(p->processId()), signal);
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitStatus(), QProcess::CrashExit) << "ended before the signal";
        if (signal != SIGKILL) {
            EXPECT_TRUE(runFolders().isEmpty()) << runFolders().join(' ').toStdString();
            // No part file stands in the output folder, under any name.
            EXPECT_TRUE(QDir(out).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
        }
    }
    // What the killed run left goes with the next run into the same folders.
    ASSERT_EQ(runFolders().size(), 1);
    const QString out = dir.filePath(QStringLiteral("out%1").arg(SIGKILL));
    EXPECT_EQ(run("document", {fixture("xls/poi/SimpleWithComments.xls"), "-o", out}), 0) << err.toStdString();
    EXPECT_TRUE(runFolders().isEmpty()) << runFolders().join(' ').toStdString();
    EXPECT_TRUE(QDir(out).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace tabulon::test::cli
