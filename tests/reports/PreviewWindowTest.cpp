// The preview window: one window for every report, shown maximised and
// non-modal; page turning; the print command without a printer.
#include "ReportTestSupport.h"
#include "reports/ReportEngine.h"
#include "reports/preview/PreviewWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace tabulon::reports::test {
namespace {

struct PreviewWindowTest : ::testing::Test {
    ReportDb db;
    ScriptedMessages messages;
    WidgetPreview preview{messages};
    ReportService service{preview, messages};
};

TEST_F(PreviewWindowTest, SecondReportReusesTheWindow) {
    db.names(3);
    service.showReport(db.path(), "R_XlName");
    PreviewWindow* first = preview.window();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->document()->definition().name, "R_XlName");
    service.showReport(db.path(), "R_XlFile");
    EXPECT_EQ(preview.window(), first);
    EXPECT_EQ(first->document()->definition().name, "R_XlFile");
    EXPECT_TRUE(first->windowTitle().startsWith("ファイル一覧"));
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(PreviewWindowTest, PagesTurnAndTheTotalArrivesLazily) {
    db.names(300);
    service.showReport(db.path(), "R_XlName");
    PreviewWindow* w = preview.window();
    auto* label = w->findChild<QLabel*>("lblPage");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().contains("1 / "));
    for (int i = 0; i < 50 && !w->document()->complete(); ++i) QApplication::processEvents();
    ASSERT_TRUE(w->document()->complete());
    const int total = w->document()->pagesKnown();
    EXPECT_GT(total, 3);
    EXPECT_EQ(label->text().trimmed(), QString("1 / %1 ページ").arg(total));
    w->findChild<QPushButton*>("cmdNextPage")->click();
    EXPECT_EQ(w->currentPage(), 1);
    w->goToPage(total + 5);  // beyond the end: stays
    EXPECT_EQ(w->currentPage(), 1);
    w->goToPage(total - 1);
    EXPECT_FALSE(w->findChild<QPushButton*>("cmdNextPage")->isEnabled());
}

TEST_F(PreviewWindowTest, PrintWithoutPrinterShowsTheDriverMessage) {
    service.showReport(db.path(), "R_XlName");
    preview.window()->setPrinterProbe([] { return false; });
    preview.window()->findChild<QPushButton*>("cmdPrint")->click();
    EXPECT_EQ(messages.texts, QStringList{reportFailureText(2202, {})});
}

}  // namespace
}  // namespace tabulon::reports::test
