#include "reports/PageStyle.h"

#include "reports/ReportFonts.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QThread>

#include <optional>

namespace tabulon::reports {

namespace {

const QString kSans = QStringLiteral("Noto Sans CJK JP");
const QString kMono = QStringLiteral("Noto Sans Mono CJK JP");
const QChar kEllipsis(0x2026);

bool isBreak(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }

// Visits the code points of a text with their offsets.
template <typename F>
void forEachCodePoint(QStringView text, F&& f) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ucs = text[i].unicode();
        const qsizetype start = i;
        if (QChar::isHighSurrogate(ucs) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ucs = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (ucs == U'\t') ucs = U' ';
        if (!f(ucs, start, i + 1)) return;
    }
}

// Greedy fill of one paragraph (no line breaks inside), each code point
// taking its advance. A line ends where the line-breaking rules allow: Latin
// words stay whole, and in Japanese text no line ends with an opening bracket
// or starts with a closing one, "・", "ー", a small kana or a full stop.
// Where a run has no such place within the width (a long identifier) it is
// cut at the width.
template <typename Advance>
void wrapParagraph(QStringView para, Advance&& advance, double width, QStringList& out) {
    std::optional<QTextBoundaryFinder> breaks;
    qsizetype lineStart = 0;
    while (lineStart < para.size()) {
        double used = 0;
        qsizetype end = para.size();
        forEachCodePoint(para.mid(lineStart), [&](char32_t ucs, qsizetype s, qsizetype) {
            const double a = advance(ucs);
            if (used + a > width && s > 0) {
                end = lineStart + s;
                return false;
            }
            used += a;
            return true;
        });
        // Spaces at the end of a line hang beyond the width; they are not printed.
        while (end < para.size() && para[end] == QLatin1Char(' ')) ++end;
        if (end < para.size()) {
            if (!breaks) breaks.emplace(QTextBoundaryFinder::Line, para.data(), int(para.size()));
            breaks->setPosition(int(end));
            const qsizetype allowed = breaks->isAtBoundary() ? end : breaks->toPreviousBoundary();
            if (allowed > lineStart) end = allowed;
        }
        QString line = para.mid(lineStart, end - lineStart).toString();
        while (line.endsWith(QLatin1Char(' '))) line.chop(1);
        out << line;
        lineStart = end;
    }
}

template <typename Advance>
QStringList wrapParagraphs(const QString& text, Advance&& advance, double width) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isBreak(text[i])) continue;
        const QStringView para = QStringView(text).mid(start, i - start);
        if (para.isEmpty())
            lines << QString();
        else
            wrapParagraph(para, advance, width, lines);
        if (i + 1 < text.size() && text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    while (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
    if (lines.isEmpty()) lines << QString();
    return lines;
}

}  // namespace

FontSpec::FontSpec(double pt, bool bold, bool mono, double leading) {
    const PreparedFace& prepared = preparedFace(mono);
    aliases_ = &prepared.aliases;
    QFont font(prepared.family.isEmpty() ? (mono ? kMono : kSans) : prepared.family);
    pixelSize = qMax(1, qRound(pt * 25.4 / 72.0 * kUnitsPerMm));
    font.setPixelSize(int(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font_ = font;
    owner_ = QThread::currentThreadId();
    raw_ = QRawFont::fromFont(font);
    // The font's own ascent and descent leave room for marks no report text
    // carries; lines are set on the ideographic em box (0.88 em above the
    // baseline, 0.12 below) with the leading split above and below.
    lineHeight = pixelSize * leading;
    ascent = pixelSize * (0.88 + (leading - 1.0) / 2);
}

FontSpec::FontSpec(const QFont& font) : font_(font), owner_(QThread::currentThreadId()), raw_(QRawFont::fromFont(font)) {
    for (const PreparedFace* face : {&preparedFace(false), &preparedFace(true), &preparedSerifFace()})
        if (face->family == font.family()) aliases_ = &face->aliases;
    pixelSize = font.pixelSize() > 0 ? font.pixelSize() : raw_.pixelSize();
    ascent = raw_.ascent();
    lineHeight = raw_.ascent() + raw_.descent();
}

const QRawFont& FontSpec::raw() const {
    if (!raw_.isValid() || QThread::currentThreadId() == owner_) return raw_;
    thread_local QHash<QString, QRawFont> own;
    const QString key = font_.key();
    auto it = own.find(key);
    if (it == own.end()) it = own.insert(key, QRawFont::fromFont(font_));
    return *it;
}

FontSpec::Glyph FontSpec::glyph(char32_t ucs) const {
    auto it = cache_.constFind(ucs);
    if (it != cache_.constEnd()) return *it;
    Glyph g;
    quint32 index = 0;
    int count = 1;
    QChar chars[2];
    int n = 1;
    if (QChar::requiresSurrogates(ucs)) {
        chars[0] = QChar(QChar::highSurrogate(ucs));
        chars[1] = QChar(QChar::lowSurrogate(ucs));
        n = 2;
    } else {
        chars[0] = QChar(char16_t(ucs));
    }
    const QRawFont& font = raw();
    if (font.glyphIndexesForChars(chars, n, &index, &count) && count == 1) {
        QPointF advance;
        font.advancesForGlyphIndexes(&index, &advance, 1, QRawFont::UseDesignMetrics);
        g = {index, advance.x()};
    }
    // A look-alike the prepared face leaves unmapped prints with the glyph
    // it shares with its stand-in.
    if (index == 0 && aliases_ && aliases_->contains(ucs)) g = glyph(aliases_->value(ucs));
    cache_.insert(ucs, g);
    return g;
}

double FontSpec::width(QStringView text) const {
    double w = 0;
    forEachCodePoint(text, [&](char32_t ucs, qsizetype, qsizetype) {
        w += glyph(ucs).advance;
        return true;
    });
    return w;
}

Paper Paper::a4(bool landscape) {
    Paper p;
    if (landscape) std::swap(p.width, p.height);
    return p;
}

QRectF Paper::body(bool frame) const {
    const double side = mm(12);
    if (!frame) return QRectF(0, 0, width, height);
    const double top = mm(24), bottom = mm(16);
    return QRectF(side, top, width - 2 * side, height - top - bottom);
}

QStringList wrapText(const QString& text, const FontSpec& f, double width) {
    return wrapParagraphs(text, [&f](char32_t ucs) { return f.glyph(ucs).advance; }, width);
}

QStringList wrapCharacters(const QString& text, int perLine) {
    return wrapParagraphs(text, [](char32_t) { return 1.0; }, qMax(1, perLine));
}

int wrappedLineCount(const QString& text, const FontSpec& f, double width) {
    if (text.isEmpty()) return 1;
    // No glyph is wider than one em: a short single line fits unmeasured.
    if (text.size() * f.pixelSize <= width) {
        bool single = true;
        for (QChar c : text) single = single && !isBreak(c);
        if (single) return 1;
    }
    return int(wrapText(text, f, width).size());
}

QString elideText(const QString& text, const FontSpec& f, double width) {
    qsizetype br = 0;
    while (br < text.size() && !isBreak(text[br])) ++br;
    const bool cut = br < text.size();
    const QStringView first = QStringView(text).left(br);
    if (!cut && (first.size() * f.pixelSize <= width || f.width(first) <= width))
        return first.toString();
    const double room = width - f.glyph(kEllipsis.unicode()).advance;
    double used = 0;
    qsizetype end = 0;
    forEachCodePoint(first, [&](char32_t ucs, qsizetype s, qsizetype e) {
        used += f.glyph(ucs).advance;
        if (used > room) {
            end = s;
            return false;
        }
        end = e;
        return true;
    });
    return first.left(end).toString() + kEllipsis;
}

void drawLine(QPainter& p, const FontSpec& f, const QString& text, double x, double top,
              double width, Align align) {
    if (text.isEmpty()) return;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    double pen = 0;
    forEachCodePoint(text, [&](char32_t ucs, qsizetype, qsizetype) {
        const FontSpec::Glyph g = f.glyph(ucs);
        glyphs << g.index;
        positions << QPointF(pen, 0);
        pen += g.advance;
        return true;
    });
    double left = x;
    if (align == Align::Right) left = x + width - pen;
    if (align == Align::Center) left = x + (width - pen) / 2;
    QGlyphRun run;
    run.setRawFont(f.raw());
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    p.drawGlyphRun(QPointF(left, top + f.ascent), run);
}

void scaleToUnits(QPainter& p, double deviceDpiX, double deviceDpiY) {
    p.scale(deviceDpiX / 25.4 / kUnitsPerMm, deviceDpiY / 25.4 / kUnitsPerMm);
}

}  // namespace tabulon::reports
