// Command states and option rules of the main window, without the window.
#include "intake/Session.h"

#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

const QStringList kUsableAfterStartup = {
    QStringLiteral("cboSheet"), QStringLiteral("cboLinkMoto"), QStringLiteral("m1a"),
    QStringLiteral("m1b"), QStringLiteral("m1c"), QStringLiteral("m6")};

TEST(SessionStartup, OnlyMenusListsAndOptionsAreUsable) {
    Session s(AppPaths::forFolder(QStringLiteral("/opt/tabulon")));
    s.applyStartupStates();
    for (const QString& name : Session::controlNames())
        EXPECT_EQ(s.isEnabled(name), kUsableAfterStartup.contains(name)) << name.toStdString();
}

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

struct OptionCase { OptionGroup group; int index; const char* preview; };

class OptionClick : public ::testing::TestWithParam<OptionCase> {};

TEST_P(OptionClick, SetsValueAndDisablesThePreviewOfItsAnalysis) {
    const OptionCase c = GetParam();
    Session s(AppPaths::forFolder(QStringLiteral("/t")));
    s.applyStartupStates();
    const QString preview = QString::fromLatin1(c.preview);
    s.setEnabled(preview, true);
    s.clickOption(c.group, c.index);
    EXPECT_EQ(s.optionValue(c.group), c.index + 1);
    EXPECT_FALSE(s.isEnabled(preview));
}

INSTANTIATE_TEST_SUITE_P(
    EveryAnalysisOption, OptionClick,
    ::testing::Values(OptionCase{OptionGroup::Object, 0, "cmdOPre"},
                      OptionCase{OptionGroup::Object, 2, "cmdOPre"},
                      OptionCase{OptionGroup::Cell, 1, "cmdCPre"},
                      OptionCase{OptionGroup::Proc, 0, "cmdPPre"},
                      OptionCase{OptionGroup::Module, 5, "cmdMPre"},
                      OptionCase{OptionGroup::Shape, 2, "cmdSPre"},
                      OptionCase{OptionGroup::File, 2, "cmdFPre"}));

TEST(SessionState, MenuLockDisablesTheFourFileAndSettingsCommands) {
    Session s(AppPaths::forFolder(QStringLiteral("/t")));
    s.applyStartupStates();
    s.MenuLock();
    for (const char* m : {"m1a", "m1b", "m1c", "m6"})
        EXPECT_FALSE(s.isEnabled(QString::fromLatin1(m))) << m;
}

TEST(SessionState, UnknownControlNameIsAProgramFault) {
    Session s(AppPaths::forFolder(QStringLiteral("/t")));
    EXPECT_THROW(s.setEnabled(QStringLiteral("cmdKanzu"), true), std::logic_error);
}

TEST(Progress, GaugeEndAndCaption) {
    EXPECT_DOUBLE_EQ(gaugeEndTwips(50), 1020.0);
    EXPECT_DOUBLE_EQ(gaugeEndTwips(100), 2040.0);
    EXPECT_DOUBLE_EQ(gaugeEndTwips(33), 673.2);
    EXPECT_EQ(percentCaption(50), "50%");
    EXPECT_EQ(percentCaption(100), "100%");
}

}  // namespace
