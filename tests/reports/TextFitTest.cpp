// Text on the page. Fitting texts into columns: wrapping keeps every
// character and each line within the width, cutting marks the cut, and values
// are shown in the column's format. The text layer of a written PDF gives the
// characters that were printed: every character of the Japanese code page, in
// each report face, read back with pdftotext.
#include "ReportTestSupport.h"
#include "SheetTestSupport.h"
#include "host/CodePage.h"
#include "reports/PageStyle.h"
#include "reports/PdfOutput.h"
#include "reports/ReportData.h"

#include <QPainter>
#include <QRegularExpression>
#include <QPdfWriter>

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

// The longest word of the procedure lists' kind column prints whole in both
// orders, though the syllabary order gives a column to the module name.
TEST(TextFit, ProcedureKindsArePrintedWhole) {
    ReportDb db;
    db.add("T_XlProcName", {{{"objectNo", 1}, {"ProcedureNo", 1}, {"objectName", "Module1.bas"},
                             {"ProcedureName", "GetTickCount"}, {"PrivatePublic", "Private"},
                             {"Object", "標準ﾓｼﾞｭｰﾙ"}, {"Type", "Declare Function"}}});
    for (const char* report : {"R_ModuleList", "R_ModuleList50"}) {
        auto doc = ReportDocument::load(*store::Database::open(db.path()), report);
        const QString pdf = db.file(QStringLiteral("%1.pdf").arg(report));
        writePdf({doc}, pdf);
        EXPECT_TRUE(pdfText(pdf).contains("Declare Function")) << report;
    }
}

// Latin words move to the next line whole; line breaks in the value are kept.
TEST(TextFit, LinesBreakBetweenLatinWordsAndAtLineBreaks) {
    const FontSpec f(8, false);
    const QString text = "Private Sub Worksheet_Change(ByVal Target As Range)";
    const QStringList lines = wrapText(text, f, f.width(u"Private Sub Worksheet_Ch"));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "Private Sub");
    EXPECT_TRUE(lines[1].startsWith("Worksheet_Change"));
    EXPECT_EQ(wrapText("一行目\r\n二行目\n\n四行目", f, mm(100)), QStringList({"一行目", "二行目", "", "四行目"}));
    EXPECT_EQ(wrappedLineCount("a\nb", f, mm(100)), 2);
}

// Japanese lines break where the Japanese rules allow: no line starts with a
// closing bracket, "・", "ー", a small kana or a full stop, none ends with an
// opening bracket; the width is kept and nothing is lost.
TEST(TextFit, JapaneseLinesBreakByTheJapaneseRules) {
    const FontSpec f(10, false);
    const QString notFirst = "）」』】・ーャュョッァィゥェォ。、", notLast = "（「『【";
    const QString texts[] = {"株式会社サンプル商事ホールディングス（東京本社）・情報システム統括本部",
                             "システム開発部・第二開発課（業務アプリケーション担当グループ）",
                             "受注データを「月末」に締めて、請求書を作成します。キャッシュフロー計算書・損益計算書。"};
    for (const QString& t : texts) {
        for (int chars = 5; chars <= 14; ++chars) {
            const double width = f.width(u"漢") * chars;
            const QStringList lines = wrapText(t, f, width);
            EXPECT_EQ(lines.join(QString()), t);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                EXPECT_LE(f.width(lines[i]), width + 0.01) << lines[i].toStdString();
                if (i > 0) {
                    EXPECT_FALSE(notFirst.contains(lines[i].front())) << chars << ": " << lines[i].toStdString();
                }
                if (i + 1 < lines.size()) {
                    EXPECT_FALSE(notLast.contains(lines[i].back())) << lines[i].toStdString();
                }
            }
        }
    }
    EXPECT_EQ(wrapCharacters("受注（東京）", 3), QStringList({"受注", "（東", "京）"}));
}

// A cover field uses the room its box has: a company name two lines long
// prints whole in a box made for one, and only a text longer than the box can
// hold at its smallest size is cut. The spine label writes top to bottom with
// its brackets turned: "（" drawn wider than tall.
TEST(TextFit, CoverAndLabelFieldsUseTheirRoom) {
    const auto document = [](bool vertical, const QString& text, double w, double h, double pt) {
        ReportDef def;
        def.kind = LayoutKind::Free;
        FieldDef field;
        field.field = "V";
        field.x = 20, field.y = 20, field.w = w, field.h = h, field.fontPt = pt, field.vertical = vertical;
        def.fields.push_back(field);
        return std::make_shared<ReportDocument>(def, ReportData({"V"}, {text}), QString());
    };
    ReportDb db;
    const QString company = "株式会社サンプル商事ホールディングス（東京本社）・情報システム統括本部";
    const struct { QString text; bool cut; } cases[] = {{company, false}, {company.repeated(6), true}};
    for (const auto& c : cases) {
        const QString pdf = db.file("cover.pdf");
        writePdf({document(false, c.text, 80, 10, 12)}, pdf);
        const QString printed = pdfText(pdf).remove(QRegularExpression("\\s"));
        EXPECT_EQ(printed.contains(QChar(0x2026)), c.cut) << printed.toStdString();
        if (!c.cut) {
            EXPECT_TRUE(printed.contains(company)) << printed.toStdString();
        }
    }
    // One bracket alone, large: its ink is wider than tall once turned.
    auto label = document(true, "（", 30, 30, 40);
    const QImage page = renderPage(*label, 0, 4);
    QRect ink;
    for (int y = 20 * 4; y < 50 * 4; ++y)
        for (int x = 20 * 4; x < 50 * 4; ++x)
            if (dark(page.pixelColor(x, y))) ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.width(), 2 * ink.height());
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

// The double-byte characters of code page 932 the face can draw (≒ is a
// box in these faces: nothing to read back), without the ideographic space.
QString repertoire(const FontSpec& f) {
    QByteArray bytes;
    for (int lead = 0x81; lead <= 0xFC; lead = lead == 0x9F ? 0xE0 : lead + 1)
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (trail != 0x7F) bytes.append(char(lead)).append(char(trail));
    QString text = host::decodeCodePage(bytes, 932);
    text.removeIf([&](QChar c) { return c == QChar(0x3000) || c.isSurrogate() || f.glyph(c.unicode()).index == 0; });
    return text;
}

class EveryFace : public ::testing::TestWithParam<std::pair<bool, bool>> {};

TEST_P(EveryFace, EveryCodePageCharacterReadsBackAsPrinted) {
    const FontSpec f(10, GetParam().first, GetParam().second);
    const QString text = repertoire(f);
    ASSERT_GT(text.size(), 7000);
    ReportDb dir;
    const QString pdf = dir.file("repertoire.pdf");
    {
        QPdfWriter writer(pdf);
        QPainter p(&writer);
        scaleToUnits(p, writer.logicalDpiX(), writer.logicalDpiY());
        for (qsizetype i = 0, line = 0; i < text.size(); i += 40, ++line) {
            if (line == 50 && writer.newPage()) line = 0;
            drawLine(p, f, text.mid(i, 40), mm(10), mm(10) + line * f.lineHeight, mm(190), Align::Left);
        }
    }
    QString read = pdfText(pdf);
    read.removeIf([](QChar c) { return c.isSpace(); });
    for (qsizetype i = 0; i < text.size() && i < read.size(); ++i)
        ASSERT_EQ(read[i], text[i]) << "printed U+" << std::hex << int(text[i].unicode()) << ", read U+" << int(read[i].unicode());
    EXPECT_EQ(read.size(), text.size());
}

INSTANTIATE_TEST_SUITE_P(TextLayer, EveryFace,
                         ::testing::Values(std::pair{false, false}, std::pair{true, false},
                                           std::pair{false, true}, std::pair{true, true}));

TEST(TextLayer, RadicalLookAlikesPrintWithTheirIdeographsDrawing) {
    const FontSpec f(10, false);
    EXPECT_NE(f.glyph(U'\u2F00').index, 0u);
    EXPECT_EQ(f.glyph(U'\u2F00').index, f.glyph(U'一').index);
    EXPECT_EQ(f.glyph(U'\u2F47').index, f.glyph(U'日').index);
}

}  // namespace
}  // namespace tabulon::reports::test
