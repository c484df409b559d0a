// The working folder of a run without the window: its own database and
// module folder, nothing written to the program's, and folders of ended runs
// removed while those of live runs stay.
#include "intake/RunFolder.h"

#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/file.h>

using namespace tabulon;
using namespace tabulon::intake;

namespace {

struct Runs : ::testing::Test {
    QTemporaryDir home;
    AppPaths program = AppPaths::forFolder(home.path());
    void SetUp() override { ensureInstalled(program); }
    QStringList folders() const {
        return QDir(RunFolder::parentOf(program)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

TEST_F(Runs, ARunWritesItsOwnCopyAndLeavesTheProgramsDatabase) {
    store::Database::open(program.dbPath)->execute("INSERT INTO T_XlTitle (FileName) VALUES ('header')");
    QString path;
    {
        RunFolder run(program);
        const AppPaths& own = run.ownPaths();
        path = run.path();
        EXPECT_NE(own.dbPath, program.dbPath);
        EXPECT_TRUE(own.tempFolder.startsWith(run.path()) && QDir(own.tempFolder).exists());
        EXPECT_EQ(own.iniPath, program.iniPath);  // settings and cover defaults stay the program's
        EXPECT_EQ(own.datPath, program.datPath);
        auto db = store::Database::open(own.dbPath);
        EXPECT_EQ(db->query("select FileName from T_XlTitle")[0][0].toString(), "header");
        db->clearTable("T_XlTitle");
    }
    EXPECT_EQ(store::Database::open(program.dbPath)->query("select count(*) from T_XlTitle")[0][0].toInt(), 1);
    EXPECT_FALSE(QDir(path).exists()) << "the folder outlived its run";
}

TEST_F(Runs, FoldersOfEndedRunsGoAndThoseOfLiveRunsStay) {
    RunFolder live(program);
    // A run that ended without removing its folder: its lock file is there,
    // nobody holds it.
    const QString ended = RunFolder::parentOf(program) + "run-ended";
    ASSERT_TRUE(QDir().mkpath(ended + "/temp"));
    QFile lock(ended + "/lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    // A folder a run is making this instant: no lock file yet.
    ASSERT_TRUE(QDir().mkpath(RunFolder::parentOf(program) + "run-young"));

    EXPECT_EQ(RunFolder::removeEnded(program), 1);
    EXPECT_EQ(folders().size(), 2);
    EXPECT_FALSE(QDir(ended).exists());
    EXPECT_TRUE(QDir(live.path()).exists());
}

}  // namespace
