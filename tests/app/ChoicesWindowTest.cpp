// The window as a user meets it around a workbook choice: a cancelled or
// refused choice changes nothing, the recent files obey the menu's locks, no
// preview shows the previous workbook's rows, the first preview fits the
// window, numbers typed full-width are numbers, and Qt's own texts are
// Japanese.
#include "WindowFixture.h"

#include "app/AuxiliaryCommands.h"
#include "app/CommandWiring.h"
#include "app/FrmSetUp.h"
#include "app/Translations.h"
#include "intake/AppPaths.h"
#include "reports/sheet/SheetDocument.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTranslator>

namespace tabulon::test {
namespace {

const QString kSample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");

class Choices : public WindowFixture {
protected:
    QString chosen;  // what the next file dialog answers ("": cancelled)
    QString results = dir.filePath("結果.xdb");

    void SetUp() override {
        WindowFixture::SetUp();
        intake::ensureInstalled(paths);
        writeFile(paths.iniPath, "[RECENT]\r\nRecentFile1=" + kSample.toUtf8() + "\r\n");
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window.get()) w->close();
    }
    void startWindow(const QString& commandLine = {}) {
        start(commandLine, [this] {
            app::installCommands(*window);
            window->findChild<app::AuxiliaryCommands*>()->setFileChooser([this](app::FileChoice choice) {
                return choice == app::FileChoice::Workbook ? chosen : results;
            });
        });
    }
    void click(const char* name) { widget<QAbstractButton>(QString::fromLatin1(name))->click(); }
    // Every control that mirrors a command, enabled or not.
    std::map<QString, bool> states() {
        std::map<QString, bool> on;
        for (const app::CommandControl& c : app::commandControls())
            on[QLatin1String(c.control)] = enabled(QLatin1String(c.control));
        return on;
    }
    QString shownReport() {
        reports::PreviewWindow* p = preview();
        return p && p->document() ? p->document()->definition().name : QString();
    }
};

// A cancelled dialog leaves the open workbook, its path and its commands as
// they were, and the next command works on that workbook.
TEST_F(Choices, CancelledChoiceKeepsTheOpenWorkbook) {
    startWindow();
    action("RecentFile_0")->trigger();
    const auto before = states();
    chosen.clear();
    action("m1a")->trigger();
    EXPECT_EQ(widget<QLabel>("lblDBName")->text(), kSample);
    EXPECT_EQ(states(), before);
    click("cmdKansu");
    EXPECT_EQ(shownReport(), "R_ModuleList");
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.value(0).text.toStdString();
}

// A file the reader refuses: one box with the reason and no mail request;
// the window stays as it was before the choice.
TEST_F(Choices, RefusedFileLeavesTheWindowAsItWas) {
    startWindow();
    action("RecentFile_0")->trigger();
    click("cmdObject");
    messages.shown.clear();  // the object list's note on the workbook's version
    const auto before = states();
    chosen = dir.filePath("価格表.xls");
    writeFile(chosen, "品名,価格\r\nお茶,120\r\n");
    action("m1a")->trigger();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              "「価格表.xls」を開けません。\r理由: Excel ブックではないため、読み込めません。");
    EXPECT_EQ(widget<QLabel>("lblDBName")->text(), kSample);
    EXPECT_EQ(states(), before);
    click("cmdOPre");
    EXPECT_EQ(shownReport(), "R_XlObject");
}

// After a save, and after a results file was loaded, the recent workbooks
// are locked with the workbook choice; before, they are usable with it.
TEST_F(Choices, RecentFilesFollowTheWorkbookChoice) {
    startWindow();
    ASSERT_TRUE(enabled("RecentFile_0"));
    action("RecentFile_0")->trigger();
    action("m1b")->trigger();
    ASSERT_TRUE(QFile::exists(results));
    EXPECT_FALSE(enabled("m1a"));
    EXPECT_FALSE(enabled("RecentFile_0"));
    window->m1z_Click();

    startWindow(results);
    EXPECT_FALSE(enabled("m1a"));
    EXPECT_FALSE(enabled("RecentFile_0"));
    action("RecentFile_0")->trigger();  // a disabled item does nothing
    EXPECT_TRUE(widget<QLabel>("lblDBName")->text().isEmpty());
}

// Every intake, by either route, turns off every preview: none may show the
// previous workbook's rows under the new workbook's name.
TEST_F(Choices, NoPreviewOfThePreviousWorkbookSurvivesAnIntake) {
    startWindow();
    action("RecentFile_0")->trigger();
    for (const char* chapter : {"cmdObject", "cmdInyoSaki", "cmdHensu", "cmdName"})
        click(chapter);
    for (const char* preview : {"cmdOPre", "cmdISPre", "cmdHensuU", "cmdNPre"})
        ASSERT_TRUE(enabled(preview)) << preview;
    chosen = fixture("xls/poi/SimpleWithComments.xls");
    action("m1a")->trigger();
    for (const app::PreviewButton& b : app::previewButtons())
        EXPECT_FALSE(enabled(QLatin1String(b.control))) << b.control;
    click("cmdObject");
    ASSERT_TRUE(enabled("cmdOPre"));
    action("RecentFile_0")->trigger();
    EXPECT_FALSE(enabled("cmdOPre"));
}

// The first preview of a session, on a whole-page zoom, fits the room the
// preview window gives it.
TEST_F(Choices, FirstPreviewFitsTheWindow) {
    startWindow();
    action("RecentFile_0")->trigger();
    click("cmdHyousi_0");
    reports::PreviewWindow* shown = preview();
    ASSERT_NE(shown, nullptr);
    QApplication::processEvents();
    auto* room = shown->findChild<QScrollArea*>()->viewport();
    const QWidget* page = shown->findChild<QWidget*>("pageView");
    ASSERT_TRUE(room && page);
    EXPECT_LE(page->height(), room->height());
    EXPECT_LE(page->width(), room->width());
    EXPECT_GE(page->height(), room->height() * 9 / 10) << page->height() << " of " << room->height();
}

// Full-width digits are digits: the zoom typed as an input method gives it.
TEST_F(Choices, FullWidthZoomIsTheNumber) {
    startWindow();
    action("RecentFile_0")->trigger();
    auto* zoom = widget<QLineEdit>("txtZoom");
    zoom->setText(QStringLiteral("８０"));
    emit zoom->textEdited(zoom->text());
    click("cmdSheet");
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.value(0).text.toStdString();
    reports::PreviewWindow* shown = preview();
    ASSERT_TRUE(shown && shown->document());
    const auto* sheet = dynamic_cast<const reports::sheet::SheetDocument*>(shown->document());
    ASSERT_NE(sheet, nullptr);
    EXPECT_DOUBLE_EQ(sheet->plan().scale, 0.8);
}

// A zoom of 100 % and more saved as a default comes back whole.
TEST_F(Choices, SavedZoomComesBackWhole) {
    writeFile(paths.datPath, "Title=\r\nKisya=\r\nBumon=\r\nZoom=150\r\n");
    startWindow();
    action("RecentFile_0")->trigger();
    EXPECT_EQ(widget<QLineEdit>("txtZoom")->text(), "150");
}

// The PDF dialog starts beside the workbook, and a saved PDF says where it went.
TEST_F(Choices, SavedPdfSaysWhereItWent) {
    startWindow();
    action("RecentFile_0")->trigger();
    click("cmdHyousi_0");
    reports::PreviewWindow* shown = preview();
    ASSERT_NE(shown, nullptr);
    QString suggested;
    const QString target = dir.filePath("表紙.pdf");
    shown->setPdfChooser([&](const QString& s) { suggested = s; return target; });
    shown->findChild<QPushButton*>("cmdSavePdf")->click();
    EXPECT_EQ(QFileInfo(suggested).absolutePath(), QFileInfo(kSample).absolutePath());
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_TRUE(shown->findChild<QLabel*>("lblStatus")->text().contains(target));
}

// The report-header dialog takes the keyboard when it opens, so that Esc
// leaves it as it leaves every dialog.
TEST_F(Choices, SettingsDialogTakesTheKeysAndClosesWithEscape) {
    startWindow();
    window->show();
    action("RecentFile_0")->trigger();
    action("m6")->trigger();
    auto* setUp = window->findChild<app::FrmSetUp*>();
    ASSERT_TRUE(setUp && setUp->isVisible());
    QElapsedTimer clock;
    clock.start();
    while (QApplication::activeWindow() != setUp && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(QApplication::activeWindow(), setUp);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(focus, &escape);
    EXPECT_FALSE(setUp->isVisible());
}

// Qt's own texts (file dialogs, standard buttons) come from its Japanese
// catalogue, which ships with Qt.
TEST(QtCatalogue, StandardButtonsAreJapanese) {
    const QLocale before;
    QTranslator* japanese = app::installQtJapanese(*QCoreApplication::instance());
    ASSERT_NE(japanese, nullptr) << "Qt's Japanese catalogue (qt6-translations-l10n) is missing";
    QMessageBox box(QMessageBox::NoIcon, "t", "x", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "キャンセル");
    QCoreApplication::removeTranslator(japanese);
    delete japanese;
    QLocale::setDefault(before);
}

}  // namespace
}  // namespace tabulon::test
