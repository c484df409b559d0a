// What ordinary workbooks hold reaches the documentation: each crafted
// workbook is documented end to end, and its point is checked on the rows
// (the saved results file) and on the printed page (the chapter's PDF).
#include "cli_support.h"
#include "store/Database.h"
#include "xlswriter/XlsWriter.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace tabulon::test::cli {
namespace {

using xlsw::XlsModule;
using xlsw::XlsWriter;

struct Documented : CommandTest {
    QString to = dir.filePath("out");
    QString results = dir.filePath("results.xdb");

    // Writes the workbook, documents it with every chapter and saves the
    // results; `status` is what the run is to end with (3: incomplete).
    void document(const XlsWriter& w, const QStringList& options = {}, int status = 0) {
        const QString path = dir.filePath("book.xls");
        ASSERT_TRUE(w.save(path));
        ASSERT_EQ(run("document", QStringList{path, "-o", to, "--save", results} + options), status) << err.toStdString();
    }
    // What the run wrote on the terminal, both streams.
    QString terminal() const { return out + err; }
    QStringList rows(const QString& sql) {
        QStringList out;
        for (const auto& row : store::Database::open(results)->query(sql)) {
            QStringList cells;
            for (const QVariant& v : row) cells << (v.isNull() ? QStringLiteral("-") : v.toString());
            out << cells.join(u'|');
        }
        return out;
    }
    // The text of the chapter's own PDF ("NN_R_X.pdf"), blanks squeezed.
    QString page(const QString& report) {
        const QStringList files = QDir(to).entryList({"*_" + report + ".pdf"}, QDir::Files);
        if (files.size() != 1) return QStringLiteral("(no %1.pdf)").arg(report);
        return pdfText(to + "/" + files.front()).simplified();
    }
};

XlsWriter withSheet() {
    XlsWriter w;
    w.setVbaCodePage(932);
    w.addSheet("受注").text(0, 0, "受注番号");
    return w;
}

// Event handlers in ThisWorkbook and a sheet module, and no other module.
TEST_F(Documented, CodeOnlyInTheWorkbookAndSheetModules) {
    XlsWriter w = withSheet();
    w.addModule("ThisWorkbook", XlsModule::Document,
                "Option Explicit\r\n' 起動時にメニューを出す\r\nPrivate Sub Workbook_Open()\r\n    Menu\r\nEnd Sub\r\n");
    w.addModule("Sheet1", XlsModule::Document,
                "Private Sub Worksheet_Change(ByVal Target As Range)\r\n    Recalc\r\nEnd Sub\r\n");
    document(w, {"--module", "6"});  // the source list of every kind
    EXPECT_FALSE(terminal().contains("このﾌｧｲﾙにはModuleは存在しません")) << terminal().toStdString();
    EXPECT_EQ(rows("select objectName, ProcedureName from T_XlProcName where ProcedureName is not null order by ID"),
              (QStringList{"ThisWorkbook.bok|Workbook_Open", "Sheet1.sht|Worksheet_Change"}));
    EXPECT_EQ(rows("select Comment from T_XlComment"), QStringList{"起動時にメニューを出す"});
    for (const char* t : {"Workbook_Open", "Worksheet_Change", "ﾌﾞｯｸﾓｼﾞｭｰﾙ"})
        EXPECT_TRUE(page("R_ModuleList").contains(QString::fromUtf8(t))) << t;
    EXPECT_TRUE(page("R_SourceList").contains("Recalc"));
    EXPECT_TRUE(page("R_XlComment").contains("起動時にメニューを出す"));
    EXPECT_TRUE(page("R_XlModStep").contains("Worksheet_Change"));
}

// A button renamed in Japanese runs a macro: it is listed as a button, with
// its macro and its fill colour as a swatch and #RRGGBB.
TEST_F(Documented, RenamedJapaneseButton) {
    XlsWriter w = withSheet();
    w.sheet(0).button(2, 1, "受注", "Module1.Order").name = QStringLiteral("受注ボタン");
    w.sheet(0).textBox(5, 1, "説明").fillRgb = 0xCCFFCC;
    w.addModule("Module1", XlsModule::Standard, "Sub Order()\r\nEnd Sub\r\n");
    document(w);
    EXPECT_EQ(rows("select ShapeName, ShapeType, MacroName from T_XlShape order by ID"),
              QStringList{"受注ボタン|ボタン|Module1.Order"}) << "the default selection lists shapes with a macro";
    const QString shapes = page("R_XlShape");
    for (const char* t : {"受注ボタン", "ボタン", "Order", "#"})
        EXPECT_TRUE(shapes.contains(QString::fromUtf8(t))) << t << " in " << shapes.toStdString();
    EXPECT_FALSE(shapes.contains(QRegularExpression("\\b16777215\\b")));
}

// Type, Enum and Const without a scope word, the forms most modules use.
TEST_F(Documented, DeclarationsWithoutAScopeWord) {
    XlsWriter w = withSheet();
    w.addModule("Module1", XlsModule::Standard,
                "Type OrderLine\r\n    Qty As Long\r\nEnd Type\r\nEnum Status\r\n    Open = 1\r\nEnd Enum\r\n"
                "Const RATE = 0.1\r\nPublic Sub Run()\r\nEnd Sub\r\n");
    document(w);
    EXPECT_EQ(rows("select HensuName, Property, Bunrui from T_XlHensu where HensuName <> '' order by ID"),
              (QStringList{"OrderLine|(Public)|定義", "Qty|(Public)|定義", "Status|(Public)|定義", "Open|(Public)|定義",
                           "RATE|(Private)|定数"}));
    EXPECT_TRUE(page("R_XlHensuU").contains("OrderLine"));
    EXPECT_TRUE(page("R_XlHensuU").contains("(Public)"));
    EXPECT_TRUE(page("R_XlHensuT").contains("RATE"));
    EXPECT_TRUE(page("R_XlHensuT").contains("(Private)"));
    EXPECT_TRUE(page("R_ModuleList").contains("OrderLine"));
}

// Comments indented with blanks or a tab, and Rem, read alike; a module
// whose last line is continued ends its statement with the module.
TEST_F(Documented, CommentsAsWrittenAndAContinuedLastLine) {
    XlsWriter w = withSheet();
    w.addModule("Module1", XlsModule::Standard,
                "Sub Total()\r\n    ' 合計を出す\r\n\t' タブで字下げ\r\n    Rem 古い書き方\r\n    Call Add(1, _");
    document(w);
    EXPECT_FALSE(terminal().contains("ｴﾗｰNo:62")) << terminal().toStdString();
    EXPECT_EQ(rows("select ProcedureName, Comment from T_XlComment order by ID"),
              (QStringList{"Total|合計を出す", "Total|タブで字下げ", "Total|古い書き方"}));
    const QString comments = page("R_XlComment");
    for (const char* t : {"合計を出す", "タブで字下げ", "古い書き方"})
        EXPECT_TRUE(comments.contains(QString::fromUtf8(t))) << t;
    EXPECT_FALSE(comments.contains("' 合計")) << "no apostrophe left";
    EXPECT_TRUE(page("R_ModuleList").contains("Total"));
}

// A locked project is its author's wish: the workbook chapters are
// documented, the code chapters say why they are empty, the run goes on.
TEST_F(Documented, LockedProject) {
    XlsWriter w = withSheet();
    w.addSheet("集計").number(0, 0, 1);
    w.addModule("Module1", XlsModule::Standard, "Sub Secret()\r\nEnd Sub\r\n");
    w.setProtectedProject(true);
    document(w);
    EXPECT_TRUE(terminal().contains("プロジェクトが保護されています。")) << terminal().toStdString();
    EXPECT_EQ(rows("select objectName, Class from T_XlObject order by ID"),
              (QStringList{"受注|ﾜｰｸｼｰﾄ", "集計|ﾜｰｸｼｰﾄ", "Module1|標準ﾓｼﾞｭｰﾙ"}))
        << "the module's name is listed, its code is not read";
    EXPECT_TRUE(rows("select * from T_XlProcName").isEmpty());
    EXPECT_TRUE(page("R_XlObject").contains("集計"));
    EXPECT_FALSE(QDir(to).entryList({"*_R_ModuleList.pdf", "*_R_SourceList.pdf"}).size());
    EXPECT_TRUE(QDir(to).exists("documentation.pdf"));
}

// A damaged project costs the code chapters only, which say why; the
// workbook chapters are documented from the workbook's own data.
TEST_F(Documented, DamagedProject) {
    XlsWriter w = withSheet();
    w.addModule(XlsModule{"Module1", XlsModule::Standard, "Sub Lost()\r\nEnd Sub\r\n", {}, true});
    document(w, {}, 3);  // the code is missing: the documentation is incomplete
    EXPECT_EQ(QDir(to).entryList({"*_読み込みの警告.pdf"}).size(), 1);
    EXPECT_TRUE(terminal().contains("VBA プロジェクトが壊れている")) << terminal().toStdString();
    EXPECT_EQ(rows("select objectName, Class from T_XlObject order by ID"), QStringList{"受注|ﾜｰｸｼｰﾄ"});
    EXPECT_TRUE(page("R_XlObject").contains("受注"));
    EXPECT_FALSE(QDir(to).entryList({"*_R_ModuleList.pdf", "*_R_SourceList.pdf"}).size());
}

// A workbook never printed: its creation date is still listed, and no box
// claims another version of the spreadsheet made it.
TEST_F(Documented, NoPrintDateButACreationDate) {
    XlsWriter w = withSheet();
    w.setProperties("受注", "山田", "サンプル商事");
    w.setDates(QDateTime(QDate(2020, 1, 2), QTime(3, 4)));
    document(w);
    EXPECT_FALSE(terminal().contains("Excel2000以外")) << terminal().toStdString();
    EXPECT_EQ(rows("select substr(CreateDate, 1, 16), PrintDate, Company from T_XlBook"),
              QStringList{"2020-01-02T03:04|-|サンプル商事"});
    const QString book = page("R_XlObject");
    EXPECT_TRUE(book.contains("2020/01/02 03:04")) << book.toStdString();
    EXPECT_TRUE(book.contains("サンプル商事"));
}

// The combined file: every chapter a bookmark of its own title, the two
// comment lists told apart, and the sheet images under one "シート印刷".
TEST_F(Documented, DistinctBookmarksAndSheetImagesUnderOne) {
    XlsWriter w = withSheet();
    w.addSheet("集計").number(0, 0, 1);
    w.addModule("Module1", XlsModule::Standard, "' 説明\r\nSub A()\r\nEnd Sub\r\n");
    document(w);
    QProcess p;
    p.start("pdftohtml", {"-xml", "-i", "-stdout", "-q", to + "/documentation.pdf"});
    p.waitForFinished(60000);
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    QStringList titles;
    static const QRegularExpression item(QStringLiteral("<item page=\"\\d+\">([^<]*)</item>"));
    for (const auto& m : item.globalMatch(xml)) titles << m.captured(1);
    EXPECT_EQ(QSet<QString>(titles.begin(), titles.end()).size(), titles.size()) << titles.join(' ').toStdString();
    for (const char* t : {"コードコメント一覧", "数式・セルコメント一覧", "シート印刷"})
        EXPECT_TRUE(titles.contains(QString::fromUtf8(t))) << t << " in " << titles.join(' ').toStdString();
    EXPECT_TRUE(xml.contains(QRegularExpression("シート印刷</item>\\s*<outline>\\s*<item page=\"\\d+\">受注</item>\\s*"
                                                "<item page=\"\\d+\">集計</item>\\s*</outline>")))
        << xml.toStdString();
}

}  // namespace
}  // namespace tabulon::test::cli
