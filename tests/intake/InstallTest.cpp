// The install step that gives a fresh program folder its files, and the
// session's guard against misspelt control names.
#include "intake/AppPaths.h"
#include "intake/Session.h"

#include "intake/BasicInfo.h"
#include "store/Database.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

// A fresh folder gets its files; a second run (every start) touches nothing.
TEST(Install, FreshFolderGetsDefaultsDatabaseAndWorkingFolderOnce) {
    QTemporaryDir dir;
    const AppPaths paths = AppPaths::forFolder(dir.filePath(QStringLiteral("prog")));
    EXPECT_EQ(ensureInstalled(paths), (QStringList{paths.datPath, paths.dbPath}));
    EXPECT_TRUE(QDir(paths.tempFolder).exists());
    EXPECT_EQ(readBasicInfo(paths.datPath), BasicInfo{});
    EXPECT_NO_THROW(tabulon::store::Database::open(paths.dbPath));
    writeBasicInfo(paths.datPath, {QStringLiteral("表紙"), {}, {}, QStringLiteral("75")});
    EXPECT_TRUE(ensureInstalled(paths).isEmpty());
    EXPECT_EQ(readBasicInfo(paths.datPath).title, QStringLiteral("表紙"));
}

TEST(Install, ProgramFolderFromOptionThenEnvironment) {
    qputenv("TABULON_HOME", "/from/env");
    EXPECT_EQ(resolveAppFolder(QStringLiteral("/from/option")), "/from/option");
    EXPECT_EQ(resolveAppFolder({}), "/from/env");
    qunsetenv("TABULON_HOME");
}

TEST(SessionState, UnknownControlNameIsAProgramFault) {
    Session s(AppPaths::forFolder(QStringLiteral("/t")));
    EXPECT_THROW(s.setEnabled(QStringLiteral("cmdKanzu"), true), std::logic_error);
}

}  // namespace
