// The combined documentation file: its title and one bookmark per report at
// the report's first page, read back with poppler's tools.
#include "ReportTestSupport.h"
#include "SheetTestSupport.h"
#include "common/Error.h"
#include "reports/PdfOutline.h"
#include "reports/PdfOutput.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tabulon::reports::test {
namespace {

using Marks = std::vector<std::pair<QString, int>>;

// What pdftohtml lists of the outline, in order: title, 1-based page and
// nesting depth (0 for the top level).
struct Mark {
    QString title;
    int page = 0, depth = 0;
};
std::vector<Mark> outline(const QString& pdf) {
    QProcess p;
    p.start("pdftohtml", {"-xml", "-i", "-stdout", "-q", pdf});
    p.waitForFinished(60000);
    static const QRegularExpression token(QStringLiteral("<outline>|</outline>|<item page=\"(\\d+)\">([^<]*)</item>"));
    std::vector<Mark> items;
    int depth = -1;
    for (const auto& m : token.globalMatch(QString::fromUtf8(p.readAllStandardOutput()))) {
        if (m.captured(0) == "<outline>") ++depth;
        else if (m.captured(0) == "</outline>") --depth;
        else {
            QString t = m.captured(2).replace("&#34;", "\"").replace("&lt;", "<").replace("&gt;", ">");
            items.push_back({t.replace("&amp;", "&"), m.captured(1).toInt(), depth});
        }
    }
    return items;
}

// The outline's top level: title and 1-based page.
Marks bookmarks(const QString& pdf) {
    Marks top;
    for (const Mark& m : outline(pdf))
        if (m.depth == 0) top.emplace_back(m.title, m.page);
    return top;
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
    appendOutline(pdf, {{"最初", 1, {}}, {"（続き）\"<&>", 0, {}}});
    EXPECT_EQ(bookmarks(pdf), (Marks{{"最初", 2}, {"（続き）\"<&>", 1}}));
    EXPECT_FALSE(pdfInfo(pdf).contains("Error"));
}

// The outline as "title@page", two blanks before it per level.
QStringList outlineTree(const QString& pdf) {
    QStringList out;
    for (const Mark& m : outline(pdf)) out << QString(2 * m.depth, ' ') + m.title + '@' + QString::number(m.page);
    return out;
}

// The print images of the sheets are nested under one "シート印刷" bookmark
// at the first of them; the chapters after them are on the top level again.
TEST(Documentation, SheetImagesNestUnderOneBookmark) {
    ReportDb db;
    xlsw::XlsWriter w;
    w.addSheet("売上").text(0, 0, "a");
    w.addSheet("集計").text(0, 0, "b");
    const PrintedWorkbook book(w);
    const auto load = [&](const char* name) { return ReportDocument::load(*store::Database::open(db.path()), name); };
    const DocumentList docs{load("R_XlHyousi"), book.image("売上"), book.image("集計"), load("R_XlAddin")};
    const QString pdf = db.file("documentation.pdf");
    ASSERT_EQ(writeDocumentationPdf(docs, pdf, "t"), 4);
    EXPECT_EQ(outlineTree(pdf),
              (QStringList{"表紙@1", "シート印刷@2", "  売上@2", "  集計@3", "アドイン一覧@4"}));
    EXPECT_FALSE(pdfInfo(pdf).contains("Error"));
}

TEST(Documentation, FileOfAnotherKindIsRefusedUntouched) {
    ReportDb db;
    const QString path = db.file("notes.pdf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\nnot really\n");
    f.close();
    EXPECT_THROW(appendOutline(path, {{"a", 0, {}}}), Error);
    EXPECT_EQ(QFileInfo(path).size(), 20);
    EXPECT_THROW(appendOutline(db.file("missing.pdf"), {{"a", 0, {}}}), Error);
    EXPECT_FALSE(QFileInfo::exists(db.file("missing.pdf")));
}

}  // namespace
}  // namespace tabulon::reports::test
