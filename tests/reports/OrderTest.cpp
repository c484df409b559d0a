// Order on paper: the syllabary variants sort by the JA_KANA collation
// (hiragana and katakana of one sound together, カ before サ), and a
// two-column listing runs down the left column before the right one.
#include "ReportTestSupport.h"
#include "reports/PdfOutput.h"

namespace tabulon::reports::test {
namespace {

std::vector<Row> procedures(const QStringList& names) {
    std::vector<Row> rows;
    int n = 0;
    for (const QString& name : names)
        rows.push_back({{"objectNo", 1}, {"ProcedureNo", ++n}, {"objectName", "Module1.bas"},
                        {"ProcedureName", name}, {"PrivatePublic", "Public"},
                        {"Object", "標準ﾓｼﾞｭｰﾙ"}, {"Type", "Sub"}, {"DimCall", 0}});
    return rows;
}

// The names in the order they stand in text ("missing" for one not there).
QStringList order(const QString& text, const QStringList& names) {
    std::vector<std::pair<qsizetype, QString>> at;
    for (const QString& n : names) at.push_back({text.indexOf(n), n});
    std::sort(at.begin(), at.end());
    QStringList seen;
    for (const auto& [pos, n] : at) seen << (pos < 0 ? QString("missing") : n);
    return seen;
}

// あ/ア first, then the か row (half-width ｶﾞ with カ/か), then the さ row.
TEST(KanaOrder, ProcedureList50SortsByNameAndPlainListKeepsFileOrder) {
    const QStringList names = {"さくら", "カメラ", "サイズ", "かもめ", "アイス", "ｶﾞﾗｽ", "あめ"};
    ReportDb db;
    db.add("T_XlProcName", procedures(names));
    const QString plain = db.file("plain.pdf"), kana = db.file("kana.pdf");
    renderToPdf(db.path(), "R_ModuleList", plain);
    renderToPdf(db.path(), "R_ModuleList50", kana);
    EXPECT_EQ(order(pdfText(plain), names), names);
    EXPECT_EQ(order(pdfText(kana), names), QStringList({"アイス", "あめ", "カメラ", "かもめ", "ｶﾞﾗｽ", "サイズ", "さくら"}));
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
    EXPECT_TRUE(right.contains("Module1.bas（続き）"));
    EXPECT_TRUE(right.contains("◆ Main（続き）"));
    // Every line exactly once, the left column's last line just before the
    // right's first: the right column holds the rest.
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
    EXPECT_EQ(order(plain, {"カ.bas", "さ.bas"}), QStringList({"さ.bas", "カ.bas"}));
    EXPECT_EQ(order(sorted, {"さ.bas", "カ.bas"}), QStringList({"カ.bas", "さ.bas"}));
    EXPECT_TRUE(pdfInfo(one).contains("595 x 842"));
}

}  // namespace
}  // namespace tabulon::reports::test
