// What the user sees while working: option rules, hover texts, focus rules,
// the progress display, Timer1 and the forwarding of clicks to commands.
#include "WindowFixture.h"

#include "app/Twips.h"
#include "common/Error.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

using namespace tabulon;
using tabulon::test::WindowFixture;

namespace {

class WindowRules : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        start();
    }
    void click(const char* name) { widget<QAbstractButton>(QString::fromLatin1(name))->click(); }
};

TEST_F(WindowRules, AnalysisOptionDisablesItsPreviewButton) {
    const std::pair<const char*, const char*> cases[] = {
        {"optObject_0", "cmdOPre"}, {"optCell_1", "cmdCPre"}, {"optProc_0", "cmdPPre"},
        {"optModule_3", "cmdMPre"}, {"optShape_2", "cmdSPre"}, {"optFile_1", "cmdFPre"}};
    for (const auto& [option, preview] : cases) {
        enable(QString::fromLatin1(preview));
        ASSERT_TRUE(enabled(QString::fromLatin1(preview)));
        click(option);
        EXPECT_FALSE(enabled(QString::fromLatin1(preview))) << option;
    }
    EXPECT_EQ(session->options().modules, intake::ModuleSelection::Workbook);
    // The column option and the kana boxes only store their value.
    enable(QStringLiteral("cmdMPre"));
    click("optMPrint_0");
    EXPECT_TRUE(enabled("cmdMPre"));
    EXPECT_EQ(session->options().columns, intake::SourceColumns::One);
    click("chkProc50");
    EXPECT_TRUE(session->options().procedureKana);
}

// optFile_2 stands in a frame of its own but is one group with the others;
// the selected-sheet option enables the sheet list.
TEST_F(WindowRules, OptionsOutsideTheirFrameStillActAsOneGroup) {
    click("optFile_2");
    EXPECT_FALSE(widget<QRadioButton>("optFile_0")->isChecked());
    click("optFile_1");
    EXPECT_FALSE(widget<QRadioButton>("optFile_2")->isChecked());
    EXPECT_EQ(session->options().files, intake::FileSelection::LinkSources);
    click("optSSelect_1");
    EXPECT_TRUE(enabled("cboSheet2"));
    click("optSSelect_0");
    EXPECT_FALSE(enabled("cboSheet2"));
}

TEST_F(WindowRules, BackgroundAndWorkbookLabelClearTheStatus) {
    auto* status = widget<QLineEdit>("txtMesege");
    for (const char* name : {"centralwidget", "lblDBName"}) {
        status->setText(QStringLiteral("x"));
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget(QString::fromLatin1(name)), &move);
        EXPECT_EQ(status->text(), "") << name;
    }
    // A preview button has no help text: the status stays.
    status->setText(QStringLiteral("x"));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(widget("cmdPPre"), &enter);
    EXPECT_EQ(status->text(), "x");
    // Nor has a disabled button.
    status->clear();
    ASSERT_FALSE(enabled("cmdKansu"));
    QApplication::sendEvent(widget("cmdKansu"), &enter);
    EXPECT_EQ(status->text(), "");
}

// The cover fields select their whole text on focus; the zoom does not.
TEST_F(WindowRules, CoverFieldsSelectAllOnFocus) {
    for (const char* name : {"txtTitle", "txtSystem", "txtCompany", "txtBumon", "txtAuther", "txtDate", "txtZoom"}) {
        auto* edit = widget<QLineEdit>(QString::fromLatin1(name));
        edit->setText(QStringLiteral("98"));
        edit->deselect();
        QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
        QApplication::sendEvent(edit, &focus);
        EXPECT_EQ(edit->selectedText(), edit->objectName() == "txtZoom" ? "" : "98") << name;
    }
}

TEST_F(WindowRules, EnterMovesTheFocusToTheNextControl) {
    window->show();
    window->activateWindow();
    auto* title = widget<QLineEdit>("txtTitle");
    title->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != title)
        GTEST_SKIP() << "the platform gives no focus";
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(title, &enter);
    EXPECT_EQ(QApplication::focusWidget(), widget("txtCompany"));
}

// The gauge's end point (twips) follows the percentage; Timer1 clears status
// and gauge once, five seconds after a report is shown.
TEST_F(WindowRules, ProgressGaugeTimer1AndBusy) {
    auto* gauge = widget("linGuage");
    window->progress().showGauge(true);
    window->progress().progress(50);
    EXPECT_EQ(widget<QLabel>("lblPer")->text(), "50%");
    EXPECT_DOUBLE_EQ(gauge->property("X2").toDouble(), 1020.0);
    EXPECT_EQ(gauge->width(), app::twipsToPixels(1020, gauge->logicalDpiX()));
    window->progress().status(QStringLiteral("印刷後、印刷ﾌﾟﾚﾋﾞｭｰを終了して下さい。"));
    window->startTimer1();
    auto* timer = window->findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 5000);
    EXPECT_TRUE(timer->isActive());
    timer->setInterval(1);  // not five seconds in a test
    QElapsedTimer clock;
    clock.start();
    while (timer->isActive() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 0);
    EXPECT_EQ(widget<QLineEdit>("txtMesege")->text(), "");
    EXPECT_TRUE(gauge->isHidden());
    EXPECT_DOUBLE_EQ(gauge->property("X2").toDouble(), 0.0);
    // Busy disables the window under the wait cursor.
    {
        BusyGuard busy(window->progress());
        EXPECT_FALSE(window->isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowRules, ClicksGoToTheCommandOfTheControl) {
    QStringList calls;
    for (const char* name : {"cmdHyousi", "cmdKansu", "RecentFile", "m1a", "m4"})
        window->setCommand(QString::fromLatin1(name),
                           [&calls, name](int i) { calls << QStringLiteral("%1:%2").arg(QLatin1String(name)).arg(i); });
    enable("cmdHyousi_2");
    enable("cmdKansu");
    click("cmdHyousi_2");
    click("cmdKansu");
    click("cmdObject");  // disabled and without a command: nothing
    enable("cmdObject");
    click("cmdObject");  // no command registered: nothing
    action("RecentFile_1")->trigger();
    action("m1a")->trigger();
    action("m4")->trigger();
    EXPECT_EQ(calls, (QStringList{"cmdHyousi:2", "cmdKansu:0", "RecentFile:1", "m1a:0", "m4:0"}));
}

TEST_F(WindowRules, SessionAndWindowMirrorEachOther) {
    session->setWorkbookPath(QStringLiteral("/data/売上.xls"));
    EXPECT_EQ(widget<QLabel>("lblDBName")->text(), QStringLiteral("/data/売上.xls"));
    session->setLists({"Sheet1", "Sheet2"}, {"/x/link.xls"});
    EXPECT_EQ(widget<QComboBox>("cboSheet")->currentText(), "Sheet1");
    EXPECT_EQ(widget<QComboBox>("cboSheet2")->count(), 2);
    EXPECT_EQ(widget<QComboBox>("cboLinkMoto")->currentIndex(), -1);
    intake::Cover cover;
    cover.title = QStringLiteral("プログラム仕様書");
    cover.zoom = QStringLiteral("98");
    session->setCover(cover);
    EXPECT_EQ(widget<QLineEdit>("txtTitle")->text(), cover.title);
    EXPECT_EQ(widget<QLineEdit>("txtZoom")->text(), "98");
    session->MenuLock();
    EXPECT_FALSE(enabled("m1a"));
    EXPECT_FALSE(enabled("m6"));
    // ... and typing into a cover field reaches the session.
    auto* company = widget<QLineEdit>("txtCompany");
    company->setFocus();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("A"));
    QApplication::sendEvent(company, &key);
    EXPECT_EQ(session->cover().company, "A");
}

TEST_F(WindowRules, SaveButtonStoresTrimmedDefaults) {
    widget<QLineEdit>("txtTitle")->setText(QStringLiteral("  仕様書 "));
    widget<QLineEdit>("txtCompany")->setText(QStringLiteral("会社"));
    widget<QLineEdit>("txtBumon")->setText(QStringLiteral(" "));
    widget<QLineEdit>("txtZoom")->setText(QStringLiteral(" 75"));
    enable("cmdSave");
    click("cmdSave");
    EXPECT_EQ(QString::fromUtf8(readFile(paths.datPath)),
              QStringLiteral("Title=仕様書\r\nKisya=会社\r\nBumon=\r\nZoom=75\r\n"));
    EXPECT_EQ(session->heldDefaults.title, QStringLiteral("仕様書"));
    EXPECT_EQ(widget<QLineEdit>("txtMesege")->text(), QStringLiteral("基本情報登録　終了しました。"));
}

// An unstable error asks to exit after its box: Cancel keeps the program
// usable, OK ends it (also during start-up).
TEST_F(WindowRules, UnstableErrorAsksToExit) {
    messages.answers = {Answer::Ok, Answer::Cancel};
    intake::runGuarded(window->shell(), QStringLiteral("場所:レポート表示"),
                       [] { throw Error(2501, QString()); });
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].text, QStringLiteral("終了します。"));  // the exit menu's question
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(window->isEnabled());

    enable("m1a");
    window->setStartupStep([] { throw Error(2600, QString()); });
    messages.answers = {Answer::Ok, Answer::Ok};
    window->Form_Load();
    EXPECT_TRUE(window->hasEnded());
    EXPECT_EQ(ended, 1);
}

}  // namespace
