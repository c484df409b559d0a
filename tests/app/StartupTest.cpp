// Start-up of the main window: settings, recent files, cover defaults, the
// state of every control, and the start-up error box.
#include "WindowFixture.h"

#include "app/SingleInstance.h"
#include "app/Twips.h"

#include <QLineEdit>
#include <QRadioButton>

using namespace tabulon;
using tabulon::test::WindowFixture;

namespace {

class Startup : public WindowFixture {};

// A first run without a settings file: every control in its start state, the
// window at the corner, no recent file, no folder.
TEST_F(Startup, FirstRunStartsWithEveryControlInItsStartState) {
    start();
    EXPECT_TRUE(messages.shown.isEmpty());
    // Only the menus (the recent-file items are hidden, having no workbook).
    const QStringList usable = {"m1a", "m1b", "m1c", "m6"};
    for (const app::CommandControl& c : app::commandControls()) {
        const QString name = QLatin1String(c.control);
        EXPECT_EQ(enabled(name), usable.contains(name)) << c.control;
    }
    EXPECT_TRUE(enabled("cboSheet"));
    EXPECT_TRUE(enabled("cboLinkMoto"));
    for (const char* name : {"m1z", "m2", "m3", "m4", "txtTitle", "txtZoom", "optObject_0",
                             "chkProc50", "chkMod50"})
        EXPECT_TRUE(enabled(QString::fromLatin1(name))) << name;
    for (const char* name : {"optObject_1", "optCell_2", "optProc_1", "optModule_0",
                             "optMPrint_1", "optShape_0", "optFile_0", "optSSelect_0"})
        EXPECT_TRUE(widget<QRadioButton>(QString::fromLatin1(name))->isChecked()) << name;
    EXPECT_FALSE(widget<QRadioButton>("optFile_2")->isChecked());
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_EQ(session->lastFolder, "0");
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(action(QStringLiteral("RecentFile_%1").arg(i))->isVisible()) << i;
    EXPECT_TRUE(widget("linGuage")->isHidden());
    EXPECT_EQ(widget<QLineEdit>("txtMesege")->text(), "");
}

// Position, last folder and recent files from the settings file (a slot
// holding 0 stays hidden), the held cover defaults from Tabulon2.dat.
TEST_F(Startup, SettingsAndCoverDefaultsAreRead) {
    writeFile(paths.iniPath, "[POS]\r\nT=1500\r\nL=3000\r\n[DEF]\r\nFolder=/data/\r\n[RECENT]\r\nRecentFile1=/a/x.xls\r\n"
                             "RecentFile2=0\r\nRecentFile3=/c/z.xls\r\nRecentFile4=0\r\n");
    writeFile(paths.datPath, "Title=仕様書\r\nKisya=会社\r\nBumon=\r\nZoom=80\r\n");
    start();
    const double dpi = window->logicalDpiX();
    EXPECT_EQ(window->pos(), QPoint(app::twipsToPixels(3000, dpi), app::twipsToPixels(1500, dpi)));
    EXPECT_EQ(session->lastFolder, "/data/");
    EXPECT_EQ(session->heldDefaults.title, QStringLiteral("仕様書"));
    EXPECT_EQ(session->heldDefaults.zoom, "80");
    EXPECT_TRUE(action("RecentFile_0")->isVisible());
    EXPECT_EQ(action("RecentFile_0")->text(), "/a/x.xls");
    EXPECT_FALSE(action("RecentFile_1")->isVisible());
    EXPECT_TRUE(action("RecentFile_2")->isVisible());
    EXPECT_EQ(action("RecentFile_2")->text(), "/c/z.xls");
    EXPECT_FALSE(action("RecentFile_3")->isVisible());
}

TEST_F(Startup, MissingCoverDefaultsFileIsReportedAndCommandsStayDisabled) {
    QFile::remove(paths.datPath);
    start();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("場所:起動時ｴﾗｰNo:53\r")));
    EXPECT_EQ(messages.shown[0].buttons, Buttons::Ok);
    EXPECT_FALSE(enabled("cmdKansu"));
    EXPECT_FALSE(enabled("cmdHyousi_0"));
    EXPECT_EQ(ended, 0);
}

TEST_F(Startup, PositionThatIsNotANumberIsATypeMismatch) {
    writeFile(paths.iniPath, "[POS]\r\nT=abc\r\n");
    start();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("場所:起動時ｴﾗｰNo:13\r")));
}

TEST_F(Startup, LastStepRunsAfterTheStates) {
    bool stateSeen = false;
    start({}, [&] { window->setStartupStep([&] { stateSeen = !session->isEnabled(intake::Command::Procedures); }); });
    EXPECT_TRUE(stateSeen);
}

// A lock file naming a process that no longer exists is taken over; a live
// instance's lock refuses the next one.
TEST(SingleInstanceLock, DeadInstanceIsTakenOverLiveOneRefusesTheNext) {
    QTemporaryDir dir;
    const QString lock = dir.filePath("tabulon.lock");
    {
        QFile f(lock);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("999999\ntabulon\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    app::SingleInstance first(lock);
    ASSERT_TRUE(first.acquire());
    app::SingleInstance second(lock);
    EXPECT_FALSE(second.acquire());
}

}  // namespace
