#include "reports/sheet/CellTexts.h"

#include "host/CellDisplay.h"
#include "host/Sheet.h"
#include "reports/sheet/NumberWidths.h"
#include "reports/sheet/RichCellText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace tabulon::reports::sheet {

namespace {

constexpr double T = kTwipsPerPoint;
constexpr double kPadding = 1.5 * T;  // the two pixels a cell keeps free at its sides

bool holdsValue(const SheetContext& ctx, int row, int col) {
    const model::CellData* c = model::findCell(ctx.sheet, row, col);
    return c && c->type != model::CellType::Empty;
}

// Fonts and their metrics, made once per page: making them is the dearest
// part of painting a cell.
class FontCache {
public:
    explicit FontCache(const QPaintDevice* device) : device_(device) {}
    const std::pair<QFont, QFontMetricsF>& get(const SheetContext& ctx, int font) {
        auto it = fonts_.find(font);
        if (it == fonts_.end()) {
            QFont f = sheetFont(ctx.font(font));
            it = fonts_.emplace(font, std::make_pair(f, QFontMetricsF(f, device_))).first;
        }
        return it->second;
    }
    NumberWidths& numbers(const SheetContext& ctx, int font) {
        auto it = numbers_.find(font);
        if (it == numbers_.end()) it = numbers_.emplace(font, NumberWidths(get(ctx, font).second)).first;
        return it->second;
    }

private:
    const QPaintDevice* device_;
    std::map<int, std::pair<QFont, QFontMetricsF>> fonts_;
    std::map<int, NumberWidths> numbers_;
};

// The widths of one cell's texts in its font. A cell's text is measured for
// its fit, its spill and its place: the last width is kept, as shaping the
// text is the dearest part of a cell.
class TextMeasure {
public:
    TextMeasure(const std::pair<QFont, QFontMetricsF>& font, NumberWidths* numbers)
        : font_(font.first), metrics_(font.second), numbers_(numbers) {}

    double operator()(const QString& s) {
        if (s.size() != measured_.size() || s != measured_) {
            measured_ = s;
            width_ = numbers_ ? numbers_->width(s) : -1;
            if (width_ < 0) width_ = metrics_.horizontalAdvance(s);
        }
        return width_;
    }
    // A smaller font in which `text` fits `room`.
    void shrinkTo(const QString& text, double room, const QPaintDevice* device) {
        font_.setPixelSize(std::max(1, int(font_.pixelSize() * room / (*this)(text))));
        metrics_ = QFontMetricsF(font_, device);
        measured_.clear();
        numbers_ = nullptr;  // the digit widths were the other font's
    }
    const QFont& font() const { return font_; }
    const QFontMetricsF& metrics() const { return metrics_; }

private:
    QFont font_;
    QFontMetricsF metrics_;
    NumberWidths* numbers_;
    QString measured_;
    double width_ = 0;
};

// What a cell shows and how: its display text, colour and alignment.
struct CellText {
    host::format::Display shown;
    QColor color;
    int hAlign = 1;    // 1 left, 2 centre, 3 right, 4 fill, 5 justify, 7 distributed
    int acrossTo = 0;  // the last column the text is centred across (its own, but for centre across selection)
    bool wrap = false;
};

// Centre across selection: the cell and the empty cells to its right that
// are formatted the same way make one box for the text.
int acrossSelectionEnd(const SheetContext& ctx, int row, int col) {
    int last = col;
    while (last < 255 && ctx.formatAt(row, last + 1).hAlign == 6 && !holdsValue(ctx, row, last + 1)) ++last;
    return last;
}

// The general alignment puts numbers (and texts a format aligns so) right,
// truth values and errors in the middle, texts left.
int alignmentOf(const model::CellFormat& xf, const model::CellData& cell, const host::format::Display& shown) {
    if (xf.hAlign == 6) return 2;
    if (xf.hAlign != 0) return xf.hAlign;
    if (cell.type == model::CellType::Boolean || cell.type == model::CellType::Error) return 2;
    return shown.rightAligned || cell.type == model::CellType::Number ? 3 : 1;
}

CellText cellTextOf(const SheetContext& ctx, const model::CellData& cell, const model::CellFormat& xf,
                    const model::Area* merge) {
    const host::Cell hc(&cell, cell.row, cell.col, nullptr, &model::cellText(ctx.book, ctx.sheet, cell),
                        &model::cellFormula(ctx.sheet, cell));
    CellText ct;
    ct.shown = host::cellDisplay(hc.value(), hc.isError(), xf.numberFormat, ctx.book.formats.date1904,
                                 ctx.layout.showZeros);
    ct.color = ct.shown.color ? modelColor(model::Color::of(*ct.shown.color), 0)
                              : modelColor(ctx.font(xf.font).color, 0x000000);
    ct.hAlign = alignmentOf(xf, cell, ct.shown);
    ct.acrossTo = xf.hAlign == 6 && !merge ? acrossSelectionEnd(ctx, cell.row, cell.col) : cell.col;
    ct.wrap = xf.wrap || ct.hAlign == 5 || ct.hAlign == 7;
    return ct;
}

// The text made to fit its room: a format's fill character repeated, a
// number that does not fit shortened or shown as "#", a shrinking cell's
// font made smaller, a filled cell's text repeated across it.
void fitText(CellText& ct, const model::CellFormat& xf, const model::CellData& cell, double room,
             TextMeasure& measure, const QPaintDevice* device) {
    QString& text = ct.shown.text;
    if (ct.shown.fillAt >= 0 && !ct.shown.fill.isNull()) {  // "*x": repeat x to fill the cell
        const double rest = room - measure(text);
        const double each = measure(QString(ct.shown.fill));
        if (rest > 0 && each > 0) text.insert(ct.shown.fillAt, QString(int(rest / each), ct.shown.fill));
    }
    if (cell.type == model::CellType::Number && !ct.wrap) {
        const bool general = xf.numberFormat.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0;
        text = fitNumber(cell.number, text, general, room, measure);
    }
    if (xf.shrink && !ct.wrap && measure(text) > room && room > 0) measure.shrinkTo(text, room, device);
    if (ct.hAlign == 4 && !text.isEmpty()) {  // fill: the text repeated across the cell
        const int times = std::max(1, int(room / std::max(1.0, measure(text))));
        text = text.repeated(times);
        ct.hAlign = 1;
    }
}

// A text in several fonts, laid out run by run; null for a plain text, and
// for a turned one (which is drawn in the cell's font).
std::unique_ptr<RichCellText> richTextOf(const SheetContext& ctx, const model::CellData& cell,
                                         const model::CellFormat& xf, const CellText& ct, const QFont& font,
                                         FontCache& fonts, const QPaintDevice* device) {
    const model::TextRuns* runs = model::cellRuns(ctx.book, ctx.sheet, cell);
    if (!runs || xf.rotation != 0) return nullptr;
    const auto styleOf = [&](int run) {
        return RunStyle{fonts.get(ctx, run).first, ct.shown.color ? ct.color : modelColor(ctx.font(run).color, 0x000000)};
    };
    return RichCellText::make(ct.shown.text, model::cellText(ctx.book, ctx.sheet, cell), *runs, {font, ct.color},
                              styleOf, device);
}

// Where a cell's text goes: its own box, a merged area, or, for a text that
// does not wrap, the empty neighbours it spills into.
QRectF textBox(const SheetContext& ctx, const PageGrid& g, int row, int col, const model::Area* merge,
               const CellText& ct, double textWidth, bool spills) {
    if (merge) return g.area(ctx.plan, *merge);
    int lo = col, hi = ct.acrossTo;
    QRectF box = g.area(ctx.plan, {row, row, lo, hi});
    if (!spills || textWidth + 2 * kPadding <= box.width()) return box;
    const bool right = ct.hAlign == 3, centre = ct.hAlign == 2;
    auto need = [&] { return textWidth + 2 * kPadding - (g.colX(ctx.plan, hi + 1) - g.colX(ctx.plan, lo)); };
    while (need() > 0) {
        const bool canRight = !right && hi + 1 <= g.cols.last && !holdsValue(ctx, row, hi + 1);
        const bool canLeft = (right || centre) && lo - 1 >= g.cols.first && !holdsValue(ctx, row, lo - 1);
        if (canRight) ++hi;
        if (canLeft) --lo;
        if (!canRight && !canLeft) break;
    }
    return g.area(ctx.plan, {row, row, lo, hi});
}

// The box less the padding and, at the side the text starts from, the indent.
QRectF innerBox(const QRectF& box, const model::CellFormat& xf, const CellText& ct, const QFontMetricsF& fm) {
    const double indent = xf.indent ? xf.indent * 3 * fm.horizontalAdvance(QLatin1Char(' ')) : 0;
    return box.adjusted(kPadding + (ct.hAlign == 1 ? indent : 0), 0, -kPadding - (ct.hAlign == 3 ? indent : 0), 0);
}

int alignmentFlags(const model::CellFormat& xf, const CellText& ct) {
    int flags = ct.hAlign == 2 ? Qt::AlignHCenter : ct.hAlign == 3 ? Qt::AlignRight : Qt::AlignLeft;
    flags |= xf.vAlign == 0 ? Qt::AlignTop
             : xf.vAlign == 1 || xf.vAlign == 4 ? Qt::AlignVCenter
             : xf.vAlign == 3 ? Qt::AlignTop
                              : Qt::AlignBottom;
    if (ct.wrap) flags |= Qt::TextWordWrap | Qt::TextWrapAnywhere;
    return flags;
}

// Most cells hold one line that fits: drawn at its baseline, without a clip
// or a layout, which is what keeps long sheets quick to print.
void drawOneLine(QPainter& p, const QString& text, double width, const QRectF& box, const QRectF& inner,
                 const model::CellFormat& xf, int hAlign, const QFontMetricsF& fm) {
    const double x = hAlign == 2 ? inner.center().x() - width / 2 : hAlign == 3 ? inner.right() - width : inner.left();
    const double y = xf.vAlign == 0 || xf.vAlign == 3 ? box.top() + fm.ascent()
                     : xf.vAlign == 1 || xf.vAlign == 4 ? box.center().y() + (fm.ascent() - fm.descent()) / 2
                                                       : box.bottom() - fm.descent();
    p.drawText(QPointF(x, y), text);
}

// Any other text: clipped to its box (and the page), run by run, stacked,
// turned, or wrapped.
void drawInBox(QPainter& p, const PageGrid& g, const QString& text, const QRectF& box, const QRectF& inner,
               const model::CellFormat& xf, const CellText& ct, RichCellText* rich) {
    const int flags = alignmentFlags(xf, ct);
    p.save();
    p.setClipRect(box.intersected(g.cells()));
    if (rich) {
        const int vAlign = xf.vAlign == 0 || xf.vAlign == 3 ? 0 : xf.vAlign == 2 ? 2 : 1;
        rich->paint(p, inner, ct.hAlign == 2 || ct.hAlign == 3 ? ct.hAlign : 1, vAlign, ct.wrap);
    } else if (xf.rotation == 255) {  // stacked: one character under the other
        QString stacked;
        for (QChar ch : text) stacked += QString(ch) + QLatin1Char('\n');
        stacked.chop(1);
        p.drawText(inner, (flags & Qt::AlignVertical_Mask) | Qt::AlignHCenter, stacked);
    } else if (xf.rotation != 0) {
        const double angle = xf.rotation <= 90 ? -xf.rotation : xf.rotation - 90;
        p.translate(box.center());
        p.rotate(angle);
        const double w = std::hypot(box.width(), box.height());
        p.drawText(QRectF(-w / 2, -box.height(), w, 2 * box.height()), Qt::AlignCenter, text);
    } else {
        p.drawText(inner, flags, text);
    }
    p.restore();
}

void paintCellText(QPainter& p, const SheetContext& ctx, const PageGrid& g, const model::CellData& cell,
                   const model::Area* merge, FontCache& fonts) {
    const int row = cell.row, col = cell.col;
    const model::CellFormat& xf = ctx.formatAt(row, col);
    CellText ct = cellTextOf(ctx, cell, xf, merge);
    if (ct.shown.text.isEmpty()) return;
    TextMeasure measure(fonts.get(ctx, xf.font), &fonts.numbers(ctx, xf.font));
    const QRectF cellBox = merge ? g.area(ctx.plan, *merge) : g.area(ctx.plan, {row, row, col, ct.acrossTo});
    const double room = cellBox.width() - 2 * kPadding;
    fitText(ct, xf, cell, room, measure, p.device());
    const QString& text = ct.shown.text;
    const std::unique_ptr<RichCellText> rich = richTextOf(ctx, cell, xf, ct, measure.font(), fonts, p.device());
    const bool spills = !ct.wrap && !merge && cell.type == model::CellType::Text && xf.rotation == 0;
    const QRectF box = textBox(ctx, g, row, col, merge, ct, rich ? rich->width() : measure(text), spills);
    const QRectF inner = innerBox(box, xf, ct, measure.metrics());
    const double width = measure(text);
    if (measure.font() != p.font()) p.setFont(measure.font());
    if (p.pen().color() != ct.color) p.setPen(ct.color);
    const bool oneLine = !ct.wrap && xf.rotation == 0 && !text.contains(QLatin1Char('\n'));
    if (oneLine && !rich && width <= inner.width() + 0.5)
        drawOneLine(p, text, width, box, inner, xf, ct.hAlign, measure.metrics());
    else
        drawInBox(p, g, text, box, inner, xf, ct, rich.get());
}

}  // namespace

void paintTexts(QPainter& p, const SheetContext& ctx, const PageGrid& g, const std::vector<model::Area>& merges) {
    FontCache fonts(p.device());
    for (const model::Area& m : merges)
        if (const model::CellData* c = model::findCell(ctx.sheet, m.firstRow, m.firstCol))
            paintCellText(p, ctx, g, *c, &m, fonts);
    const auto& cells = ctx.sheet.cells;
    for (int r = g.rows.first; r <= g.rows.last; ++r) {
        if (ctx.plan.rowHeight(r) <= 0) continue;
        auto it = std::lower_bound(cells.begin(), cells.end(), std::make_pair(r, g.cols.first),
                                   [](const model::CellData& c, const std::pair<int, int>& k) {
                                       return c.row != k.first ? c.row < k.first : c.col < k.second;
                                   });
        for (; it != cells.end() && it->row == r && it->col <= g.cols.last; ++it) {
            if (it->type == model::CellType::Empty || ctx.plan.colWidthPt[it->col] <= 0) continue;
            if (mergeOf(merges, r, it->col)) continue;
            paintCellText(p, ctx, g, *it, nullptr, fonts);
        }
    }
}

}  // namespace tabulon::reports::sheet
