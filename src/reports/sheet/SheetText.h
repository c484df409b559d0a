#pragma once
// The texts of a sheet print (cells, headings, headers and footers, labels)
// set glyph by glyph from the faces' character maps, as the other reports
// are. The shaper's substitutions in these faces give glyphs (digits beside
// letters, among others) that a PDF's text layer cannot name, and the
// system's faces name shared kanji glyphs by their radical look-alikes: a
// printed sheet could not be searched for what it shows.
#include "reports/PageStyle.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class QPainter;

namespace tabulon::reports::sheet {

// A font of the sheet print with its glyph map; sizes in the painter's units.
// A character the font lacks (kana in a Western face) is drawn from the
// report face in the same size and weight.
class SheetFont {
public:
    explicit SheetFont(const QFont& font) : font_(font), spec_(font) {}
    const QFont& font() const { return font_; }
    const FontSpec& spec() const { return spec_; }
    struct Glyph {
        FontSpec::Glyph glyph;
        const SheetFont* font;
    };
    Glyph glyph(char32_t ucs) const;
    double width(QStringView text) const;
    double ascent() const { return spec_.ascent; }
    double descent() const { return spec_.lineHeight - spec_.ascent; }
    double lineHeight() const { return spec_.lineHeight; }

private:
    QFont font_;
    FontSpec spec_;
    mutable std::unique_ptr<SheetFont> fallback_;
};

// The family the report faces print in: the prepared one when it is installed.
QString reportFamily(bool mono);

// One run of a text: from its offset on, in a font and colour (an invalid
// colour keeps the painter's pen).
struct TextStyle {
    const SheetFont* font = nullptr;
    QColor color;
};
using StyledRuns = std::vector<std::pair<qsizetype, TextStyle>>;  // by offset, the first at 0

// A text laid out in lines: its line breaks kept, and, given a width,
// wrapped (Latin words whole when they can be, Japanese anywhere).
class TextBlock {
public:
    TextBlock(const QString& text, const StyledRuns& runs, double wrapWidth = 0);
    TextBlock(const QString& text, const SheetFont& font, double wrapWidth = 0)
        : TextBlock(text, StyledRuns{{0, TextStyle{&font, {}}}}, wrapWidth) {}

    double width() const { return width_; }
    double height() const;
    // Drawn in box by the alignment flags (Qt::AlignLeft ... Qt::AlignBottom).
    void draw(QPainter& p, const QRectF& box, int flags) const;

private:
    struct Item {
        quint32 glyph;
        double advance;
        const SheetFont* font;
        int style;
    };
    struct Line {
        size_t begin = 0, end = 0;  // items
        double width = 0, ascent = 0, descent = 0;
    };
    std::vector<TextStyle> styles_;
    std::vector<Item> items_;
    std::vector<Line> lines_;
    double width_ = 0;
};

// One line at a baseline, in the painter's pen.
void drawTextLine(QPainter& p, const SheetFont& font, QPointF baseline, QStringView text);
// A text in a box, aligned and (with Qt::TextWordWrap) wrapped, in the pen.
void drawText(QPainter& p, const SheetFont& font, const QRectF& box, int flags, const QString& text);

}  // namespace tabulon::reports::sheet
