// The workbook chapters through the window's commands: done marks and
// preview buttons after completed and failed runs, and the link search
// taking the cell list's table away.
#include "analyses/Commands.h"

#include "xlswriter/XlsWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using intake::Mark;
using intake::OptionGroup;

namespace {

struct Shown : reports::PreviewPort {
    void show(std::shared_ptr<reports::ReportDocument>) override { ++count; }
    int count = 0;
};

struct WindowCommands : ::testing::Test {
    QTemporaryDir home;
    intake::AppPaths paths = intake::AppPaths::forFolder(home.path());
    intake::Session session{paths};
    SilentMessages messages;
    SilentProgress progress;
    Shown preview;
    reports::ReportService reports{preview, messages};
    intake::CommandShell shell{messages, progress, {}};
    intake::WorkbookIntake intake{session, shell};
    analyses::Commands commands{{session, shell, reports, intake, {}}};

    void SetUp() override {
        intake::ensureInstalled(paths);
        session.applyStartupStates();
        xlsw::XlsWriter w;
        w.addSheet("Sheet1").formula(0, 0, xlsw::Rgce().ref3d(
            w.addExternalSheet("C:\\data\\Prices.xls", "S"), 0, 0));
        const QString file = home.filePath("book.xls");
        ASSERT_TRUE(w.save(file));
        ASSERT_TRUE(intake.run(intake::IntakeRoute::Dialog, [&] { return file; }));
    }
};

TEST_F(WindowCommands, FailedRunAfterEmptyingLeavesNoMarkAndNoPreview) {
    commands.cmdCell("Sheet1");
    EXPECT_EQ(session.mark(Mark::Cell), 3);
    EXPECT_TRUE(session.isEnabled("cmdCPre"));
    session.clickOption(OptionGroup::SSelect, 1);
    session.clickOption(OptionGroup::Cell, 0);
    commands.cmdCell("no such sheet");
    EXPECT_EQ(session.mark(Mark::Cell), 0);
    EXPECT_EQ(session.mark(Mark::CellSheet), 0);
    EXPECT_FALSE(session.isEnabled("cmdCPre"));
    EXPECT_EQ(commands.shownReports(), QStringList{"R_XlCalcNote"});
}

TEST_F(WindowCommands, CompletedRunsSetTheirMarksAndTheLinkSearchTakesTheCellList) {
    commands.cmdObject();
    commands.cmdObject();  // the same option: shown again, not gathered
    EXPECT_EQ(session.mark(Mark::Object), 2);
    EXPECT_TRUE(session.isEnabled("cmdOPre"));
    commands.cmdName();
    EXPECT_EQ(session.mark(Mark::Names), 1);
    EXPECT_TRUE(session.isEnabled("cmdNPre"));
    commands.cmdCell("Sheet1");
    commands.cmdLinkMoto("C:\\data\\Prices.xls");
    EXPECT_EQ(session.mark(Mark::Cell), 0);
    EXPECT_FALSE(session.isEnabled("cmdCPre"));
    EXPECT_EQ(commands.shownReports(),
              (QStringList{"R_XlObject", "R_XlObject", "R_XlName", "R_XlCalcNote", "R_XlCalcLink"}));
    EXPECT_EQ(preview.count, 5);
}

}  // namespace
