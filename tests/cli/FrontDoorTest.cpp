// The executable's front door: which command lines open the window, run a
// command or print the usage, with which exit code; --help of every command.
#include "cli_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace tabulon::cli {
namespace {

using Kind = Route::Kind;

TEST(FrontDoor, RoutesEachCommandLine) {
    const struct {
        QStringList args;
        Kind kind;
        int exitCode;
    } cases[] = {
        {{}, Kind::Window, 0},          {{"saved.xdb"}, Kind::Window, 0},  // a results file
        {{"--help"}, Kind::Usage, 0},   {{"-h"}, Kind::Usage, 0},
        {{"help"}, Kind::Usage, 2},     {{"frobnicate"}, Kind::Usage, 2},  // no longer the window
        {{"--bogus"}, Kind::Usage, 2},  {{"saved.xdb", "x"}, Kind::Usage, 2},
        {{"report", "R_XlName", "--db", "x"}, Kind::Command, 0},
    };
    for (const auto& c : cases) {
        const Route r = route(c.args);
        EXPECT_EQ(r.kind, c.kind) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
    }
    const Route report = route({"report", "R_XlName", "--db", "x"});
    EXPECT_EQ(report.command, findCommand("report"));
    EXPECT_EQ(report.args, (QStringList{"R_XlName", "--db", "x"}));
    EXPECT_EQ(route({"saved.xdb"}).args, QStringList{"saved.xdb"});
}

using FrontDoorHelp = test::cli::CommandTest;

TEST_F(FrontDoorHelp, EveryCommandAnswersHelpWithItsJapaneseUsageWithoutRunning) {
    for (const CommandInfo& c : commandTable()) {
        EXPECT_EQ(run(c.name, {"x.xls", "--help"}), 0) << c.name;
        EXPECT_TRUE(out.startsWith("使い方: tabulon") && out.contains(QLatin1String(c.name))) << c.name;
        EXPECT_TRUE(err.isEmpty()) << c.name;
        EXPECT_TRUE(usageText().contains(QStringLiteral("\n  %1 ").arg(QLatin1String(c.name)))) << c.name;
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());  // init did not run
}

// The executable itself ends at once on a wrong command line, even where a
// platform is set and a window could open.
TEST(FrontDoor, ExecutableExitsWithUsage) {
    for (const auto& [args, exitCode] : {std::pair{QStringList{"frobnicate"}, 2}, {{"help"}, 2},
                                         {{"--help"}, 0}, {{"report", "-h"}, 0}}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(TABULON_EXECUTABLE, args);
        ASSERT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), exitCode) << args.join(' ').toStdString();
        EXPECT_TRUE((p.readAllStandardOutput() + p.readAllStandardError()).contains("使い方: tabulon"));
    }
}

// --home names the program folder in both spellings, and a command runs
// without any display or platform set.
TEST(FrontDoor, ExecutableTakesTheProgramFolderFromHome) {
    QTemporaryDir dir;
    for (const QStringList& args :
         {QStringList{"--home", dir.filePath("a"), "init"}, {"init", "--home=" + dir.filePath("b")}}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "TABULON_HOME"})
            env.remove(name);
        p.setProcessEnvironment(env);
        p.start(TABULON_EXECUTABLE, args);
        ASSERT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    for (const char* folder : {"a", "b"})
        EXPECT_TRUE(QFile::exists(dir.filePath(folder) + "/Tabulon2.mdb")) << folder;
}

}  // namespace
}  // namespace tabulon::cli
