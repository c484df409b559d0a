// Fitting texts into columns: wrapping keeps every character and each line
// within the width, cutting marks the cut, and values are shown in the
// column's format.
#include "reports/PageStyle.h"
#include "reports/ReportData.h"

#include <gtest/gtest.h>

namespace tabulon::reports::test {
namespace {

TEST(TextFit, WrappedLinesStayInsideTheWidthAndLoseNothing) {
    const FontSpec f(8, false);
    const double width = mm(30);
    const QString texts[] = {
        "=IF(ISERROR(VLOOKUP(A1,単価表!$A$1:$D$500,4,FALSE)),0,VLOOKUP(A1,単価表!$A$1:$D$500,4,FALSE))",
        "受注データを月末に締めて請求書を作成し、担当者ごとに集計する処理の説明です。",
        "ｶﾀｶﾅのﾃｷｽﾄも半角で書かれることがあるのでﾃｽﾄしておきます。"};
    for (const QString& t : texts) {
        const QStringList lines = wrapText(t, f, width);
        EXPECT_GT(lines.size(), 1) << t.toStdString();
        EXPECT_EQ(wrappedLineCount(t, f, width), lines.size());
        for (const QString& l : lines) EXPECT_LE(f.width(l), width) << l.toStdString();
        EXPECT_EQ(lines.join(QString()), t);
    }
}

TEST(TextFit, LatinWordsMoveToTheNextLineWhole) {
    const FontSpec f(8, false);
    const QString text = "Private Sub Worksheet_Change(ByVal Target As Range)";
    const QStringList lines = wrapText(text, f, f.width(u"Private Sub Worksheet_Ch"));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "Private Sub");
    EXPECT_TRUE(lines[1].startsWith("Worksheet_Change"));
}

TEST(TextFit, LineBreaksInTheValueAreKept) {
    const FontSpec f(8, false);
    EXPECT_EQ(wrapText("一行目\r\n二行目\n\n四行目", f, mm(100)),
              QStringList({"一行目", "二行目", "", "四行目"}));
    EXPECT_EQ(wrappedLineCount("a\nb", f, mm(100)), 2);
}

TEST(TextFit, EllipsisOnlyWhenCut) {
    const FontSpec f(8, false);
    EXPECT_EQ(elideText("Sheet1", f, mm(30)), "Sheet1");
    const QString cut = elideText(QString("長い名前").repeated(20), f, mm(30));
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    EXPECT_LE(f.width(cut), mm(30));
    EXPECT_EQ(elideText("一行目\n二行目", f, mm(30)), QString("一行目") + QChar(0x2026));
}

TEST(ValueFormat, ColumnFormats) {
    struct Case {
        const char *raw, *format, *shown;
    } cases[] = {
        {"12.25", "kb", "12.3"},          {"123456.7", "kb", "123,456.7"},
        {"1", "bool", "○"},               {"0", "bool", ""},
        {"true", "bool", "○"},            {"2024-05-06T07:08:09", "datetime", "2024/05/06 07:08"},
        {"2024-05-06", "date", "2024/05/06"}, {"not a date", "date", "not a date"},
        {"3.0", "int", "3"},              {"", "kb", ""},
        {"text", "", "text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatValue(c.raw, c.format), QString::fromUtf8(c.shown)) << c.raw << " " << c.format;
}

}  // namespace
}  // namespace tabulon::reports::test
