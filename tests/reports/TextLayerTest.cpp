// The text layer of a written PDF: searching or copying must give the
// characters that were printed. Every character the Japanese code page can
// carry is set in each report face and read back with pdftotext.
#include "ReportTestSupport.h"
#include "host/vba/CodePage.h"
#include "reports/PageStyle.h"

#include <QPainter>
#include <QPdfWriter>

namespace tabulon::reports::test {
namespace {

// Every double-byte character of code page 932 (JIS X 0208 with the NEC and
// IBM extensions), in code order.
QString codePageRepertoire() {
    QByteArray bytes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            bytes.append(char(lead)).append(char(trail));
        }
    }
    QString text = vba::decodeCodePage(bytes, 932);
    text.remove(QChar(0xFFFD));     // undefined codes
    text.remove(QChar(0x3000));     // the ideographic space reads back as a gap
    text.removeIf([](QChar c) { return c.unicode() >= 0xE000 && c.unicode() < 0xF900; });  // user-defined area
    return text;
}

QString withoutSpaces(const QString& text) {
    QString out;
    for (QChar c : text)
        if (!c.isSpace()) out += c;
    return out;
}

struct Face {
    const char* name;
    bool bold, mono;
};

class EveryFace : public ::testing::TestWithParam<Face> {};

TEST_P(EveryFace, EveryCodePageCharacterReadsBackAsPrinted) {
    const FontSpec f(10, GetParam().bold, GetParam().mono);
    // A character the face has no drawing for (≒ in this one) prints as a
    // box, which has no text to read back.
    QString text = codePageRepertoire();
    text.removeIf([&](QChar c) { return f.glyph(c.unicode()).index == 0; });
    ASSERT_GT(text.size(), 7000);
    ReportDb dir;
    const QString pdf = dir.file("repertoire.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setResolution(1200);
        QPainter p(&writer);
        scaleToUnits(p, writer.logicalDpiX(), writer.logicalDpiY());
        const Paper paper;
        double top = mm(10);
        for (qsizetype i = 0; i < text.size(); i += 40) {
            if (top + f.lineHeight > paper.height - mm(10)) {
                writer.newPage();
                top = mm(10);
            }
            drawLine(p, f, text.mid(i, 40), mm(10), top, mm(190), Align::Left);
            top += f.lineHeight;
        }
    }
    const QString read = withoutSpaces(pdfText(pdf));
    for (qsizetype i = 0; i < text.size(); ++i) {
        ASSERT_LT(i, read.size()) << "text ends early";
        ASSERT_EQ(read[i], text[i]) << "printed U+" << QString::number(text[i].unicode(), 16).toStdString()
                                    << ", read U+" << QString::number(read[i].unicode(), 16).toStdString();
    }
    EXPECT_EQ(read.size(), text.size());
}

INSTANTIATE_TEST_SUITE_P(TextLayer, EveryFace,
                         ::testing::Values(Face{"Sans", false, false}, Face{"SansBold", true, false},
                                           Face{"Mono", false, true}, Face{"MonoBold", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextLayer, RadicalLookAlikesPrintAsTheirIdeographs) {
    // A radical typed into a workbook still prints (with the ideograph's
    // drawing); the text layer gives the ideograph a search finds.
    const FontSpec f(10, false);
    EXPECT_NE(f.glyph(U'\u2F00').index, 0u);
    EXPECT_EQ(f.glyph(U'\u2F00').index, f.glyph(U'一').index);
    EXPECT_EQ(f.glyph(U'\u2F47').index, f.glyph(U'日').index);
}

}  // namespace
}  // namespace tabulon::reports::test
