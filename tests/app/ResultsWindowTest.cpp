// The window with results files and the auxiliary dialogs: a documented
// workbook saved, the program started again on the results file without the
// workbook, every usable preview shown; the set-up and About dialogs' rules.
#include "WindowFixture.h"

#include "app/AuxiliaryCommands.h"
#include "app/CommandWiring.h"
#include "app/FrmAbout.h"
#include "app/FrmSetUp.h"
#include "intake/AppPaths.h"
#include "store/Database.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace tabulon::test {
namespace {

struct FakeDisks : app::DiskSpacePort {
    app::VolumeSpace volumeOf(const QString&) override { return {"/srv/share", 6LL << 30, 1536LL << 20}; }
};

struct FakeShell : app::ShellOpenPort {
    QList<QUrl> opened;
    bool works = true;
    bool open(const QUrl& url) override { opened << url; return works; }
};

class ResultsWindow : public WindowFixture {
protected:
    QString book = dir.filePath("受注管理.xls");
    QString results = dir.filePath("結果.xdb");
    FakeDisks disks;
    FakeShell shell;

    void SetUp() override {
        WindowFixture::SetUp();
        intake::ensureInstalled(paths);
        QFile::copy(TABULON_SOURCE_DIR "/examples/sample.xls", book);
        writeFile(paths.iniPath, "[RECENT]\r\nRecentFile1=" + book.toUtf8() + "\r\n");
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
    }
    void startWith(const QString& commandLine) {
        start(commandLine, [this] {
            app::installCommands(*window);
            auxiliary()->setFileChooser([this](app::FileChoice) { return results; });
            auxiliary()->setDesktop(&disks, &shell);
        });
    }
    app::AuxiliaryCommands* auxiliary() { return window->findChild<app::AuxiliaryCommands*>(); }
    void click(const char* name) { widget<QAbstractButton>(name)->click(); }
};

TEST_F(ResultsWindow, SavedRunPrintsEveryChapterAfterARestartWithoutTheWorkbook) {
    startWith({});
    action("RecentFile_0")->trigger();
    for (const char* chapter : {"cmdHyousi_0", "cmdKansu", "cmdModule"})
        click(chapter);
    action("m1b")->trigger();
    window->m1z_Click();
    ASSERT_TRUE(window->hasEnded());
    ASSERT_TRUE(QFile::remove(book));

    messages.shown.clear();
    startWith(results);
    EXPECT_TRUE(window->windowTitle().contains("受注管理.xls"));
    const std::pair<const char*, const char*> previews[] = {
        {"cmdHyousi_0", "R_XlHyousi"}, {"cmdHyousi_1", "R_XlHyousiH"}, {"cmdHyousi_2", "R_XlHyousiW"},
        {"cmdPPre", "R_ModuleList"},   {"cmdMPre", "R_SourceList"}};
    for (const auto& [button, report] : previews) {
        click(button);
        reports::PreviewWindow* shown = preview();
        ASSERT_TRUE(shown && shown->document()) << button;
        EXPECT_EQ(shown->document()->definition().name, report);
        EXPECT_GT(const_cast<reports::ReportDocument*>(shown->document())->layoutAll(), 0) << report;
    }
    EXPECT_FALSE(enabled("cmdKansu"));  // no workbook: no analysis
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.value(0).text.toStdString();
}

TEST_F(ResultsWindow, SetUpDialogStartsInFreeTextModeAndRefusesAnEmptyText) {
    startWith({});
    action("m6")->trigger();
    EXPECT_EQ(messages.shown.value(0).text, "データベースを選択して下さい。");
    EXPECT_EQ(window->findChild<app::FrmSetUp*>(), nullptr);

    action("RecentFile_0")->trigger();
    messages.shown.clear();
    action("m6")->trigger();
    auto* setUp = window->findChild<app::FrmSetUp*>();
    ASSERT_NE(setUp, nullptr);
    auto child = [&](const char* name) { return setUp->findChild<QWidget*>(name); };
    EXPECT_TRUE(static_cast<QCheckBox*>(child("chkSetUp"))->isChecked());
    EXPECT_FALSE(child("chkFile")->isEnabled());
    EXPECT_TRUE(child("txtNini")->isEnabled());

    static_cast<QAbstractButton*>(child("cmdOK"))->click();
    EXPECT_EQ(messages.shown.value(0).text, "印字する文字を入力して下さい。");
    EXPECT_TRUE(setUp->isVisible());

    static_cast<QLineEdit*>(child("txtNini"))->setText("社外秘");
    static_cast<QAbstractButton*>(child("cmdOK"))->click();
    EXPECT_FALSE(setUp->isVisible());
    auto db = store::Database::open(paths.dbPath);
    EXPECT_EQ(db->query("SELECT FileName FROM T_XlTitle")[0][0].toString(), "社外秘");

    // An empty text later is refused too, and the header in force is kept.
    action("m6")->trigger();
    static_cast<QAbstractButton*>(child("cmdOK"))->click();
    EXPECT_EQ(db->query("SELECT FileName FROM T_XlTitle")[0][0].toString(), "社外秘");

    // Next time: free-text mode again, the last choice in lblMsg.
    static_cast<QAbstractButton*>(child("chkSetUp"))->click();
    static_cast<QAbstractButton*>(child("chkFile"))->click();
    action("m6")->trigger();
    EXPECT_FALSE(static_cast<QCheckBox*>(child("chkFile"))->isChecked());
    EXPECT_EQ(static_cast<QLabel*>(child("lblMsg"))->text(), "任意の文字列を印刷");
}

TEST_F(ResultsWindow, AboutShowsTheVolumeOfTheWorkbookAndItsLinks) {
    writeFile(paths.iniPath, "[RECENT]\r\nRecentFile1=" + book.toUtf8() +
                                 "\r\n[ABOUT]\r\nHomePage=https://example.org/tabulon\r\n");
    startWith({});
    action("m4")->trigger();
    auto* about = window->findChild<app::FrmAbout*>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->findChild<QLabel*>("lblTotal")->text().isEmpty());  // no workbook yet
    about->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    action("RecentFile_0")->trigger();
    action("m4")->trigger();
    about = window->findChild<app::FrmAbout*>();
    ASSERT_NE(about, nullptr);
    auto text = [&](const char* name) { return about->findChild<QLabel*>(name)->text(); };
    EXPECT_EQ(text("lblName"), "受注管理.xls");
    EXPECT_EQ(text("lblDrive"), "/srv/share");
    EXPECT_EQ(text("lblTotal"), "6144.00MB");  // above 4 GB in full
    EXPECT_EQ(text("lblFree"), "1536.00MB");
    EXPECT_TRUE(text("lblObjSize").endsWith("MB"));
    EXPECT_TRUE(about->findChild<QLabel*>("Label6")->isHidden());  // no address configured
    EXPECT_FALSE(about->findChild<QLabel*>("Label8")->isHidden());

    for (int expected : {1, 2, 3, 4, 1}) {
        about->Timer1_Timer();
        EXPECT_EQ(about->logoFrame(), expected);
    }
    shell.works = false;
    about->Label8_Click();
    EXPECT_EQ(shell.opened.value(0), QUrl("https://example.org/tabulon"));
    EXPECT_TRUE(messages.shown.value(0).text.contains("https://example.org/tabulon"));
}

TEST_F(ResultsWindow, HelpOpensTheShippedPageAndScreenSaverIsHidden) {
    startWith({});
    EXPECT_FALSE(action("m2")->isVisible());
    action("m3")->trigger();
    ASSERT_EQ(shell.opened.size(), 1);
    const QString page = shell.opened[0].toLocalFile();
    EXPECT_EQ(QFileInfo(page).absolutePath() + '/', paths.tempFolder) << "written in the program's working folder";
    const QByteArray text = readFile(page);
    EXPECT_TRUE(text.contains("--save")) << "the command line is documented";
    EXPECT_TRUE(QString::fromUtf8(text).contains("五十音順"));

    // Without a browser the user is told so, with the page to open by hand.
    shell.works = false;
    action("m3")->trigger();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith("ヘルプを表示できません。"));
    EXPECT_TRUE(messages.shown[0].text.contains(page));
}

}  // namespace
}  // namespace tabulon::test
