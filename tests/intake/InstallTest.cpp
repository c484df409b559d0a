// Where the program folder is. (What the install step creates is checked
// through init.)
#include "intake/AppPaths.h"

#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

TEST(Install, ProgramFolderFromOptionThenEnvironment) {
    qputenv("TABULON_HOME", "/from/env");
    EXPECT_EQ(resolveAppFolder(QStringLiteral("/from/option")), "/from/option");
    EXPECT_EQ(resolveAppFolder({}), "/from/env");
    qunsetenv("TABULON_HOME");
}

}  // namespace
