// The window end to end: a workbook from the recent-file menu fills the cover
// fields and enables the commands; the cover button writes its row and shows
// the cover page in the preview window.
#include "WindowFixture.h"

#include "app/CommandWiring.h"
#include "intake/AppPaths.h"
#include "reports/sheet/SheetDocument.h"
#include "store/Database.h"

#include <QComboBox>
#include <QLineEdit>

namespace tabulon::test {
namespace {

class IntakeWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        intake::ensureInstalled(paths);
        writeFile(paths.iniPath, "[RECENT]\r\nRecentFile1=" TABULON_SOURCE_DIR "/examples/sample.xls\r\n");
        start({}, [this] { app::installCommands(*window); });
        ASSERT_TRUE(action("RecentFile_0")->isVisible());
        action("RecentFile_0")->trigger();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<reports::PreviewWindow*>(w))
                w->close();
    }
    QString text(const QString& field) { return widget<QLineEdit>(field)->text(); }
    void typeInto(const QString& field, const QString& text) {
        QLineEdit* edit = widget<QLineEdit>(field);
        edit->setText(text);
        emit edit->textEdited(text);  // as typed by the user
    }
    const reports::sheet::SheetDocument* shownSheet() {
        reports::PreviewWindow* p = preview();
        return p ? dynamic_cast<const reports::sheet::SheetDocument*>(p->document()) : nullptr;
    }
};

TEST_F(IntakeWindow, RecentWorkbookFillsTheCoverAndTheCoverButtonShowsItWithTheTypedTitle) {
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(text("txtSystem"), "受注管理システム");
    EXPECT_EQ(text("txtAuther"), "山田 太郎");
    EXPECT_FALSE(enabled("cmdPPre"));
    if (qEnvironmentVariableIsSet("TABULON_SCREENSHOT"))
        window->grab().save(qEnvironmentVariable("TABULON_SCREENSHOT"));

    typeInto("txtTitle", "  受注システム仕様書  ");  // the row holds it cut and trimmed
    widget<QAbstractButton>("cmdHyousi_0")->click();
    reports::PreviewWindow* shown = preview();
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(shown->document(), nullptr);
    EXPECT_EQ(shown->document()->definition().name, "R_XlHyousi");
    EXPECT_EQ(text("txtMesege"), "印刷後、印刷ﾌﾟﾚﾋﾞｭｰを終了して下さい。");
    EXPECT_EQ(store::Database::open(paths.dbPath)->query("select SysTitle from T_XlHyousi")[0][0].toString(),
              "  受注システム仕様書");

    // The code chapters reuse the same preview window.
    widget<QAbstractButton>("cmdKansu")->click();
    EXPECT_EQ(preview(), shown);
    EXPECT_EQ(shown->document()->definition().name, "R_ModuleList");
    EXPECT_TRUE(enabled("cmdPPre"));
}

// シート印刷: the sheet chosen in cboSheet at the zoom typed into txtZoom, in
// the shared preview; a zoom out of range gets its message and shows nothing.
TEST_F(IntakeWindow, SheetPrintShowsTheChosenSheetAtTheTypedZoom) {
    widget<QComboBox>("cboSheet")->setCurrentText(QStringLiteral("集計"));
    typeInto("txtZoom", QStringLiteral("80"));
    widget<QAbstractButton>("cmdSheet")->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    const reports::sheet::SheetDocument* doc = shownSheet();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->definition().title, QStringLiteral("集計"));
    EXPECT_DOUBLE_EQ(doc->plan().scale, 0.8);
    EXPECT_GT(doc->plan().headingWidthPt, 0) << "headings always print";
}

TEST_F(IntakeWindow, SheetPrintZoomOutOfRangeShowsItsMessageOnly) {
    typeInto("txtZoom", QStringLiteral("401"));
    widget<QAbstractButton>("cmdSheet")->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("ズームには 10 から 400 までの整数を入力して下さい。"));
    EXPECT_EQ(shownSheet(), nullptr);
}

}  // namespace
}  // namespace tabulon::test
