// シート印刷 in the window: the sheet chosen in cboSheet, at the zoom typed
// into txtZoom, shown in the shared preview window; a zoom out of range gets
// its message and shows nothing.
#include "WindowFixture.h"

#include "app/CommandWiring.h"
#include "intake/AppPaths.h"
#include "reports/preview/PreviewWindow.h"
#include "reports/sheet/SheetDocument.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace tabulon::test {
namespace {

class SheetPrintWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        intake::ensureInstalled(paths);
        writeFile(paths.iniPath, "[RECENT]\r\nRecentFile1=" TABULON_SOURCE_DIR "/examples/sample.xls\r\n");
        start();
        app::installCommands(*window);
        action("RecentFile_0")->trigger();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<reports::PreviewWindow*>(w)) w->close();
    }
    void typeZoom(const QString& text) {
        QLineEdit* zoom = widget<QLineEdit>("txtZoom");
        zoom->setText(text);
        emit zoom->textEdited(text);
    }
    const reports::sheet::SheetDocument* shown() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<reports::PreviewWindow*>(w); p && p->isVisible())
                return dynamic_cast<const reports::sheet::SheetDocument*>(p->document());
        return nullptr;
    }
};

TEST_F(SheetPrintWindow, ChosenSheetAtTheTypedZoom) {
    widget<QComboBox>("cboSheet")->setCurrentText(QStringLiteral("集計"));
    typeZoom(QStringLiteral("80"));
    widget<QAbstractButton>("cmdSheet")->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    const reports::sheet::SheetDocument* doc = shown();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->definition().title, QStringLiteral("集計"));
    EXPECT_DOUBLE_EQ(doc->plan().scale, 0.8);
    EXPECT_GT(doc->plan().headingWidthPt, 0) << "headings always print";
}

TEST_F(SheetPrintWindow, ZoomOutOfRangeShowsItsMessageOnly) {
    for (const char* zoom : {"5", "401", "8O", ""}) {
        messages.shown.clear();
        typeZoom(QString::fromUtf8(zoom));
        widget<QAbstractButton>("cmdSheet")->click();
        ASSERT_EQ(messages.shown.size(), 1) << zoom;
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("ズームには 10 から 400 までの整数を入力して下さい。"));
        EXPECT_EQ(shown(), nullptr) << zoom;
    }
}

}  // namespace
}  // namespace tabulon::test
