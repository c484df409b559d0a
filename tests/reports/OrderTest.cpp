// Order on paper: the syllabary variants sort by the JA_KANA collation
// (hiragana and katakana of one sound together, カ before サ), and a
// two-column listing runs down the left column before the right one.
#include "ReportTestSupport.h"
#include "reports/PdfOutput.h"
#include "reports/ReportData.h"

namespace tabulon::reports::test {
namespace {

TEST(KanaCollation, HiraganaAndKatakanaInterleaveInSyllabaryOrder) {
    ReportDb db;
    auto handle = store::Database::open(db.path());
    handle->execute("CREATE TEMP TABLE k (t TEXT)");
    for (const char* t : {"さくら", "カメラ", "サイズ", "かもめ", "アイス", "ｶﾞﾗｽ", "あめ"})
        handle->query("INSERT INTO k VALUES (?)", {QString::fromUtf8(t)});
    const ReportData data = readReportData(*handle, "SELECT t FROM k ORDER BY t COLLATE JA_KANA");
    QStringList got;
    for (int r = 0; r < data.rowCount(); ++r) got << data.cell(r, 0);
    // あ/ア first, then the か row (half-width ｶﾞ with カ/か), then the さ row.
    const QStringList want = {"アイス", "あめ", "カメラ", "かもめ", "ｶﾞﾗｽ", "サイズ", "さくら"};
    EXPECT_EQ(got, want);
}

std::vector<Row> procedures(const QStringList& names) {
    std::vector<Row> rows;
    int n = 0;
    for (const QString& name : names)
        rows.push_back({{"objectNo", 1}, {"ProcedureNo", ++n}, {"objectName", "Module1.bas"},
                        {"ProcedureName", name}, {"PrivatePublic", "Public"},
                        {"Object", "標準ﾓｼﾞｭｰﾙ"}, {"Type", "Sub"}, {"DimCall", 0}});
    return rows;
}

TEST(KanaOrder, ProcedureList50SortsByNameAndPlainListKeepsFileOrder) {
    ReportDb db;
    db.add("T_XlProcName", procedures({"さくら更新", "カメラ登録", "サイズ計算", "かもめ表示"}));
    const QString plain = db.file("plain.pdf"), kana = db.file("kana.pdf");
    renderToPdf(db.path(), "R_ModuleList", plain);
    renderToPdf(db.path(), "R_ModuleList50", kana);
    auto order = [](const QString& text) {
        QStringList seen;
        std::vector<std::pair<qsizetype, QString>> at;
        for (const char* n : {"さくら更新", "カメラ登録", "サイズ計算", "かもめ表示"})
            at.push_back({text.indexOf(QString::fromUtf8(n)), QString::fromUtf8(n)});
        std::sort(at.begin(), at.end());
        for (const auto& [pos, n] : at) seen << (pos < 0 ? QString("missing") : n);
        return seen;
    };
    EXPECT_EQ(order(pdfText(plain)),
              QStringList({"さくら更新", "カメラ登録", "サイズ計算", "かもめ表示"}));
    EXPECT_EQ(order(pdfText(kana)),
              QStringList({"カメラ登録", "かもめ表示", "サイズ計算", "さくら更新"}));
}

std::vector<Row> sourceLines(const QString& module, int objectNo, int first, int count) {
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({{"Label", 1}, {"objectNo", objectNo}, {"ProcedureNo", 1},
                        {"Line", first + i}, {"objectName", module}, {"ProcedureName", "Main"},
                        {"Procedure", QString("    x = %1 ' L%2").arg(i).arg(first + i, 4, 10, QChar('0'))}});
    return rows;
}

TEST(SourceListing, TwoColumnsFillLeftColumnFirst) {
    ReportDb db;
    db.add("T_XlSource", sourceLines("Module1.bas", 1, 1, 90));
    const QString pdf = db.file("src.pdf");
    ASSERT_EQ(renderToPdf(db.path(), "R_SourceList", pdf), 1);
    // A4 landscape is 842 x 595 points: split the page down the middle.
    const QString left = pdfText(pdf, 1, QRect(0, 0, 421, 595));
    const QString right = pdfText(pdf, 1, QRect(421, 0, 421, 595));
    EXPECT_TRUE(left.contains("L0001"));
    EXPECT_TRUE(left.contains("標準モジュール：Module1.bas"));
    EXPECT_FALSE(left.contains("L0090"));
    EXPECT_TRUE(right.contains("L0090"));
    EXPECT_TRUE(right.contains("Module1.bas（続き）"));
    EXPECT_TRUE(right.contains("◆ Main（続き）"));
    EXPECT_FALSE(right.contains("L0001"));
    // Every line exactly once, the left column's last line just before the right's first.
    int lastLeft = 0, firstRight = 1000;
    for (int i = 1; i <= 90; ++i) {
        const QString tag = QString("L%1").arg(i, 4, 10, QChar('0'));
        ASSERT_EQ(left.count(tag) + right.count(tag), 1) << i;
        if (left.contains(tag)) lastLeft = std::max(lastLeft, i);
        if (right.contains(tag)) firstRight = std::min(firstRight, i);
    }
    EXPECT_EQ(firstRight, lastLeft + 1);
}

TEST(SourceListing, OneColumnVariantUsesPortraitPagesAndKanaVariantSortsModules) {
    ReportDb db;
    db.add("T_XlSource", sourceLines("さ.bas", 1, 1, 2));
    db.add("T_XlSource", sourceLines("カ.bas", 2, 3, 2));
    const QString one = db.file("one.pdf"), kana = db.file("kana.pdf");
    renderToPdf(db.path(), "R_SourceList1", one);
    renderToPdf(db.path(), "R_SourceList150", kana);
    const QString plain = pdfText(one), sorted = pdfText(kana);
    EXPECT_LT(plain.indexOf("さ.bas"), plain.indexOf("カ.bas"));
    EXPECT_LT(sorted.indexOf("カ.bas"), sorted.indexOf("さ.bas"));
    QProcess info;
    info.start("pdfinfo", {one});
    info.waitForFinished();
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains("595 x 842"));
}

}  // namespace
}  // namespace tabulon::reports::test
