// Ending the program: the two confirmations, the working files, and what is
// written back to the settings file.
#include "WindowFixture.h"

#include "app/Twips.h"
#include "intake/Profile.h"

#include <QDir>

using namespace tabulon;
using tabulon::test::WindowFixture;

namespace {

class Shutdown : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        QDir().mkpath(paths.tempFolder + "keep");
        writeFile(paths.tempFolder + "Module1.bas", "x");
        writeFile(paths.tempFolder + "Sheet1.sht", "x");
        writeFile(paths.tempFolder + "keep/inner.txt", "x");
        writeFile(paths.iniPath, "[RECENT]\r\nRecentFile1=A\r\nRecentFile2=B\r\nRecentFile3=C\r\nRecentFile4=D\r\n");
        start();
    }
    QString ini(const char* section, const char* key) {
        return intake::readProfileString(paths.iniPath, section, key, "<missing>");
    }
};

// Cancel leaves everything; OK ends, writes the settings back and deletes the
// working files but no folder.
TEST_F(Shutdown, ExitMenuAsksAndEndsOnOk) {
    const QByteArray before = readFile(paths.iniPath);
    messages.answers = {Answer::Cancel};
    action("m1z")->trigger();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("終了します。"));
    EXPECT_EQ(messages.shown[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(readFile(paths.iniPath), before);
    EXPECT_TRUE(QFile::exists(paths.tempFolder + "Module1.bas"));

    window->move(app::twipsToPixels(3000, window->logicalDpiX()), 0);
    action("m1z")->trigger();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(messages.shown.size(), 2);  // closing afterwards asks nothing more
    EXPECT_EQ(ini("POS", "T"), "0");
    EXPECT_EQ(ini("POS", "L").toLong(), app::pixelsToTwips(window->x(), window->logicalDpiX()));
    EXPECT_EQ(ini("DEF", "Folder"), "");  // no workbook this run
    EXPECT_EQ(intake::GetRecentFiles(paths.iniPath), (intake::RecentFiles{"A", "B", "C", "D"}));
    EXPECT_EQ(QDir(paths.tempFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"keep"});
    EXPECT_TRUE(QFile::exists(paths.tempFolder + "keep/inner.txt"));
}

// Closing the window asks with one OK box; the shutdown steps all run even
// when one fails, and the workbook of this run heads the recent files.
TEST_F(Shutdown, ClosingTheWindowEndsAfterOneOkBox) {
    session->setWorkbookPath(QStringLiteral("/data/在庫/X.xls"));
    int steps = 0;
    window->addShutdownStep([&] { ++steps; throw std::runtime_error("host gone"); });
    window->addShutdownStep([&] { ++steps; });
    window->close();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("終了します。"));
    EXPECT_EQ(messages.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(ini("DEF", "Folder"), QStringLiteral("/data/在庫/"));
    EXPECT_EQ(intake::GetRecentFiles(paths.iniPath),
              (intake::RecentFiles{QStringLiteral("/data/在庫/X.xls"), "A", "B", "C"}));
}

}  // namespace
