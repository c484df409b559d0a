// The executable's front door: which command lines open the window, run a
// command or print the usage, with which exit code; --help of every command.
#include "cli/FrontDoor.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tabulon::cli {
namespace {

using Kind = Route::Kind;

struct RouteCase {
    QStringList args;
    Kind kind;
    int exitCode;
    const char* command;  // the command that runs, if any
};

TEST(FrontDoor, RoutesEachCommandLine) {
    QTemporaryDir dir;
    const QString saved = dir.filePath("saved.xdb");
    const RouteCase cases[] = {
        {{}, Kind::Window, 0, nullptr},
        {{saved}, Kind::Window, 0, nullptr},               // a results file, existing or not
        {{"--help"}, Kind::Usage, 0, nullptr},
        {{"-h"}, Kind::Usage, 0, nullptr},
        {{"help"}, Kind::Usage, 2, nullptr},
        {{"frobnicate"}, Kind::Usage, 2, nullptr},         // no longer opens the window
        {{"--bogus"}, Kind::Usage, 2, nullptr},
        {{saved, "extra"}, Kind::Usage, 2, nullptr},
        {{"report", "R_XlName", "--db", "x"}, Kind::Command, 0, "report"},
        {{"dump", "--help"}, Kind::Command, 0, "dump"},
    };
    for (const RouteCase& c : cases) {
        const Route r = route(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(r.kind, c.kind) << line;
        EXPECT_EQ(r.exitCode, c.exitCode) << line;
        if (c.command) {
            ASSERT_NE(r.command, nullptr) << line;
            EXPECT_STREQ(r.command->name, c.command);
            EXPECT_EQ(r.args, c.args.mid(1));
        }
    }
    EXPECT_EQ(route({saved}).args, QStringList{saved});
}

TEST(FrontDoor, HomeIsTakenFromAnywhereOnTheLine) {
    QStringList args{"--home", "/a", "init"};
    EXPECT_EQ(takeHome(args), "/a");
    EXPECT_EQ(args, QStringList{"init"});
    args = {"dump", "--home=/b", "f.xls"};
    EXPECT_EQ(takeHome(args), "/b");
    EXPECT_EQ(args, (QStringList{"dump", "f.xls"}));
}

TEST(FrontDoor, EveryCommandAnswersHelpWithItsJapaneseUsageWithoutRunning) {
    QTemporaryDir home;
    qputenv("TABULON_HOME", home.path().toUtf8());
    for (const CommandInfo& c : commandTable()) {
        for (const char* help : {"--help", "-h"}) {
            QString out, err;
            QTextStream o(&out), e(&err);
            EXPECT_EQ(runCommand(c, {help}, o, e), 0) << c.name;
            o.flush();
            EXPECT_TRUE(out.startsWith("使い方: tabulon")) << c.name;
            EXPECT_TRUE(out.contains(QLatin1String(c.name))) << c.name;
            EXPECT_TRUE(err.isEmpty()) << c.name;
        }
        EXPECT_TRUE(usageText().contains(QStringLiteral("  %1 ").arg(QLatin1String(c.name)))) << c.name;
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));  // init did not run
    qunsetenv("TABULON_HOME");
}

#ifdef TABULON_EXECUTABLE
// The executable itself: a wrong command line ends at once, even where a
// platform is set and a window could open.
TEST(FrontDoor, ExecutableExitsWithUsageOnAWrongCommandLine) {
    struct Case {
        QStringList args;
        int exitCode;
    };
    for (const Case& c : {Case{{"frobnicate"}, 2}, Case{{"help"}, 2}, Case{{"--help"}, 0},
                          Case{{"report", "--help"}, 0}}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(TABULON_EXECUTABLE, c.args);
        ASSERT_TRUE(p.waitForFinished(30000)) << c.args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), c.exitCode) << c.args.join(' ').toStdString();
        const QString text = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        EXPECT_TRUE(text.contains("使い方: tabulon")) << c.args.join(' ').toStdString();
    }
}
#endif

}  // namespace
}  // namespace tabulon::cli
