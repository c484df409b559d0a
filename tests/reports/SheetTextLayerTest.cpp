// The text layer of printed sheets: every cell text and page header
// printed is found in the PDF as the workbook holds it. Kanji whose glyphs
// the font shares with radical look-alikes, digits beside letters (which a
// shaper draws with glyphs a PDF cannot name), Western and Japanese fonts.
#include "ReportTestSupport.h"
#include "SheetTestSupport.h"
#include "reports/PdfOutput.h"

#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::reports::test;

namespace {

// HEADER record: the page header's code, a Latin-1 string.
QByteArray header(const QByteArray& code) {
    return record(0x0014, words({int(code.size())}) + QByteArray(1, '\0') + code);
}

// The sheet written to a workbook named 12561-2.xls, printed with "&F" as
// its header; the text of the PDF.
QString printedText(const xlsw::XlsWriter& w, const QString& sheet) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("12561-2.xls"));
    EXPECT_TRUE(w.save(path));
    const host::Workbook book = host::Workbook::load(path);
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    reports::writePdf({sheetImage(book, sheet)}, pdf);
    return pdfText(pdf);
}

struct Case {
    const char* what;
    const char* font;  // the workbook's standard font
    std::vector<const char*> texts;
};

class SheetTextLayer : public ::testing::TestWithParam<Case> {};

TEST_P(SheetTextLayer, EveryPrintedTextIsFoundAsTheWorkbookHoldsIt) {
    const Case& c = GetParam();
    xlsw::XlsWriter w;
    // FONT records 0-3 and 5 in the font named (the standard font is font 0), its name in UTF-16.
    const QString name = QString::fromUtf8(c.font);
    const QByteArray utf16(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
    const QByteArray font = record(0x0031, words({220, 0, 0x7FFF, 400, 0}) + QByteArray("\0\0\x80\0", 4) +
                                               char(name.size()) + QByteArray(1, '\1') + utf16);
    w.extraGlobals = font.repeated(5);
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("印刷"));
    int row = 0;
    for (const char* text : c.texts) s.text(row++, 0, QString::fromUtf8(text));
    s.number(row, 1, 12561);
    s.extraRecords = header("&F");
    const QString read = printedText(w, QStringLiteral("印刷"));
    for (const char* text : c.texts) EXPECT_TRUE(read.contains(QString::fromUtf8(text))) << c.what << ": " << text;
    EXPECT_TRUE(read.contains(QStringLiteral("12561"))) << c.what << ": a number";
    EXPECT_TRUE(read.contains(QStringLiteral("12561-2.xls"))) << c.what << ": the page header";
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, SheetTextLayer,
    ::testing::Values(
        Case{"Japanese", "ＭＳ Ｐゴシック",
             {"画面設計書", "金額", "・項目一覧", "A101", "第2期 12月", "日付: 2024/05/06", "ｶﾀｶﾅ半角"}},
        Case{"Japanese in Mincho", "ＭＳ 明朝", {"画面設計書", "金額", "・項目一覧", "A101", "日付"}},
        Case{"Western", "Arial", {"FENDER", "A101", "Total 2024", "Invoice #12 (net)", "Ünïcödé déjà"}},
        Case{"Western font, Japanese text", "Arial", {"画面 A101", "金額合計"}}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace
