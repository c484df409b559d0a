// Option values, fixed paths and the gauge of the main window, without the window
// (the states of the controls are checked through the window itself).
#include "intake/Session.h"

#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

TEST(SessionStartup, DefaultOptionValuesAndSelections) {
    Session s(AppPaths::forFolder(QStringLiteral("/opt/tabulon")));
    s.clickOption(OptionGroup::Cell, 0);
    s.clickOption(OptionGroup::File, 2);
    s.applyStartupStates();
    const std::pair<OptionGroup, int> expected[] = {
        {OptionGroup::Object, 2}, {OptionGroup::Cell, 3}, {OptionGroup::Proc, 2},
        {OptionGroup::Module, 1}, {OptionGroup::MPrint, 2}, {OptionGroup::Shape, 1},
        {OptionGroup::File, 1}, {OptionGroup::SSelect, 1}};
    for (const auto& [group, value] : expected) {
        EXPECT_EQ(s.optionValue(group), value) << int(group);
        EXPECT_EQ(s.selectedOption(group), value - 1) << int(group);
    }
    EXPECT_EQ(s.proc50(), 0);
    EXPECT_EQ(s.mod50(), 0);
    EXPECT_EQ(s.ExcelActive, Session::NoWorkbookLoaded);
    EXPECT_EQ(s.AccessState, Session::NoReportEngine);
}

TEST(SessionPaths, FixedPathsBesideTheProgram) {
    const AppPaths p = AppPaths::forFolder(QStringLiteral("/opt/tabulon"));
    EXPECT_EQ(p.appFolder, "/opt/tabulon/");
    EXPECT_EQ(p.tempFolder, "/opt/tabulon/temp/");
    EXPECT_EQ(p.dbPath, "/opt/tabulon/Tabulon2.mdb");
    EXPECT_EQ(p.iniPath, "/opt/tabulon/Tabulon.ini");
    EXPECT_EQ(AppPaths::forFolder(QStringLiteral("/opt/x/")).appFolder, "/opt/x/");
}

TEST(SessionState, UnknownControlNameIsAProgramFault) {
    Session s(AppPaths::forFolder(QStringLiteral("/t")));
    EXPECT_THROW(s.setEnabled(QStringLiteral("cmdKanzu"), true), std::logic_error);
}

TEST(Progress, GaugeEndAndCaption) {
    // 50 and 100 are checked on the window's gauge and label.
    EXPECT_DOUBLE_EQ(gaugeEndTwips(33), 673.2);
    EXPECT_EQ(percentCaption(7), "7%");
}

}  // namespace
