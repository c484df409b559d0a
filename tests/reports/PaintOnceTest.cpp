// The documentation painted once: each report into its own file (long ones
// in pieces on several threads), the combined file joined from those files.
// What a reader sees must be what one painter writing everything in order
// gives; and a file that cannot be written leaves the earlier one.
#include "ReportTestSupport.h"
#include "SheetTestSupport.h"
#include "common/Error.h"
#include "reports/PdfOutput.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <sys/resource.h>

namespace tabulon::reports::test {
namespace {

// A sheet long enough to be painted in several pieces, with pictures on
// every few pages, which the pieces take from one shared picture cache.
xlsw::XlsWriter longSheet() {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("Long"));
    for (int r = 0; r < 4000; ++r) s.number(r, 0, r).text(r, 1, QStringLiteral("row"));
    for (int r = 0; r < 4000; r += 150) s.picture(r, 3).png = png(16, 8, QColor(0, 0, 160 + r % 90));
    return w;
}

// How many times pictures are drawn on the pages (pdfimages lists each use).
int placedImages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    p.waitForFinished(60000);
    return int(p.readAllStandardOutput().count('\n')) - 2;  // two heading lines
}

TEST(PaintOnce, JoinedDocumentationReadsAsOnePainterWritingEverythingInOrder) {
    ReportDb db;
    db.names(300);
    const PrintedWorkbook book(longSheet());
    DocumentList docs;
    for (const char* name : {"R_XlHyousi", "R_XlName"})
        docs.push_back(ReportDocument::load(*store::Database::open(db.path()), name));
    docs.push_back(book.image(QStringLiteral("Long")));
    ASSERT_GT(docs.back()->layoutAll(), 70) << "too short to be cut into pieces";

    const QStringList files{db.file("1.pdf"), db.file("2.pdf"), db.file("3.pdf")};
    const QString joined = db.file("documentation.pdf"), whole = db.file("whole.pdf");
    const int pages = writeDocumentation(docs, files, joined, QStringLiteral("t"));
    ASSERT_EQ(pages, writePdf(docs, whole));
    EXPECT_EQ(pdfPages(joined), pages);
    EXPECT_FALSE(pdfInfo(joined).contains("Error")) << pdfInfo(joined).toStdString();
    EXPECT_EQ(pdfText(joined), pdfText(whole));
    // The sheet's own file, joined from its pieces, has its pages in order.
    EXPECT_EQ(pdfPages(files[2]), docs[2]->pagesKnown());
    const QString sheetText = pdfText(files[2]);
    EXPECT_GT(sheetText.size(), 10000);
    EXPECT_TRUE(pdfText(whole).endsWith(sheetText));
    // Every picture is placed, whichever painter took it from the cache.
    EXPECT_EQ(placedImages(joined), placedImages(whole));
    EXPECT_EQ(placedImages(files[2]), 27);
    // Only the files asked for are left.
    EXPECT_EQ(QDir(db.file(".")).entryList({"*.pdf"}, QDir::Files).size(), 5);
    EXPECT_TRUE(QDir(db.file(".")).entryList({".*part*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(PaintOnce, AFileThatCannotBeWrittenLeavesTheEarlierOneAndSaysWhy) {
    ReportDb db;
    db.names(3000);
    const QString pdf = db.file("names.pdf");
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    earlier.close();
    const auto doc = ReportDocument::load(*store::Database::open(db.path()), QStringLiteral("R_XlName"));
    // A file-size limit stands for the full disk: writes past it fail.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = old;
    tight.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &tight);
    QString said;
    try {
        writePdf({doc}, pdf);
    } catch (const Error& e) {
        said = e.description();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(said.contains(QStringLiteral("ディスクの空き容量が足りません"))) << said.toStdString();
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "earlier");
    EXPECT_TRUE(QDir(db.file(".")).entryList({".*part*"}, QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace tabulon::reports::test
