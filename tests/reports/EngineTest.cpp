// The report routine: which database a report comes from (a loaded results
// file stays the source), how failures reach the user, the print command; and the preview window: one window for every report, shown
// maximised and non-modal, page turning, printing without a printer.
#include "ReportTestSupport.h"
#include "common/Error.h"
#include "reports/PdfOutput.h"
#include "reports/ReportEngine.h"
#include "reports/preview/PreviewWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>

namespace tabulon::reports::test {
namespace {

class RecordingPreview : public PreviewPort {
public:
    void show(std::shared_ptr<ReportDocument> doc) override { shown.push_back(std::move(doc)); }
    std::vector<std::shared_ptr<ReportDocument>> shown;
};

QString textOf(const std::shared_ptr<ReportDocument>& doc, const QString& pdf) {
    writePdf({doc}, pdf);
    return pdfText(pdf);
}

// One report service over two databases with a name each.
struct ShowReport : ::testing::Test {
    ReportDb main, saved;
    RecordingPreview preview;
    ScriptedMessages messages;
    ReportService service{preview, messages};
    void SetUp() override {
        main.add("T_XlName", {{{"LabelName", "本体の名前"}, {"SheetMei", "S"}, {"StCell", "A1"}}});
        saved.add("T_XlName", {{{"LabelName", "保存の名前"}, {"SheetMei", "S"}, {"StCell", "A1"}}});
    }
};

TEST_F(ShowReport, ReportsComeFromTheDatabaseUntilAResultsFileIsLoaded) {
    service.showReport(main.path(), "R_XlName");
    ASSERT_EQ(preview.shown.size(), 1u);
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_TRUE(textOf(preview.shown[0], main.file("a.pdf")).contains("本体の名前"));
    service.openResults(saved.path());
    service.showReport(main.path(), "R_XlName");
    ASSERT_EQ(preview.shown.size(), 2u);
    const QString text = textOf(preview.shown[1], main.file("b.pdf"));
    EXPECT_TRUE(text.contains("保存の名前"));
    EXPECT_FALSE(text.contains("本体の名前"));
}

// A missing database, then a missing report: a box each (the second the
// generic one with its number), never an exception or a preview.
TEST_F(ShowReport, FailuresAreReportedNotThrown) {
    service.showReport("/nonexistent/Tabulon2.mdb", "R_XlName");
    service.showReport(main.path(), "R_Missing");
    EXPECT_TRUE(preview.shown.empty());
    ASSERT_EQ(messages.texts.size(), 2);
    EXPECT_TRUE(messages.texts[0].startsWith("場所:レポート表示ｴﾗｰNo:"));
    EXPECT_TRUE(messages.texts[1].startsWith("場所:レポート表示ｴﾗｰNo:2103\r"
                                             "場所とｴﾗｰNoを控えメールをお願いします。\r内容:"));
}

// A cancelled report (2455) shows no box.
TEST(ReportFailure, SilentNumbersHaveNoText) { EXPECT_EQ(reportFailureText(2455, "x"), QString()); }

TEST(PrintCommand, CancelledDialogIsSilentAndChosenPrinterGetsEveryPage) {
    ReportDb db;
    auto doc = ReportDocument::load(*store::Database::open(db.path()), "R_XlName");
    ScriptedMessages messages;
    printDocument(*doc, messages, [] { return true; }, [](QPrinter&) { return false; });
    EXPECT_TRUE(messages.texts.isEmpty());
    const QString pdf = db.file("printed.pdf");
    printDocument(*doc, messages, [] { return true; }, [&](QPrinter& printer) {
        EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_TRUE(pdfText(pdf).contains("名前定義一覧"));
}

struct PreviewWindowTest : ::testing::Test {
    ReportDb db;
    ScriptedMessages messages;
    WidgetPreview preview{messages};
    ReportService service{preview, messages};
};

// The second report reuses the window; printing without a printer gives the
// driver message and nothing else.
TEST_F(PreviewWindowTest, SecondReportReusesTheWindowAndPrintingWithoutPrinterIsRefused) {
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
    first->setPrinterProbe([] { return false; });
    first->findChild<QPushButton*>("cmdPrint")->click();
    EXPECT_EQ(messages.texts, QStringList{"場所:レポート表示ｴﾗｰNo:2202\rプリンタドライバが組み込まれていません。\r"
                                          "プリンタドライバのインストールお願いします。"});
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

}  // namespace
}  // namespace tabulon::reports::test
