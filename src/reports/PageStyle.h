#pragma once
// Paper, fonts and text fitting shared by every layout. Layout happens in one
// device-independent unit (hundredths of a millimetre) with pixel-sized
// fonts, so page breaks are the same on screen, in a PDF and on paper; a
// device only scales the painter.
//
// Text is set glyph by glyph from the font's character map, not through the
// shaper: report texts need no ligatures, the shaper's Latin-run substitutions
// of this CJK font produce digit glyphs that a PDF's text layer cannot map
// back to characters, and skipping it makes measuring and drawing cheap.
#include "reports/ReportDefinition.h"

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace tabulon::reports {

constexpr double kUnitsPerMm = 100.0;
inline double mm(double v) { return v * kUnitsPerMm; }

// A font in layout units with its glyph map, made once per report.
class FontSpec {
public:
    FontSpec() = default;
    FontSpec(double pt, bool bold, bool mono = false, double leading = 1.35);
    // A font as the caller made it, sized in the caller's units, with the
    // font's own ascent and descent (the sheet print sets cell texts so).
    // A prepared face draws its look-alikes as the report faces do.
    explicit FontSpec(const QFont& font);
    double lineHeight = 0;  // baseline-to-baseline distance
    double ascent = 0;
    double pixelSize = 0;

    struct Glyph {
        quint32 index = 0;
        double advance = 0;
    };
    Glyph glyph(char32_t ucs) const;
    double width(QStringView text) const;
    // The font for drawing and measuring on the calling thread. A font engine
    // serves the thread that made it: another thread painting this report
    // (the PDFs are painted several at a time) gets a raw font of its own.
    const QRawFont& raw() const;

private:
    QFont font_;
    Qt::HANDLE owner_ = nullptr;
    QRawFont raw_;
    const QHash<char32_t, char32_t>* aliases_ = nullptr;
    mutable QHash<char32_t, Glyph> cache_;
};

struct Paper {
    double width = mm(210);
    double height = mm(297);
    static Paper a4(bool landscape);
    QRectF body(bool frame) const;  // area between header and footer
};

// Lines of a text wrapped to a width: explicit line breaks are kept, Latin
// words move to the next line whole when they can, Japanese text breaks
// between characters by the Japanese rules (no line starts with a closing
// bracket, "・", "ー", a small kana or a full stop; none ends with an opening
// bracket).
QStringList wrapText(const QString& text, const FontSpec& f, double width);
// The same rules for text set one character per cell (vertical writing):
// lines of at most perLine code points.
QStringList wrapCharacters(const QString& text, int perLine);
// How many lines wrapText would give, without building them when one fits.
int wrappedLineCount(const QString& text, const FontSpec& f, double width);
// The first line of a text, cut with "…" when wider than width.
QString elideText(const QString& text, const FontSpec& f, double width);

// Draws one line of text in a cell, vertically from top, horizontally aligned.
void drawLine(QPainter& p, const FontSpec& f, const QString& text, double x, double top,
              double width, Align align);

// Scales a painter on a device so that one unit is 1/100 mm.
void scaleToUnits(QPainter& p, double deviceDpiX, double deviceDpiY);

}  // namespace tabulon::reports
