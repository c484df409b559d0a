// Where the program folder is, and the session's guard against misspelt
// control names. (What the install step creates is checked through init.)
#include "intake/AppPaths.h"
#include "intake/Session.h"

#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

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
