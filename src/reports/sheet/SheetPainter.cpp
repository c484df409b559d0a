#include "reports/sheet/SheetPainter.h"

#include "host/model/Notation.h"
#include "reports/ReportFonts.h"
#include "reports/sheet/CellTexts.h"
#include "reports/sheet/PageGrid.h"
#include "reports/sheet/PrintedPages.h"
#include "reports/sheet/SheetPictures.h"
#include "reports/sheet/SheetShapes.h"
#include "reports/sheet/SheetText.h"

#include <QPainter>
#include <algorithm>

namespace tabulon::reports::sheet {

namespace {

constexpr double T = kTwipsPerPoint;

QColor rgbColor(unsigned rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }

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

// The fills of the cells without a format of their own, which take their
// row's format, else their column's: filled in runs along each row.
void paintDefaultFills(QPainter& p, const SheetContext& ctx, const PageGrid& g, const std::vector<model::Area>& merges) {
    const model::SheetLayout& layout = ctx.layout;
    const auto filled = [&](int format) { return format >= 0 && ctx.format(format).pattern != 0; };
    bool any = false;
    for (int c = g.cols.first; c <= g.cols.last; ++c) any = any || filled(layout.column(c).format);
    for (auto r = layout.rows.lower_bound(g.rows.first); r != layout.rows.end() && r->first <= g.rows.last; ++r)
        any = any || filled(r->second.format);
    if (!any) return;
    auto own = std::lower_bound(layout.cellFormats.begin(), layout.cellFormats.end(), g.rows.first,
                                [](const model::CellFormatAt& c, int row) { return c.row < row; });
    for (int r = g.rows.first; r <= g.rows.last; ++r) {
        const auto row = layout.rows.find(r);
        const int rowFormat = row != layout.rows.end() ? row->second.format : -1;
        int runStart = 0, runFormat = -1;
        const auto flush = [&](int end) {
            if (filled(runFormat) && end > runStart) paintFill(p, ctx.format(runFormat), g.area(ctx.plan, {r, r, runStart, end - 1}));
            runFormat = -1;
        };
        for (int c = g.cols.first; c <= g.cols.last; ++c) {
            while (own != layout.cellFormats.end() && (own->row < r || (own->row == r && own->col < c))) ++own;
            const bool hasOwn = own != layout.cellFormats.end() && own->row == r && own->col == c;
            const int format = hasOwn || mergeOf(merges, r, c) ? -1 : rowFormat >= 0 ? rowFormat : layout.column(c).format;
            if (format != runFormat) {
                flush(c);
                runStart = c;
                runFormat = format;
            }
        }
        flush(g.cols.last + 1);
    }
}

// Each cell's own borders. A merged area is one cell: only the sides on its
// outline are drawn (each from the cell there), its diagonals across the
// whole area from its first cell.
void paintBorders(QPainter& p, const SheetContext& ctx, const PageGrid& g, const std::vector<model::Area>& merges) {
    const auto& xfs = ctx.layout.cellFormats;
    auto it = std::lower_bound(xfs.begin(), xfs.end(), g.rows.first,
                               [](const model::CellFormatAt& c, int row) { return c.row < row; });
    for (; it != xfs.end() && it->row <= g.rows.last; ++it) {
        if (it->col < g.cols.first || it->col > g.cols.last) continue;
        const model::CellFormat& xf = ctx.format(it->format);
        const model::Area own{it->row, it->row, it->col, it->col};
        const model::Area* merge = mergeOf(merges, it->row, it->col);
        const model::Area& area = merge ? *merge : own;
        const QRectF r = g.area(ctx.plan, own), whole = g.area(ctx.plan, area);
        if (it->row == area.firstRow) drawBorderLine(p, xf.top, r.topLeft(), r.topRight());
        if (it->row == area.lastRow) drawBorderLine(p, xf.bottom, r.bottomLeft(), r.bottomRight());
        if (it->col == area.firstCol) drawBorderLine(p, xf.left, r.topLeft(), r.bottomLeft());
        if (it->col == area.lastCol) drawBorderLine(p, xf.right, r.topRight(), r.bottomRight());
        if (it->row != area.firstRow || it->col != area.firstCol) continue;
        if (xf.diagonalDown) drawBorderLine(p, xf.diagonal, whole.topLeft(), whole.bottomRight());
        if (xf.diagonalUp) drawBorderLine(p, xf.diagonal, whole.bottomLeft(), whole.topRight());
    }
}

}  // namespace

QColor modelColor(model::Color color, unsigned automatic) { return rgbColor(color.rgbOr(automatic)); }

QString substituteFamily(const QString& name) {
    const QString n = name.normalized(QString::NormalizationForm_KC).toLower();
    if (n.contains(QStringLiteral("明朝")) || n.contains(QStringLiteral("mincho")) || n.contains(QStringLiteral("serif"))) {
        const QString& prepared = preparedSerifFace().family;
        return prepared.isEmpty() ? QStringLiteral("Noto Serif CJK JP") : prepared;
    }
    if (n.startsWith(QStringLiteral("times"))) return QStringLiteral("Liberation Serif");
    if (n.startsWith(QStringLiteral("courier"))) return QStringLiteral("Liberation Mono");
    if (n == QStringLiteral("arial")) return QStringLiteral("Liberation Sans");
    if (n == QStringLiteral("ms gothic") || n == QStringLiteral("ms ゴシック") || n.contains(QStringLiteral("mono")))
        return reportFamily(true);
    return reportFamily(false);  // ＭＳ Ｐゴシック, メイリオ and the rest
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

// A comment kept in view: its text in a pale yellow box.
void paintNoteBox(QPainter& p, const QString& text, const QRectF& frame) {
    p.save();
    p.setPen(QPen(QColor(0, 0, 0), 0.5 * T));
    p.setBrush(QColor(0xFF, 0xFF, 0xE1));
    p.drawRect(frame);
    QFont font = p.font();
    font.setPixelSize(int(9 * T));
    drawText(p, SheetFont(font), frame.adjusted(2 * T, 2 * T, -2 * T, -2 * T), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    p.restore();
}

// Drawing objects at their anchors: a picture scaled into its anchor (one
// whose data is damaged as a frame with its name and size), the rest as
// shapes (charts as labelled frames); comments stay hidden, as the spreadsheet prints them
// only when asked to.
void paintShapes(QPainter& p, const SheetContext& ctx, const PageGrid& g) {
    const QRectF page = g.cells();
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
        if (shape.kind == model::ShapeKind::Picture) {
            paintPictureFrame(p, shape, frame);
            continue;
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
    const SheetFont font(sheetFont(ctx.font(0)));
    const QPen line(QColor(0, 0, 0), 0.5 * T);
    const QRectF corner(0, 0, g.left, g.top);
    p.setPen(line);
    p.drawRect(corner);
    for (int c = g.cols.first; c <= g.cols.last; ++c) {
        const QRectF r(QPointF(g.x[size_t(c - g.cols.first)], 0), QPointF(g.x[size_t(c - g.cols.first + 1)], g.top));
        if (r.width() <= 0) continue;
        p.drawRect(r);
        drawText(p, font, r, Qt::AlignCenter, model::a1Column(c));
    }
    for (int row = g.rows.first; row <= g.rows.last; ++row) {
        const QRectF r(QPointF(0, g.y[size_t(row - g.rows.first)]), QPointF(g.left, g.y[size_t(row - g.rows.first + 1)]));
        if (r.height() <= 0) continue;
        p.drawRect(r);
        drawText(p, font, r, Qt::AlignCenter, QString::number(row + 1));
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
    paintDefaultFills(p, ctx, g, merges);
    paintTexts(p, ctx, g, merges);
    paintBorders(p, ctx, g, merges);
    paintShapes(p, ctx, g);
    paintHeadings(p, ctx, g);
    p.restore();
}

}  // namespace tabulon::reports::sheet
