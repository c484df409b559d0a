#include "reports/sheet/SheetText.h"

#include "reports/ReportFonts.h"

#include <QGlyphRun>
#include <QPainter>
#include <algorithm>
#include <string_view>

namespace tabulon::reports::sheet {

namespace {

bool isWordChar(char32_t c) { return c < 0x80 && (QChar(char16_t(c)).isLetterOrNumber() || c == U'_'); }
bool isBreak(char32_t c) { return c == U'\n' || c == U'\r' || c == 0x2028; }

// Marks a Japanese line does not begin with: the character before them goes
// to the next line with them.
bool opensNoLine(char32_t c) {
    static const std::u32string_view marks = U"、。，．）」』】〕〉》’”・ー！？：；ぁぃぅぇぉっゃゅょァィゥェォッャュョ)]},.!?:;%";
    return marks.find(c) != std::u32string_view::npos;
}

void paintGlyphs(QPainter& p, const SheetFont& font, QPointF origin, const QList<quint32>& glyphs,
                 const QList<QPointF>& positions) {
    QGlyphRun run;
    run.setRawFont(font.spec().raw());
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline(font.font().underline());
    run.setStrikeOut(font.font().strikeOut());
    p.drawGlyphRun(origin, run);
}

// Visits the code points of a text, tabs as spaces.
template <class F>
void forEachCodePoint(QStringView text, F&& f) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ucs = text[i].unicode();
        if (QChar::isHighSurrogate(ucs) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ucs = QChar::surrogateToUcs4(text[i], text[i + 1]), ++i;
        f(ucs == U'\t' ? U' ' : ucs);
    }
}

}  // namespace

QString reportFamily(bool mono) {
    const QString& prepared = preparedFace(mono).family;
    if (!prepared.isEmpty()) return prepared;
    return mono ? QStringLiteral("Noto Sans Mono CJK JP") : QStringLiteral("Noto Sans CJK JP");
}

SheetFont::Glyph SheetFont::glyph(char32_t ucs) const {
    const FontSpec::Glyph g = spec_.glyph(ucs);
    if (g.index != 0 || ucs < 0x20) return {g, this};
    const QString report = reportFamily(false);
    if (font_.family() == report) return {g, this};
    if (!fallback_) {
        QFont f = font_;
        f.setFamily(report);
        fallback_ = std::make_unique<SheetFont>(f);
    }
    return fallback_->glyph(ucs);
}

double SheetFont::width(QStringView text) const {
    double w = 0;
    forEachCodePoint(text, [&](char32_t ucs) { w += glyph(ucs).glyph.advance; });
    return w;
}

TextBlock::TextBlock(const QString& text, const StyledRuns& runs, double wrapWidth) {
    for (const auto& run : runs) styles_.push_back(run.second);
    std::vector<char32_t> chars;  // beside items_, for finding where lines may break
    size_t lineStart = 0;
    double used = 0;
    const auto addLine = [&](size_t end, int style) {
        Line line{lineStart, end};
        size_t last = end;
        while (last > lineStart && chars[last - 1] == U' ') --last;  // trailing spaces take no room
        for (size_t i = lineStart; i < last; ++i) line.width += items_[i].advance;
        if (lineStart == end) {  // an empty line is as high as its run's font
            line.ascent = styles_[size_t(style)].font->ascent();
            line.descent = styles_[size_t(style)].font->descent();
        }
        for (size_t i = lineStart; i < end; ++i) {
            const SheetFont& f = *items_[i].font;
            line.ascent = std::max(line.ascent, f.ascent());
            line.descent = std::max(line.descent, f.descent());
        }
        width_ = std::max(width_, line.width);
        lines_.push_back(line);
        lineStart = end;
        used = 0;
        for (size_t i = lineStart; i < items_.size(); ++i) used += items_[i].advance;
    };
    int run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        while (size_t(run) + 1 < runs.size() && runs[size_t(run) + 1].first <= i) ++run;
        char32_t ucs = text[i].unicode();
        if (QChar::isHighSurrogate(ucs) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ucs = QChar::surrogateToUcs4(text[i], text[i + 1]), ++i;
        if (isBreak(ucs)) {
            if (ucs == U'\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
            addLine(items_.size(), run);
            continue;
        }
        if (ucs == U'\t') ucs = U' ';
        const auto [g, font] = styles_[size_t(run)].font->glyph(ucs);
        if (wrapWidth > 0 && used + g.advance > wrapWidth && items_.size() > lineStart && ucs != U' ') {
            size_t end = items_.size();
            // A Latin word moves to the next line whole when the line has a space before it.
            if (isWordChar(ucs) && isWordChar(chars.back())) {
                size_t space = end - 1;
                while (space > lineStart && chars[space] != U' ') --space;
                if (space > lineStart) end = space + 1;
            } else if (opensNoLine(ucs) && end - 1 > lineStart) {
                --end;
            }
            addLine(end, run);
        }
        items_.push_back({g.index, g.advance, font, run});
        chars.push_back(ucs);
        used += g.advance;
    }
    addLine(items_.size(), run);
}

double TextBlock::height() const {
    double h = 0;
    for (const Line& l : lines_) h += l.ascent + l.descent;
    return h;
}

void TextBlock::draw(QPainter& p, const QRectF& box, int flags) const {
    const double h = height();
    double y = flags & Qt::AlignBottom ? box.bottom() - h : flags & Qt::AlignVCenter ? box.center().y() - h / 2 : box.top();
    const QPen pen = p.pen();
    QList<quint32> glyphs;
    QList<QPointF> positions;
    for (const Line& l : lines_) {
        const double x = flags & Qt::AlignRight     ? box.right() - l.width
                         : flags & Qt::AlignHCenter ? box.center().x() - l.width / 2
                                                    : box.left();
        double advance = 0;
        for (size_t i = l.begin; i < l.end;) {
            const int style = items_[i].style;
            const SheetFont* font = items_[i].font;
            const double start = advance;
            glyphs.clear();
            positions.clear();
            for (; i < l.end && items_[i].style == style && items_[i].font == font; ++i) {
                glyphs << items_[i].glyph;
                positions << QPointF(advance - start, 0);
                advance += items_[i].advance;
            }
            const TextStyle& s = styles_[size_t(style)];
            p.setPen(s.color.isValid() ? QPen(s.color) : pen);
            paintGlyphs(p, *font, QPointF(x + start, y + l.ascent), glyphs, positions);
        }
        y += l.ascent + l.descent;
    }
    p.setPen(pen);
}

void drawTextLine(QPainter& p, const SheetFont& font, QPointF baseline, QStringView text) {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    double advance = 0;
    bool own = true;
    forEachCodePoint(text, [&](char32_t ucs) {
        const auto [g, from] = font.glyph(ucs);
        own = own && from == &font;
        glyphs << g.index;
        positions << QPointF(advance, 0);
        advance += g.advance;
    });
    if (glyphs.isEmpty()) return;
    if (own) {
        paintGlyphs(p, font, baseline, glyphs, positions);
        return;
    }
    // Characters from the report face: set run by run.
    TextBlock(text.toString(), font).draw(p, QRectF(baseline.x(), baseline.y() - font.ascent(), advance, 0), Qt::AlignLeft);
}

void drawText(QPainter& p, const SheetFont& font, const QRectF& box, int flags, const QString& text) {
    if (text.isEmpty()) return;
    TextBlock(text, font, flags & Qt::TextWordWrap ? std::max(1.0, box.width()) : 0).draw(p, box, flags);
}

}  // namespace tabulon::reports::sheet
