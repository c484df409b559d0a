#include "reports/sheet/SheetShapes.h"

#include "reports/sheet/ChartPainter.h"
#include "reports/sheet/RichCellText.h"
#include "reports/sheet/SheetText.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace tabulon::reports::sheet {

namespace {

constexpr double T = kTwipsPerPoint;
const QColor kButtonFace(0xD4, 0xD0, 0xC8), kButtonShadow(0x80, 0x80, 0x80);

using model::ShapeKind;

QColor shapeColor(model::Color c) { return modelColor(c, 0x000000); }

// Freeforms and the other preset geometries have no outline of their own
// here: they print as a labelled frame.
enum class Outline { Rectangle, Rounded, Ellipse, Line, Frame };

Outline outlineOf(const model::Shape& s) {
    switch (s.geometry) {
    case model::Geometry::Rectangle: return Outline::Rectangle;
    case model::Geometry::RoundedRectangle: return Outline::Rounded;
    case model::Geometry::Ellipse: return Outline::Ellipse;
    case model::Geometry::Line: return Outline::Line;
    case model::Geometry::Other: break;
    }
    switch (s.kind) {
    case ShapeKind::Line: return Outline::Line;
    case ShapeKind::Rectangle: case ShapeKind::TextBox: return Outline::Rectangle;
    case ShapeKind::Oval: return Outline::Ellipse;
    default: return Outline::Frame;
    }
}

// The object's text, wrapped in its box, each run in its font.
void paintShapeText(QPainter& p, const SheetContext& ctx, const model::Shape& s, const QRectF& box, int hAlign,
                    int vAlign) {
    if (s.text.isEmpty() || box.width() <= 0 || box.height() <= 0) return;
    FontCache fonts;
    const auto styleOf = [&](int font) {
        return TextStyle{&fonts.get(ctx, font), modelColor(ctx.font(font).color, 0x000000)};
    };
    const model::TextRuns runs = s.textRuns.empty() ? model::TextRuns{{0, 0}} : s.textRuns;
    const auto rich = RichCellText::make(s.text, s.text, runs, styleOf(runs.front().font), styleOf);
    if (!rich) return;
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    // TXO: 1 left/top, 2 centre, 3 right/bottom; justified and distributed
    // texts start at the left and the top.
    rich->paint(p, box, hAlign == 2 || hAlign == 3 ? hAlign : 1, vAlign == 2 ? 1 : vAlign == 3 ? 2 : 0, true);
    p.restore();
}

void paintArrowHead(QPainter& p, QPointF tip, QPointF from, double width) {
    const double length = std::hypot(tip.x() - from.x(), tip.y() - from.y());
    if (length <= 0) return;
    const QPointF dir = (tip - from) / length, normal(-dir.y(), dir.x());
    const double size = std::max(3 * width, 4.0 * T);
    QPolygonF head;
    head << tip << tip - dir * size + normal * size / 2 << tip - dir * size - normal * size / 2;
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
}

void paintLine(QPainter& p, const model::Shape& s, const QRectF& frame) {
    QPointF a = frame.topLeft(), z = frame.bottomRight();
    if (s.flipH) std::swap(a.rx(), z.rx());
    if (s.flipV) std::swap(a.ry(), z.ry());
    p.drawLine(a, z);
    if (s.arrowStart) paintArrowHead(p, a, z, s.lineWidthPt * T);
    if (s.arrowEnd) paintArrowHead(p, z, a, s.lineWidthPt * T);
}

void paintAutoShape(QPainter& p, const SheetContext& ctx, const model::Shape& s, const QRectF& frame,
                    Outline outline) {
    QPen pen(shapeColor(s.lineColor), std::max(0.25, s.lineWidthPt) * T);
    pen.setStyle(s.dashStyle == 1 ? Qt::SolidLine : s.dashStyle <= 3 ? Qt::DotLine : s.dashStyle == 4 || s.dashStyle == 7 ? Qt::DashLine : Qt::DashDotLine);
    p.setPen(s.lineVisible ? pen : QPen(Qt::NoPen));
    p.setBrush(s.filled ? QBrush(shapeColor(s.fillColor)) : QBrush(Qt::NoBrush));
    switch (outline) {
    case Outline::Line: paintLine(p, s, frame); return;
    case Outline::Rounded: {
        const double r = std::min(frame.width(), frame.height()) / 6;  // the default corner of 3600/21600
        p.drawRoundedRect(frame, r, r);
        break;
    }
    case Outline::Ellipse: p.drawEllipse(frame); break;
    default: p.drawRect(frame); break;
    }
    // The text box's default inner margins: 0.1 in at the sides, 0.05 in above and below.
    paintShapeText(p, ctx, s, frame.adjusted(7.2 * T, 3.6 * T, -7.2 * T, -3.6 * T), s.textHAlign, s.textVAlign);
}

// A turned shape: the painter turns about the anchor's centre. The anchor of
// a shape turned by 45 to 135 degrees (or 225 to 315) is its turned outline
// box, so its own box has width and height swapped.
QRectF turned(QPainter& p, const model::Shape& s, const QRectF& frame) {
    if (s.rotation == 0) return frame;
    const double angle = s.rotation < 0 ? s.rotation + 360 : s.rotation;
    const bool swapped = (angle >= 45 && angle < 135) || (angle >= 225 && angle < 315);
    const QSizeF size = swapped ? frame.size().transposed() : frame.size();
    p.translate(frame.center());
    p.rotate(angle);
    return QRectF(QPointF(-size.width() / 2, -size.height() / 2), size);
}

void paintRaised(QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(kButtonFace);
    p.drawRect(r);
    p.setPen(QPen(Qt::white, 0.75 * T));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QPen(kButtonShadow, 0.75 * T));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

// A button's caption is centred unless its TXO says otherwise.
void paintButton(QPainter& p, const SheetContext& ctx, const model::Shape& s, const QRectF& frame) {
    paintRaised(p, frame);
    paintShapeText(p, ctx, s, frame.adjusted(1.5 * T, 1.5 * T, -1.5 * T, -1.5 * T), s.textHAlign ? s.textHAlign : 2,
                   s.textVAlign ? s.textVAlign : 2);
}

// A check box or option button: the mark at the left, the label beside it.
void paintChoice(QPainter& p, const SheetContext& ctx, const model::Shape& s, const QRectF& frame) {
    const double side = std::min(9.0 * T, frame.height());
    const QRectF mark(frame.left() + 1.5 * T, frame.center().y() - side / 2, side, side);
    p.setPen(QPen(Qt::black, 0.75 * T));
    p.setBrush(s.checked == 2 ? QBrush(kButtonFace) : QBrush(Qt::white));
    if (s.kind == ShapeKind::OptionButton) {
        p.drawEllipse(mark);
        if (s.checked == 1) {
            p.setBrush(Qt::black);
            p.drawEllipse(mark.center(), side / 4, side / 4);
        }
    } else {
        p.drawRect(mark);
        if (s.checked >= 1) {
            QPolygonF tick;
            tick << mark.topLeft() + QPointF(side * 0.2, side * 0.5) << mark.topLeft() + QPointF(side * 0.42, side * 0.75)
                 << mark.topLeft() + QPointF(side * 0.8, side * 0.25);
            p.setPen(QPen(Qt::black, 1.25 * T));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(tick);
        }
    }
    paintShapeText(p, ctx, s, QRectF(QPointF(mark.right() + 3 * T, frame.top()), frame.bottomRight()), s.textHAlign, 2);
}

// A list or drop-down box: white with a frame; the drop-down has its arrow
// button, the list a scroll bar.
void paintListBox(QPainter& p, const model::Shape& s, const QRectF& frame) {
    p.setPen(QPen(kButtonShadow, 0.75 * T));
    p.setBrush(Qt::white);
    p.drawRect(frame);
    const double w = std::min(12.0 * T, frame.width() / 2);
    const QRectF button(frame.right() - w, frame.top(), w, s.kind == ShapeKind::DropDown ? frame.height() : frame.height());
    paintRaised(p, button);
    const double h = std::min(w, frame.height()) / 4;
    const QPointF c = s.kind == ShapeKind::DropDown ? button.center() : QPointF(button.center().x(), button.top() + w / 2);
    QPolygonF arrow;
    arrow << c + QPointF(-h, -h / 2) << c + QPointF(h, -h / 2) << c + QPointF(0, h / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
}

QString frameLabel(ShapeKind kind) {
    switch (kind) {
    case ShapeKind::Group: return QStringLiteral("グループ");
    case ShapeKind::Chart: return QStringLiteral("グラフ");
    case ShapeKind::Picture: return QStringLiteral("図");
    default: return QStringLiteral("図形");
    }
}

void paintLabelledFrame(QPainter& p, const QRectF& frame, const QString& label) {
    p.setPen(QPen(QColor(0, 0, 0), 0.75 * T));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    p.setPen(QColor(90, 90, 90));
    drawText(p, SheetFont(p.font()), frame, Qt::AlignCenter | Qt::TextWordWrap, label);
}

}  // namespace

void paintPictureFrame(QPainter& p, const model::Shape& shape, const QRectF& frame) {
    const auto cm = [](double twips) { return QString::number(twips / (T * 72) * 2.54, 'f', 1); };
    const QString name = shape.name.isEmpty() ? frameLabel(shape.kind) : shape.name;
    p.save();
    paintLabelledFrame(p, frame, QStringLiteral("%1\n%2 × %3 cm").arg(name, cm(frame.width()), cm(frame.height())));
    p.restore();
}

void paintShape(QPainter& p, const SheetContext& ctx, const model::Shape& shape, const QRectF& frame) {
    p.save();
    switch (shape.kind) {
    case ShapeKind::Button: paintButton(p, ctx, shape, frame); break;
    case ShapeKind::CheckBox: case ShapeKind::OptionButton: paintChoice(p, ctx, shape, frame); break;
    case ShapeKind::ListBox: case ShapeKind::DropDown: paintListBox(p, shape, frame); break;
    case ShapeKind::Label: paintShapeText(p, ctx, shape, frame, shape.textHAlign, shape.textVAlign); break;
    case ShapeKind::Chart:
        if (shape.chart >= 0 && size_t(shape.chart) < ctx.book.charts.size())
            paintChart(p, ctx.book.charts[size_t(shape.chart)], frame, T, ctx.book.formats.date1904);
        else
            paintLabelledFrame(p, frame, shape.text.isEmpty() ? chartFrameLabel(nullptr) : shape.text);
        break;
    case ShapeKind::GroupBox:
        p.setPen(QPen(kButtonShadow, 0.75 * T));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame.adjusted(0, 5 * T, 0, 0));
        paintShapeText(p, ctx, shape, frame.adjusted(6 * T, 0, -6 * T, 0), 1, 1);
        break;
    default: {
        const Outline outline = outlineOf(shape);
        if (outline == Outline::Frame) paintLabelledFrame(p, frame, shape.text.isEmpty() ? frameLabel(shape.kind) : shape.text);
        else paintAutoShape(p, ctx, shape, turned(p, shape, frame), outline);
    }
    }
    p.restore();
}

}  // namespace tabulon::reports::sheet
