#include "reports/sheet/SheetPainter.h"

#include "host/CellDisplay.h"
#include "host/Sheet.h"
#include "host/model/Notation.h"
#include "reports/sheet/NumberWidths.h"
#include "reports/sheet/PrintedPages.h"
#include "reports/sheet/RichCellText.h"
#include "reports/sheet/SheetPictures.h"
#include "reports/sheet/SheetShapes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <map>

namespace tabulon::reports::sheet {

namespace {

constexpr double T = kTwipsPerPoint;
constexpr double kPadding = 1.5 * T;  // the two pixels a cell keeps free at its sides

struct PageGrid {
    Span rows, cols;
    std::vector<double> x, y;  // boundaries in twips, size n + 1
    double left = 0, top = 0;  // where the cells begin (after the headings)

    double colX(const SheetPlan& plan, int c) const {
        if (c >= cols.first && c <= cols.last + 1) return x[size_t(c - cols.first)];
        double v = x[0];
        if (c < cols.first)
            for (int i = c; i < cols.first; ++i) v -= plan.colWidthPt[size_t(i)] * T;
        else
            for (int i = cols.first; i < std::min(c, 256); ++i) v += plan.colWidthPt[size_t(i)] * T;
        return v;
    }
    double rowY(const SheetPlan& plan, int r) const {
        if (r >= rows.first && r <= rows.last + 1) return y[size_t(r - rows.first)];
        double v = y[0];
        if (r < rows.first)
            for (int i = std::max(r, plan.range.firstRow); i < rows.first; ++i) v -= plan.rowHeight(i) * T;
        else
            for (int i = rows.first; i < std::min(r, plan.range.lastRow + 1); ++i) v += plan.rowHeight(i) * T;
        return v;
    }
    QRectF area(const SheetPlan& plan, const model::Area& a) const {
        return QRectF(QPointF(colX(plan, a.firstCol), rowY(plan, a.firstRow)),
                      QPointF(colX(plan, a.lastCol + 1), rowY(plan, a.lastRow + 1)));
    }
};

PageGrid makeGrid(const SheetContext& ctx, Span rows, Span cols) {
    PageGrid g{rows, cols, {}, {}, ctx.plan.headingWidthPt * T, ctx.plan.headingHeightPt * T};
    double v = g.left;
    for (int c = cols.first; c <= cols.last + 1; ++c) {
        g.x.push_back(v);
        if (c <= cols.last) v += ctx.plan.colWidthPt[size_t(c)] * T;
    }
    v = g.top;
    for (int r = rows.first; r <= rows.last + 1; ++r) {
        g.y.push_back(v);
        if (r <= rows.last) v += ctx.plan.rowHeight(r) * T;
    }
    return g;
}

QColor rgbColor(unsigned rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }


using model::findCell;

bool holdsValue(const SheetContext& ctx, int row, int col) {
    const model::CellData* c = findCell(ctx.sheet, row, col);
    return c && c->type != model::CellType::Empty;
}

Qt::PenStyle penStyle(int style) {
    switch (style) {
    case 3: case 8: return Qt::DashLine;
    case 4: case 7: return Qt::DotLine;
    case 9: case 10: case 13: return Qt::DashDotLine;
    case 11: case 12: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

double penWidth(int style) {
    switch (style) {
    case 2: case 8: case 10: case 12: case 13: return 1.0 * T;
    case 5: return 1.5 * T;
    case 7: return 0.25 * T;
    default: return 0.5 * T;
    }
}

void drawBorderLine(QPainter& p, const model::BorderLine& b, QPointF a, QPointF z) {
    if (b.style == 0) return;
    QPen pen(modelColor(b.color, 0x000000), penWidth(b.style), penStyle(b.style), Qt::FlatCap);
    if (b.style == 6) {  // double: two thin lines
        pen.setWidthF(0.4 * T);
        p.setPen(pen);
        const bool across = a.y() == z.y();
        const QPointF off = across ? QPointF(0, 0.75 * T) : QPointF(0.75 * T, 0);
        p.drawLine(a - off, z - off);
        p.drawLine(a + off, z + off);
        return;
    }
    p.setPen(pen);
    p.drawLine(a, z);
}

Qt::BrushStyle fillPattern(int fls) {
    switch (fls) {
    case 2: return Qt::Dense4Pattern;
    case 3: return Qt::Dense2Pattern;
    case 4: return Qt::Dense6Pattern;
    case 5: case 11: return Qt::HorPattern;
    case 6: case 12: return Qt::VerPattern;
    case 7: case 13: return Qt::BDiagPattern;
    case 8: case 14: return Qt::FDiagPattern;
    case 9: case 15: return Qt::CrossPattern;
    case 10: case 16: return Qt::DiagCrossPattern;
    default: return Qt::Dense5Pattern;
    }
}

void paintFill(QPainter& p, const model::CellFormat& xf, const QRectF& r) {
    if (xf.pattern == 0) return;
    if (xf.pattern == 1) {
        p.fillRect(r, modelColor(xf.patternColor, 0x000000));
        return;
    }
    p.fillRect(r, modelColor(xf.backColor, 0xFFFFFF));
    p.fillRect(r, QBrush(modelColor(xf.patternColor, 0x000000), fillPattern(xf.pattern)));
}

// The merged areas that reach into the page.
std::vector<model::Area> pageMerges(const SheetContext& ctx, Span rows, Span cols) {
    std::vector<model::Area> out;
    for (const model::Area& m : ctx.layout.merges)
        if (m.lastRow >= rows.first && m.firstRow <= rows.last && m.lastCol >= cols.first && m.firstCol <= cols.last)
            out.push_back(m);
    return out;
}

const model::Area* mergeOf(const std::vector<model::Area>& merges, int row, int col) {
    for (const model::Area& m : merges)
        if (row >= m.firstRow && row <= m.lastRow && col >= m.firstCol && col <= m.lastCol) return &m;
    return nullptr;
}

void paintGridlines(QPainter& p, const PageGrid& g) {
    p.setPen(QPen(QColor(0, 0, 0), 0.25 * T));
    for (double x : g.x) p.drawLine(QPointF(x, g.y.front()), QPointF(x, g.y.back()));
    for (double y : g.y) p.drawLine(QPointF(g.x.front(), y), QPointF(g.x.back(), y));
}

// Fills first, then, over them, merged areas are cleared of the gridlines
// inside them.
void paintFills(QPainter& p, const SheetContext& ctx, const PageGrid& g, const std::vector<model::Area>& merges) {
    const auto& xfs = ctx.layout.cellFormats;
    for (const model::Area& m : merges) {
        const model::CellFormat& xf = ctx.formatAt(m.firstRow, m.firstCol);
        const QRectF r = g.area(ctx.plan, m).adjusted(0.2 * T, 0.2 * T, -0.2 * T, -0.2 * T);
        if (xf.pattern == 0 && ctx.layout.page.gridlines) p.fillRect(r, Qt::white);
        paintFill(p, xf, r);
    }
    auto it = std::lower_bound(xfs.begin(), xfs.end(), g.rows.first,
                               [](const model::CellFormatAt& c, int row) { return c.row < row; });
    for (; it != xfs.end() && it->row <= g.rows.last; ++it) {
        if (it->col < g.cols.first || it->col > g.cols.last || mergeOf(merges, it->row, it->col)) continue;
        paintFill(p, ctx.format(it->format), g.area(ctx.plan, {it->row, it->row, it->col, it->col}));
    }
}

void paintBorders(QPainter& p, const SheetContext& ctx, const PageGrid& g) {
    const auto& xfs = ctx.layout.cellFormats;
    auto it = std::lower_bound(xfs.begin(), xfs.end(), g.rows.first,
                               [](const model::CellFormatAt& c, int row) { return c.row < row; });
    for (; it != xfs.end() && it->row <= g.rows.last; ++it) {
        if (it->col < g.cols.first || it->col > g.cols.last) continue;
        const model::CellFormat& xf = ctx.format(it->format);
        const QRectF r = g.area(ctx.plan, {it->row, it->row, it->col, it->col});
        drawBorderLine(p, xf.top, r.topLeft(), r.topRight());
        drawBorderLine(p, xf.bottom, r.bottomLeft(), r.bottomRight());
        drawBorderLine(p, xf.left, r.topLeft(), r.bottomLeft());
        drawBorderLine(p, xf.right, r.topRight(), r.bottomRight());
        if (xf.diagonalDown) drawBorderLine(p, xf.diagonal, r.topLeft(), r.bottomRight());
        if (xf.diagonalUp) drawBorderLine(p, xf.diagonal, r.bottomLeft(), r.topRight());
    }
}

}  // namespace

QColor modelColor(model::Color color, unsigned automatic) { return rgbColor(color.rgbOr(automatic)); }

QString substituteFamily(const QString& name) {
    const QString n = name.normalized(QString::NormalizationForm_KC).toLower();
    if (n.contains(QStringLiteral("明朝")) || n.contains(QStringLiteral("mincho")) || n.contains(QStringLiteral("serif")))
        return QStringLiteral("Noto Serif CJK JP");
    if (n.startsWith(QStringLiteral("times"))) return QStringLiteral("Liberation Serif");
    if (n.startsWith(QStringLiteral("courier"))) return QStringLiteral("Liberation Mono");
    if (n == QStringLiteral("arial")) return QStringLiteral("Liberation Sans");
    if (n == QStringLiteral("ms gothic") || n == QStringLiteral("ms ゴシック") || n.contains(QStringLiteral("mono")))
        return QStringLiteral("Noto Sans Mono CJK JP");
    return QStringLiteral("Noto Sans CJK JP");  // ＭＳ Ｐゴシック, メイリオ and the rest
}

QFont sheetFont(const model::Font& def) {
    QFont f(substituteFamily(def.name));
    f.setPixelSize(std::max(1, qRound(def.points * T)));
    f.setBold(def.bold);
    f.setItalic(def.italic);
    f.setUnderline(def.underline != 0);
    f.setStrikeOut(def.strike);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QSizeF pageSizeTwips(const SheetContext& ctx, Span rows, Span cols) {
    double w = ctx.plan.headingWidthPt, h = ctx.plan.headingHeightPt;
    for (int c = cols.first; c <= cols.last; ++c) w += ctx.plan.colWidthPt[size_t(c)];
    for (int r = rows.first; r <= rows.last; ++r) h += ctx.plan.rowHeight(r);
    return QSizeF(w * T, h * T);
}

namespace {

struct CellText {
    QString text;
    QColor color;
    int hAlign = 1;  // 1 left, 2 centre, 3 right, 4 fill, 5 justify, 7 distributed
    int acrossTo = 0;  // the last column the text is centred across (its own, but for centre across selection)
};

// Centre across selection: the cell and the empty cells to its right that
// are formatted the same way make one box for the text.
int acrossSelectionEnd(const SheetContext& ctx, int row, int col) {
    int last = col;
    while (last < 255 && ctx.formatAt(row, last + 1).hAlign == 6 &&
           !holdsValue(ctx, row, last + 1))
        ++last;
    return last;
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

// Fonts and their metrics, made once per page: making them is the dearest
// part of painting a cell.
class FontCache {
public:
    explicit FontCache(const QPaintDevice* device) : device_(device) {}
    const std::pair<QFont, QFontMetricsF>& get(const SheetContext& ctx, int ifnt) {
        auto it = fonts_.find(ifnt);
        if (it == fonts_.end()) {
            QFont f = sheetFont(ctx.font(ifnt));
            it = fonts_.emplace(ifnt, std::make_pair(f, QFontMetricsF(f, device_))).first;
        }
        return it->second;
    }
    NumberWidths& numbers(const SheetContext& ctx, int ifnt) {
        auto it = numbers_.find(ifnt);
        if (it == numbers_.end()) it = numbers_.emplace(ifnt, NumberWidths(get(ctx, ifnt).second)).first;
        return it->second;
    }

private:
    const QPaintDevice* device_;
    std::map<int, std::pair<QFont, QFontMetricsF>> fonts_;
    std::map<int, NumberWidths> numbers_;
};

void paintCellText(QPainter& p, const SheetContext& ctx, const PageGrid& g, const model::CellData& cell,
                   const model::Area* merge, FontCache& fonts) {
    const int row = cell.row, col = cell.col;
    const host::Cell hc(&cell, row, col, nullptr, &model::cellText(ctx.book, ctx.sheet, cell),
                        &model::cellFormula(ctx.sheet, cell));
    const model::CellFormat& xf = ctx.formatAt(row, col);
    host::format::Display d = host::cellDisplay(hc.value(), hc.isError(), xf.numberFormat, ctx.book.formats.date1904,
                                                ctx.layout.showZeros);
    if (d.text.isEmpty()) return;
    const model::Font& fontDef = ctx.font(xf.font);
    const auto& cached = fonts.get(ctx, xf.font);
    QFont font = cached.first;
    CellText ct;
    ct.color = d.color ? rgbColor(*d.color) : modelColor(fontDef.color, 0x000000);
    ct.hAlign = xf.hAlign;
    ct.acrossTo = xf.hAlign == 6 && !merge ? acrossSelectionEnd(ctx, row, col) : col;
    if (ct.hAlign == 0 || ct.hAlign == 6) {
        if (ct.hAlign == 6) ct.hAlign = 2;
        else if (cell.type == model::CellType::Boolean || cell.type == model::CellType::Error) ct.hAlign = 2;
        else ct.hAlign = d.rightAligned || cell.type == model::CellType::Number ? 3 : 1;
    }
    QFontMetricsF fm = cached.second;
    // A cell's text is measured for its fit, its spill and its place: the
    // last width is kept, as shaping the text is the dearest part of a cell.
    QString measured;
    double measuredWidth = 0;
    NumberWidths* numbers = &fonts.numbers(ctx, xf.font);
    auto measure = [&](const QString& s) {
        if (s.size() != measured.size() || s != measured) {
            measured = s;
            measuredWidth = numbers ? numbers->width(s) : -1;
            if (measuredWidth < 0) measuredWidth = fm.horizontalAdvance(s);
        }
        return measuredWidth;
    };
    QRectF cellBox = merge ? g.area(ctx.plan, *merge) : g.area(ctx.plan, {row, row, col, ct.acrossTo});
    const double room = cellBox.width() - 2 * kPadding;
    if (d.fillAt >= 0 && !d.fill.isNull()) {  // "*x": repeat x to fill the cell
        const double rest = room - measure(d.text);
        const double each = measure(QString(d.fill));
        if (rest > 0 && each > 0) d.text.insert(d.fillAt, QString(int(rest / each), d.fill));
    }
    const bool wrap = xf.wrap || ct.hAlign == 5 || ct.hAlign == 7;
    if (cell.type == model::CellType::Number && !wrap) {
        const bool general = xf.numberFormat.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0;
        d.text = fitNumber(cell.number, d.text, general, room, measure);
    }
    if (xf.shrink && !wrap && measure(d.text) > room && room > 0) {
        font.setPixelSize(std::max(1, int(font.pixelSize() * room / measure(d.text))));
        fm = QFontMetricsF(font, p.device());
        measured.clear();
        numbers = nullptr;
    }
    if (ct.hAlign == 4 && !d.text.isEmpty()) {  // fill: the text repeated across the cell
        const int times = std::max(1, int(room / std::max(1.0, measure(d.text))));
        d.text = d.text.repeated(times);
        ct.hAlign = 1;
    }
    std::unique_ptr<RichCellText> rich;
    if (const model::TextRuns* runs = model::cellRuns(ctx.book, ctx.sheet, cell); runs && xf.rotation == 0) {
        const auto styleOf = [&](int ifnt) {
            const model::Font& def = ctx.font(ifnt);
            return RunStyle{fonts.get(ctx, ifnt).first, d.color ? ct.color : modelColor(def.color, 0x000000)};
        };
        rich = RichCellText::make(d.text, model::cellText(ctx.book, ctx.sheet, cell), *runs, {font, ct.color}, styleOf,
                                  p.device());
    }
    const bool spills = !wrap && !merge && cell.type == model::CellType::Text && xf.rotation == 0;
    const QRectF box = textBox(ctx, g, row, col, merge, ct, rich ? rich->width() : measure(d.text), spills);
    const double indent = xf.indent ? xf.indent * 3 * fm.horizontalAdvance(QLatin1Char(' ')) : 0;
    QRectF inner = box.adjusted(kPadding + (ct.hAlign == 1 ? indent : 0), 0, -kPadding - (ct.hAlign == 3 ? indent : 0), 0);
    int flags = ct.hAlign == 2 ? Qt::AlignHCenter : ct.hAlign == 3 ? Qt::AlignRight : Qt::AlignLeft;
    flags |= xf.vAlign == 0 ? Qt::AlignTop : xf.vAlign == 1 || xf.vAlign == 4 ? Qt::AlignVCenter : xf.vAlign == 3 ? Qt::AlignTop : Qt::AlignBottom;
    if (wrap) flags |= Qt::TextWordWrap | Qt::TextWrapAnywhere;
    const double width = measure(d.text);
    const bool plain = !wrap && xf.rotation == 0 && !d.text.contains(QLatin1Char('\n'));
    if (font != p.font()) p.setFont(font);
    if (p.pen().color() != ct.color) p.setPen(ct.color);
    // Most cells hold one line that fits: drawn at its baseline, without a
    // clip or a layout, which is what keeps long sheets quick to print.
    if (plain && !rich && width <= inner.width() + 0.5) {
        const double x = ct.hAlign == 2 ? inner.center().x() - width / 2
                         : ct.hAlign == 3 ? inner.right() - width : inner.left();
        const double y = xf.vAlign == 0 || xf.vAlign == 3 ? box.top() + fm.ascent()
                         : xf.vAlign == 1 || xf.vAlign == 4 ? box.center().y() + (fm.ascent() - fm.descent()) / 2
                                                           : box.bottom() - fm.descent();
        p.drawText(QPointF(x, y), d.text);
        return;
    }
    p.save();
    p.setClipRect(box.intersected(QRectF(QPointF(g.x.front(), g.y.front()), QPointF(g.x.back(), g.y.back()))));
    if (rich) {
        const int vAlign = xf.vAlign == 0 || xf.vAlign == 3 ? 0 : xf.vAlign == 2 ? 2 : 1;
        rich->paint(p, inner, ct.hAlign == 2 || ct.hAlign == 3 ? ct.hAlign : 1, vAlign, wrap);
    } else if (xf.rotation == 255) {  // stacked: one character under the other
        QString stacked;
        for (QChar ch : d.text) stacked += QString(ch) + QLatin1Char('\n');
        stacked.chop(1);
        p.drawText(inner, (flags & Qt::AlignVertical_Mask) | Qt::AlignHCenter, stacked);
    } else if (xf.rotation != 0) {
        const double angle = xf.rotation <= 90 ? -xf.rotation : xf.rotation - 90;
        p.translate(box.center());
        p.rotate(angle);
        const double w = std::hypot(box.width(), box.height());
        p.drawText(QRectF(-w / 2, -box.height(), w, 2 * box.height()), Qt::AlignCenter, d.text);
    } else {
        p.drawText(inner, flags, d.text);
    }
    p.restore();
}

void paintTexts(QPainter& p, const SheetContext& ctx, const PageGrid& g, const std::vector<model::Area>& merges) {
    FontCache fonts(p.device());
    for (const model::Area& m : merges)
        if (const model::CellData* c = findCell(ctx.sheet, m.firstRow, m.firstCol))
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

// What the drawing layer read of the object at an anchor.
// A comment kept in view: its text in a pale yellow box.
void paintNoteBox(QPainter& p, const QString& text, const QRectF& frame) {
    p.save();
    p.setPen(QPen(QColor(0, 0, 0), 0.5 * T));
    p.setBrush(QColor(0xFF, 0xFF, 0xE1));
    p.drawRect(frame);
    QFont font = p.font();
    font.setPixelSize(int(9 * T));
    p.setFont(font);
    p.drawText(frame.adjusted(2 * T, 2 * T, -2 * T, -2 * T), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    p.restore();
}

// Drawing objects at their anchors: a picture whose image can be decoded
// scaled into its anchor, the rest as shapes (metafiles and charts as
// labelled frames); comments stay hidden, as the spreadsheet prints them
// only when asked to.
void paintShapes(QPainter& p, const SheetContext& ctx, const PageGrid& g) {
    const QRectF page(QPointF(g.x.front(), g.y.front()), QPointF(g.x.back(), g.y.back()));
    QFont font = sheetFont(ctx.font(0));
    p.save();
    p.setClipRect(page);
    p.setFont(font);
    for (const model::Shape& shape : ctx.sheet.shapes) {
        if (!printsWithCells(ctx.layout, shape)) continue;
        const model::Anchor& a = *shape.anchor;
        if (a.col1 > 255 || a.col2 > 255) continue;
        if (a.row1 > ctx.plan.range.lastRow || a.row2 < ctx.plan.range.firstRow) continue;
        const auto x = [&](int col, double dx) {
            return g.colX(ctx.plan, col) + ctx.plan.colWidthPt[size_t(col)] * T * std::min(dx, 1.0);
        };
        const auto y = [&](int row, double dy) {
            // An anchor may end at the top of the row after the printed range.
            const int r = std::clamp(row, ctx.plan.range.firstRow, ctx.plan.range.lastRow + 1);
            const double height = r <= ctx.plan.range.lastRow ? ctx.plan.rowHeight(r) : 0;
            return g.rowY(ctx.plan, r) + height * T * std::min(dy, 1.0);
        };
        const QRectF frame(QPointF(x(a.col1, a.dx1), y(a.row1, a.dy1)), QPointF(x(a.col2, a.dx2), y(a.row2, a.dy2)));
        if (!frame.intersects(page)) continue;
        if (shape.picture >= 0) {
            const QImage picture = ctx.pictures.image(shape.picture, ctx.book.pictures);
            if (!picture.isNull()) {
                p.drawImage(frame, picture);
                continue;
            }
        }
        if (shape.isComment()) {
            paintNoteBox(p, shape.text, frame);
            continue;
        }
        paintShape(p, ctx, shape, frame);
    }
    p.restore();
}

void paintHeadings(QPainter& p, const SheetContext& ctx, const PageGrid& g) {
    if (ctx.plan.headingWidthPt <= 0) return;
    QFont font = sheetFont(ctx.font(0));
    p.setFont(font);
    const QPen line(QColor(0, 0, 0), 0.5 * T);
    const QRectF corner(0, 0, g.left, g.top);
    p.setPen(line);
    p.drawRect(corner);
    for (int c = g.cols.first; c <= g.cols.last; ++c) {
        const QRectF r(QPointF(g.x[size_t(c - g.cols.first)], 0), QPointF(g.x[size_t(c - g.cols.first + 1)], g.top));
        if (r.width() <= 0) continue;
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter, model::a1Column(c));
    }
    for (int row = g.rows.first; row <= g.rows.last; ++row) {
        const QRectF r(QPointF(0, g.y[size_t(row - g.rows.first)]), QPointF(g.left, g.y[size_t(row - g.rows.first + 1)]));
        if (r.height() <= 0) continue;
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter, QString::number(row + 1));
    }
}

}  // namespace

void paintSheetPage(QPainter& p, const SheetContext& ctx, Span rows, Span cols) {
    const PageGrid g = makeGrid(ctx, rows, cols);
    const std::vector<model::Area> merges = pageMerges(ctx, rows, cols);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    if (ctx.layout.page.gridlines) paintGridlines(p, g);
    paintFills(p, ctx, g, merges);
    paintTexts(p, ctx, g, merges);
    paintBorders(p, ctx, g);
    paintShapes(p, ctx, g);
    paintHeadings(p, ctx, g);
    p.restore();
}

}  // namespace tabulon::reports::sheet
