// The text layer of a written PDF gives the characters that were printed:
// every character of the Japanese code page, in each report face, read back
// with pdftotext.
#include "ReportTestSupport.h"
#include "host/CodePage.h"
#include "reports/PageStyle.h"

#include <QPainter>
#include <QPdfWriter>

namespace tabulon::reports::test {
namespace {

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
