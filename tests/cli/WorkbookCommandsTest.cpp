// The workbook chapters through the window's commands: done marks and
// preview buttons after completed and failed runs, and the link search
// taking the cell list's table away.
#include "analyses/Commands.h"

#include "xlswriter/XlsWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using intake::Command;
using intake::Mark;

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
        ASSERT_TRUE(intake.open(file));
    }
};

TEST_F(WindowCommands, FailedRunAfterEmptyingLeavesNoMarkAndNoPreview) {
    commands.cells("Sheet1");
    EXPECT_EQ(session.mark(Mark::Cell), 3);
    EXPECT_TRUE(session.isEnabled(Command::PreviewCells));
    session.setOption(intake::SheetSelection::SelectedSheet);
    session.setOption(intake::CellOption::Formulas);
    commands.cells("no such sheet");
    EXPECT_EQ(session.mark(Mark::Cell), 0);
    EXPECT_EQ(session.mark(Mark::CellSheet), 0);
    EXPECT_FALSE(session.isEnabled(Command::PreviewCells));
    EXPECT_EQ(commands.shownReports(), QStringList{"R_XlCalcNote"});
}

TEST_F(WindowCommands, CompletedRunsSetTheirMarksAndTheLinkSearchTakesTheCellList) {
    commands.objects();
    commands.objects();  // the same option: shown again, not gathered
    EXPECT_EQ(session.mark(Mark::Object), 2);
    EXPECT_TRUE(session.isEnabled(Command::PreviewObjects));
    commands.names();
    EXPECT_EQ(session.mark(Mark::Names), 1);
    EXPECT_TRUE(session.isEnabled(Command::PreviewNames));
    commands.cells("Sheet1");
    commands.linkSearch("C:\\data\\Prices.xls");
    EXPECT_EQ(session.mark(Mark::Cell), 0);
    EXPECT_FALSE(session.isEnabled(Command::PreviewCells));
    EXPECT_EQ(commands.shownReports(),
              (QStringList{"R_XlObject", "R_XlObject", "R_XlName", "R_XlCalcNote", "R_XlCalcLink"}));
    EXPECT_EQ(preview.count, 5);
}

}  // namespace
