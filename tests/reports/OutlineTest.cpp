// The combined documentation file: its title and one bookmark per report at
// the report's first page, read back with poppler's tools.
#include "ReportTestSupport.h"
#include "common/Error.h"
#include "reports/PdfOutline.h"
#include "reports/PdfOutput.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tabulon::reports::test {
namespace {

using Marks = std::vector<std::pair<QString, int>>;

// What pdftohtml lists of the outline: title and 1-based page.
Marks bookmarks(const QString& pdf) {
    QProcess p;
    p.start("pdftohtml", {"-xml", "-i", "-stdout", "-q", pdf});
    p.waitForFinished(60000);
    static const QRegularExpression item(QStringLiteral("<item page=\"(\\d+)\">([^<]*)</item>"));
    Marks items;
    for (const auto& m : item.globalMatch(QString::fromUtf8(p.readAllStandardOutput()))) {
        QString t = m.captured(2).replace("&#34;", "\"").replace("&lt;", "<").replace("&gt;", ">");
        items.emplace_back(t.replace("&amp;", "&"), m.captured(1).toInt());
    }
    return items;
}

TEST(Documentation, TitleAndOneBookmarkPerReportAtItsFirstPage) {
    ReportDb db;
    db.names(300);
    const QString pdf = db.file("documentation.pdf");
    // The cover (1 page), the name list (several), the object list (book and objects).
    DocumentList docs;
    for (const char* name : {"R_XlHyousi", "R_XlName", "R_XlObject"})
        docs.push_back(ReportDocument::load(*store::Database::open(db.path()), name));
    const QStringList parts{db.file("1.pdf"), db.file("2.pdf"), db.file("3.pdf")};
    const int pages = writeDocumentation(docs, parts, pdf, "受注.xls プログラム仕様書");
    ASSERT_GT(pages, 4);
    EXPECT_EQ(bookmarks(pdf), (Marks{{"表紙", 1}, {"名前定義一覧", 2}, {"オブジェクト情報", pages - 1}}));
    const QString info = pdfInfo(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression("Title: +受注.xls プログラム仕様書\n"))) << info.toStdString();
    EXPECT_EQ(pdfPages(pdf), pages);
    EXPECT_FALSE(info.contains("Error")) << info.toStdString();  // pdfinfo has nothing to complain about
    EXPECT_TRUE(pdfText(pdf, pages).contains("オブジェクト情報"));

    // One painter writing the documents into one file (the estate summary)
    // marks the same first pages.
    const QString whole = db.file("whole.pdf");
    EXPECT_EQ(writeDocumentationPdf(docs, whole, "受注.xls プログラム仕様書"), pages);
    EXPECT_EQ(bookmarks(whole), bookmarks(pdf));

    // A later update replaces the bookmarks; texts keep their quotes and marks.
    appendOutline(pdf, {{"最初", 1}, {"（続き）\"<&>", 0}});
    EXPECT_EQ(bookmarks(pdf), (Marks{{"最初", 2}, {"（続き）\"<&>", 1}}));
    EXPECT_FALSE(pdfInfo(pdf).contains("Error"));
}

TEST(Documentation, FileOfAnotherKindIsRefusedUntouched) {
    ReportDb db;
    const QString path = db.file("notes.pdf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\nnot really\n");
    f.close();
    EXPECT_THROW(appendOutline(path, {{"a", 0}}), Error);
    EXPECT_EQ(QFileInfo(path).size(), 20);
    EXPECT_THROW(appendOutline(db.file("missing.pdf"), {{"a", 0}}), Error);
    EXPECT_FALSE(QFileInfo::exists(db.file("missing.pdf")));
}

}  // namespace
}  // namespace tabulon::reports::test
