// Every stored report must render from an empty and from a filled table: a
// definition that names a field the schema lacks fails here, not in front of
// a user. The page frame, group headings and page counts are checked on the
// text of the written PDF.
#include "ReportTestSupport.h"
#include "reports/PdfOutput.h"
#include "reports/ReportDefinition.h"

#include <QDate>
#include <QImage>
#include <QMap>
#include <QRegularExpression>

namespace tabulon::reports::test {
namespace {

const QStringList kReports = {
    "R_XlHyousi",   "R_XlHyousiH",    "R_XlHyousiW",    "R_XlBook",       "R_XlObject",
    "R_XlCalc",     "R_XlCalcNote",   "R_XlShape",      "R_XlName",       "R_XlFile",
    "R_XlAddin",    "R_ModuleList",   "R_ModuleList50", "R_SourceList",   "R_SourceList50",
    "R_SourceList1", "R_SourceList150", "R_XlModStep",  "R_XlComment",    "R_XlHensuU",
    "R_XlHensuT",   "R_XlHensuH",     "R_XlLinkProc",   "R_XlCalcLink"};

// One plausible row for every analysis table, with the fields its analysis writes.
void seedAll(ReportDb& db) {
    db.add("T_XlHyousi", {{{"SysTitle", "販売管理システム"}, {"SysName", "受注入力"},
                           {"Company", "株式会社テスト"}, {"Bumon", "情報システム部"},
                           {"Auther", "山田太郎"}, {"CreateDate", "2024年4月1日"}}});
    db.add("T_XlBook", {{{"BookNo", 1}, {"XFileName", "/data/売上.xls"}, {"FileSize", 12.5},
                         {"Title", "売上"}, {"Auther", "山田"}, {"Comments", "備考"},
                         {"UpdateDate", QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9))},
                         {"Label", 1}}});
    db.add("T_XlLink", {{{"BookNo", 1}, {"LinkNo", 1}, {"LinkType", "Excel"},
                         {"LinkMoto", "C:\\data\\[価格.xls]"}}});
    db.add("T_XlObject", {{{"BookNo", 1}, {"objectNo", 1}, {"Class", "ﾜｰｸｼｰﾄ"},
                           {"objectName", "Sheet1"}, {"Row", 10}, {"Col", 5}, {"CellCount", 50},
                           {"ErrCount", 0}, {"ShapeCount", 2}, {"CalCount", 3}, {"StVisible", -1},
                           {"ComentCount", 1}},
                          {{"BookNo", 1}, {"objectNo", 2}, {"Class", "標準ﾓｼﾞｭｰﾙ"},
                           {"objectName", "Module1"}}});
    db.add("T_XlCalc", {{{"Label", 3}, {"SheetMei", "Sheet1"}, {"objectNo", 1}, {"StCell", "B2"},
                         {"CalcName", "=SUM(A1:A9)"}, {"NoteName", "合計"}}});
    db.add("T_XlShape", {{{"objectNo", 1}, {"SheetName", "Sheet1"}, {"ControlName", "Button 1"},
                          {"ShapeName", "Button 1"}, {"ShapeType", "ボタン"}, {"IbentType", "ｸﾘｯｸ時"},
                          {"MacroName", "Macro1"}, {"ForeColor", "#FFFFFF"},
                          {"LineStyle", "実線"}, {"Label", 1}}});
    db.add("T_XlName", {{{"LabelName", "範囲1"}, {"SheetMei", "Data"}, {"StCell", "A1:C9"}}});
    db.add("T_XlFile", {{{"FileNo", 1}, {"XFileName", "a.xls"}, {"FileSize", 2.25},
                         {"UpdateDate", QDateTime(QDate(2024, 1, 2), QTime(3, 4))},
                         {"FilePath", "/data/"}, {"ReadOnly", 1}}});
    db.add("T_XlAddin", {{{"FileNo", 1}, {"Name", "x.xla"}, {"FullName", "/lib/x.xla"},
                          {"Title", "分析"}, {"Installed", true}, {"objectName", "Sheet1"},
                          {"FileSize", 1.0}, {"ReadOnly", 0}, {"FilePath", "/lib"}}});
    db.add("T_XlProcName", {{{"objectNo", 1}, {"ProcedureNo", 1}, {"objectName", "Module1.bas"},
                             {"ProcedureName", "Main"}, {"PrivatePublic", "Public"},
                             {"Object", "標準ﾓｼﾞｭｰﾙ"}, {"Type", "Sub"}, {"DimCall", 0},
                             {"Parameters", "ByVal a As Long"}}});
    db.add("T_XlDimCall", {{{"objectNo", 1}, {"ProcedureNo", 1}, {"Line", 3}, {"DimCall", 4},
                            {"Bunrui", "変数"}, {"Type", "Dim"}, {"Parameters", "i As Long"}}});
    db.add("T_XlSource", {{{"Label", 1}, {"objectNo", 1}, {"ProcedureNo", 1}, {"Line", 1},
                           {"objectName", "Module1.bas"}, {"ProcedureName", "Main"},
                           {"Procedure", "Sub Main()"}}});
    db.add("T_XlModStep", {{{"Object", "標準ﾓｼﾞｭｰﾙ"}, {"objectNo", 1}, {"ProcedureNo", 1},
                            {"objectName", "Module1.bas"}, {"ProcedureName", "Main"},
                            {"ComentCnt", 1}, {"SpaceCnt", 2}, {"ProcCnt", 3}, {"TotalCnt", 6}}});
    db.add("T_XlComment", {{{"Object", "標準ﾓｼﾞｭｰﾙ"}, {"objectNo", 1}, {"ProcedureNo", 1},
                            {"objectName", "Module1.bas"}, {"ProcedureName", "Main"},
                            {"Comment", "初期化"}}});
    std::vector<Row> hensu;
    for (const char* b : {"定義", "定数", "変数"})
        hensu.push_back({{"objectNo", 1}, {"ProcedureNo", 0}, {"objectName", "Module1.bas"},
                         {"ProcedureName", "(Declarations)"}, {"HensuName", QString("名前") + b},
                         {"Property", "Public"}, {"Bunrui", b}, {"Type", "型/Long"}, {"Line", 1},
                         {"Description", "説明"}});
    db.add("T_XlHensu", hensu);
    db.add("T_XlLinkModule", {{{"objectNo", 1}, {"ProcedureNo", 0}, {"objectName", "Module1.bas"},
                               {"Procedure", "Main"}, {"LinkProcedure", "Sub2"},
                               {"MotoName", "Module2.bas"}}});
}

// From empty tables and from filled ones every report prints on one page
// (the object list on two: it opens with the book page), with its fixed texts
// as printed: no kanji of a title or caption comes back as a radical or
// compatibility look-alike. The running header comes from the title table,
// with the date; the cover pages have none. An unknown name throws, so this
// also proves every report is stored.
TEST(ReportDefinitions, EveryReportRendersFromEmptyAndFilledTablesWithItsFixedTexts) {
    ReportDb empty, db;
    seedAll(db);
    db.title("ヘッダ文字列.xls");
    auto handle = store::Database::open(db.path());
    const auto squeeze = [](QString t) { return t.remove(QRegularExpression("\\s")); };
    QString all;
    for (const QString& name : kReports) {
        const int pages = name == "R_XlObject" ? 2 : 1;
        EXPECT_EQ(renderToPdf(empty.path(), name, empty.file(name + ".pdf")), pages) << name.toStdString();
        const QString pdf = db.file(name + ".pdf");
        EXPECT_EQ(renderToPdf(db.path(), name, pdf), pages) << name.toStdString();
        all += pdfText(pdf);
        const QString text = squeeze(pdfText(pdf));
        const ReportDef def = loadDefinition(*handle, name);
        QStringList printed;
        if (def.pageFrame)
            printed << def.title << "ヘッダ文字列.xls" << QDate::currentDate().toString("yyyy/MM/dd");
        else
            EXPECT_FALSE(text.contains("ヘッダ文字列") || text.contains("ページ")) << name.toStdString();
        if (def.kind == LayoutKind::List)  // a source listing has no heading row
            for (const ColumnDef& c : def.columns) printed << c.caption;
        for (const FieldDef& f : def.fields) printed << f.caption;
        printed << def.groupCaption;
        for (const QString& t : printed)
            EXPECT_TRUE(text.contains(squeeze(t))) << name.toStdString() << ": " << t.toStdString();
        for (QChar c : text) {
            const bool radical = c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF;
            const bool compatibility = c.unicode() >= 0xF900 && c.unicode() <= 0xFAFF;
            EXPECT_FALSE(radical || compatibility)
                << name.toStdString() << ": look-alike U+" << QString::number(c.unicode(), 16).toStdString();
        }
    }
    for (const char* expected : {"販売管理システム", "株式会社テスト", "=SUM(A1:A9)", "Button 1", "A1:C9", "x.xla",
                                 "ByVal a As Long", "Sub Main()", "初期化", "名前定義",
                                 "名前定数", "名前変数", "Sub2", "12.5", "2024/05/06 07:08", "○"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected;
    // The object list: the book and its links, then the objects, each sheet once.
    const QString objects = db.file("R_XlObject.pdf"), book = pdfText(objects, 1), list = pdfText(objects, 2);
    for (const char* t : {"ブック情報", "C:\\data\\[価格.xls]", "1 / 2 ページ"})
        EXPECT_TRUE(book.contains(QString::fromUtf8(t))) << t;
    for (const char* t : {"オブジェクト情報", "Module1", "2 / 2 ページ"})
        EXPECT_TRUE(list.contains(QString::fromUtf8(t))) << t;
    EXPECT_EQ(pdfText(objects).count("Sheet1"), 1);
}

// Every chapter's title says what it lists: in one documentation no two
// reports share a title. Only the one- and two-column layouts of the same
// source listing (one of them is printed) do.
TEST(ReportDefinitions, TitlesAreDistinct) {
    ReportDb db;
    auto handle = store::Database::open(db.path());
    QMap<QString, QStringList> byTitle;
    for (const QString& name : definitionNames(*handle)) byTitle[loadDefinition(*handle, name).title] << name;
    for (auto it = byTitle.begin(); it != byTitle.end(); ++it) {
        QStringList names = it.value();
        for (QString& n : names) n.remove(QRegularExpression("1(?=50$|$)"));  // R_SourceList1 -> R_SourceList
        names.removeDuplicates();
        EXPECT_EQ(names.size(), 1) << it.key().toStdString() << ": " << it.value().join(' ').toStdString();
    }
    EXPECT_NE(loadDefinition(*handle, "R_XlCalcNote").title, loadDefinition(*handle, "R_XlComment").title);
}

// A colour column prints a small square of the colour before its text; a
// value that is no colour prints as text alone.
TEST(ReportPages, ColourColumnShowsASwatch) {
    ReportDb db;
    db.add("T_XlShape", {{{"objectNo", 1}, {"SheetName", "S"}, {"ShapeName", "Red"}, {"ForeColor", "#FF0000"}},
                         {{"objectNo", 1}, {"SheetName", "S"}, {"ShapeName", "Plain"}, {"ForeColor", "16777215"}}});
    const QString pdf = db.file("shape.pdf");
    ASSERT_EQ(renderToPdf(db.path(), "R_XlShape", pdf), 1);
    EXPECT_TRUE(pdfText(pdf).contains("#FF0000"));
    QProcess p;
    p.start("pdftoppm", {"-png", "-r", "60", "-singlefile", pdf, db.file("shape")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QImage page(db.file("shape.png"));
    ASSERT_FALSE(page.isNull());
    int red = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
        }
    EXPECT_GT(red, 4) << "the red swatch";
    EXPECT_LT(red, 200) << "a small one";
}

std::vector<Row> calcRows(const QString& sheet, int sheetNo, int count) {
    std::vector<Row> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({{"Label", 1}, {"SheetMei", sheet}, {"objectNo", sheetNo},
                        {"StCell", QString("A%1").arg(i)}, {"CalcName", QString("=B%1*2").arg(i)}});
    return rows;
}

TEST(ReportPages, GroupHeadingsAtKeyChangesAndContinuations) {
    ReportDb db;
    db.add("T_XlCalc", calcRows("売上", 1, 60));
    db.add("T_XlCalc", calcRows("仕入", 2, 3));
    const QString pdf = db.file("calc.pdf");
    const int pages = renderToPdf(db.path(), "R_XlCalc", pdf);
    ASSERT_GE(pages, 2);
    const QString first = pdfText(pdf, 1);
    EXPECT_TRUE(first.contains("シート 1. 売上"));
    EXPECT_FALSE(first.contains("（続き）"));
    const QString second = pdfText(pdf, 2);
    EXPECT_TRUE(second.contains("シート 1. 売上（続き）"));
    EXPECT_TRUE(pdfText(pdf, pages).contains("シート 2. 仕入"));
    EXPECT_EQ(pdfText(pdf).count("シート 2. 仕入"), 1);  // never continued: it fits
    EXPECT_TRUE(pdfText(pdf, pages).contains(QString("%1 / %1 ページ").arg(pages)));
}

TEST(ReportPages, PageCountGrowsWithRowsAndEveryRowIsPrintedOnce) {
    ReportDb db;
    db.names(400);
    const QString pdf = db.file("names.pdf");
    const int pages = renderToPdf(db.path(), "R_XlName", pdf);
    EXPECT_GT(pages, 5);
    EXPECT_LT(pages, 20);
    EXPECT_EQ(pdfPages(pdf), pages);
    const QString text = pdfText(pdf);
    for (int i = 1; i <= 400; ++i)
        ASSERT_EQ(text.count(nameLabel(i)), 1) << i;
    EXPECT_TRUE(pdfText(pdf, 2).contains(QString("2 / %1 ページ").arg(pages)));
}

// A row taller than a page is cut and the next rows follow on the next
// page; a wrapped formula keeps its end, a cut column shows an ellipsis.
TEST(ReportPages, LongTextsWrapOrAreCutAndATallRowIsCut) {
    ReportDb db;
    db.add("T_XlCalc", {{{"Label", 1}, {"SheetMei", "S"}, {"objectNo", 1}, {"StCell", "A1"},
                         {"CalcName", "=" + QString("A1+").repeated(6000) + "1"}}});
    db.add("T_XlCalc", calcRows("S", 1, 2));
    const QString formula = "=" + QString("VLOOKUP(A1,範囲,2,FALSE)+").repeated(12) + "END1";
    db.add("T_XlCalc", {{{"Label", 1}, {"SheetMei", "T"}, {"objectNo", 2}, {"StCell", "A1"},
                         {"CalcName", formula}}});
    db.add("T_XlBook", {{{"BookNo", 1}, {"XFileName", "x"}, {"Label", 1}}});
    db.add("T_XlShape", {{{"objectNo", 1}, {"SheetName", "S"}, {"ControlName", "C"},
                          {"ShapeName", "C"}, {"ShapeType", "種類" + QString("長い").repeated(30)},
                          {"LineStyle", "実線"}}});
    const QString calc = db.file("calc.pdf");
    ASSERT_EQ(renderToPdf(db.path(), "R_XlCalc", calc), 2);
    const QString last = pdfText(calc, 2);
    EXPECT_TRUE(last.contains("=B1*2"));
    EXPECT_TRUE(last.contains("=B2*2"));
    // A wrap may fall inside a word, so the line breaks are taken out.
    EXPECT_TRUE(last.simplified().remove(u' ').contains("END1"));
    const QString shape = db.file("shape.pdf");
    renderToPdf(db.path(), "R_XlShape", shape);
    const QString text = pdfText(shape);
    EXPECT_TRUE(text.contains("…"));
    EXPECT_FALSE(text.contains(QString("長い").repeated(30)));
}

}  // namespace
}  // namespace tabulon::reports::test
