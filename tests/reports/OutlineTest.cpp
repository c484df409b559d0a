// The combined documentation file: its title and one bookmark per report at
// the report's first page, read back with poppler's tools.
#include "ReportTestSupport.h"
#include "host/Error.h"
#include "reports/PdfOutline.h"
#include "reports/PdfOutput.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tabulon::reports::test {
namespace {

struct Run {
    QString out, err;
};

Run poppler(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(60000);
    return {QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// (title, page) of every bookmark, as pdftohtml lists the outline.
std::vector<std::pair<QString, int>> bookmarks(const QString& pdf) {
    const QString xml = poppler("pdftohtml", {"-xml", "-i", "-stdout", "-q", pdf}).out;
    std::vector<std::pair<QString, int>> items;
    static const QRegularExpression item(QStringLiteral("<item page=\"(\\d+)\">([^<]*)</item>"));
    for (const auto& m : item.globalMatch(xml)) {
        QString title = m.captured(2);
        title.replace("&#34;", "\"").replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">");
        items.emplace_back(title.replace("&amp;", "&"), m.captured(1).toInt());
    }
    return items;
}

QString info(const QString& pdf, const QString& key) {
    for (const QString& line : poppler("pdfinfo", {pdf}).out.split('\n'))
        if (line.startsWith(key + ':')) return line.mid(key.size() + 1).trimmed();
    return {};
}

struct Documentation : ::testing::Test {
    ReportDb db;
    DocumentList documents(const QStringList& names) {
        auto handle = store::Database::open(db.path());
        DocumentList docs;
        for (const QString& n : names) docs.push_back(ReportDocument::load(*handle, n));
        return docs;
    }
};

TEST_F(Documentation, TitleAndOneBookmarkPerReportAtItsFirstPage) {
    std::vector<Row> names;
    for (int i = 0; i < 300; ++i) names.push_back({{"LabelName", QString("名前%1").arg(i)}, {"SheetMei", "S"}});
    db.add("T_XlName", names);
    const QString pdf = db.file("documentation.pdf");
    // The cover (1 page), the name list (several), the object list (2: book and objects).
    const int pages = writeDocumentationPdf(documents({"R_XlHyousi", "R_XlName", "R_XlObject"}), pdf,
                                            "受注.xls プログラム仕様書");
    ASSERT_GT(pages, 4);
    EXPECT_EQ(info(pdf, "Title"), "受注.xls プログラム仕様書");
    EXPECT_EQ(info(pdf, "Pages").toInt(), pages);
    const std::vector<std::pair<QString, int>> expected{
        {"表紙", 1}, {"名前定義一覧", 2}, {"オブジェクト情報", pages - 1}};
    EXPECT_EQ(bookmarks(pdf), expected);
    // The update leaves the pages readable and the file sound.
    EXPECT_TRUE(poppler("pdfinfo", {pdf}).err.isEmpty());
    EXPECT_TRUE(pdfText(pdf, pages).contains("オブジェクト情報"));
}

TEST_F(Documentation, BookmarksCanBeReplacedByALaterUpdate) {
    const QString pdf = db.file("twice.pdf");
    writeDocumentationPdf(documents({"R_XlHyousi", "R_XlName"}), pdf, "x");
    appendOutline(pdf, {{"最初", 1}, {"（続き）\"<&>", 0}});
    const std::vector<std::pair<QString, int>> expected{{"最初", 2}, {"（続き）\"<&>", 1}};
    EXPECT_EQ(bookmarks(pdf), expected);
    EXPECT_TRUE(poppler("pdfinfo", {pdf}).err.isEmpty());
}

TEST_F(Documentation, FileOfAnotherKindIsRefusedUntouched) {
    const QString path = db.file("notes.pdf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\nnot really\n");
    f.close();
    EXPECT_THROW(appendOutline(path, {{"a", 0}}), Error);
    EXPECT_EQ(QFileInfo(path).size(), 20);
    EXPECT_THROW(appendOutline(db.file("missing.pdf"), {{"a", 0}}), Error);
}

}  // namespace
}  // namespace tabulon::reports::test
