#include "reports/sheet/WmfPlayer.h"

#include "host/CodePage.h"
#include "host/Dib.h"
#include "reports/sheet/SheetPainter.h"
#include "reports/sheet/SheetPictures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <QtMath>
#include <optional>
#include <vector>

namespace tabulon::reports::sheet {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kMaxRecords = 1'000'000;  // a metafile of more records is cut there
constexpr int kMaxSavedStates = 64;
constexpr double kMaxFontPixels = 2000;
constexpr double kMaxShapeScale = 16;  // times the picture's size
constexpr double kMaxPenPixels = 256;

// The parameters of one record: 16-bit words after its size and function,
// each read checked against the record's end.
class Params {
public:
    Params(const uchar* data, qsizetype size) : data_(data), size_(size) {}
    qsizetype size() const { return size_; }
    bool has(qsizetype offset, qsizetype bytes) const { return offset >= 0 && bytes >= 0 && offset + bytes <= size_; }
    int16_t s16(qsizetype offset) const { return has(offset, 2) ? qFromLittleEndian<int16_t>(data_ + offset) : 0; }
    uint16_t u16(qsizetype offset) const { return has(offset, 2) ? qFromLittleEndian<uint16_t>(data_ + offset) : 0; }
    uint8_t u8(qsizetype offset) const { return has(offset, 1) ? data_[offset] : 0; }
    uint32_t u32(qsizetype offset) const { return has(offset, 4) ? qFromLittleEndian<uint32_t>(data_ + offset) : 0; }
    QColor color(qsizetype offset) const {
        return has(offset, 3) ? QColor(data_[offset], data_[offset + 1], data_[offset + 2]) : QColor(Qt::black);
    }
    QByteArray bytes(qsizetype offset, qsizetype length) const {
        if (!has(offset, 0)) return {};
        return QByteArray(reinterpret_cast<const char*>(data_ + offset), std::min(length, size_ - offset));
    }

private:
    const uchar* data_;
    qsizetype size_;
};

struct Pen {
    QColor color = Qt::black;
    int style = 0;  // PS_SOLID 0, PS_DASH 1, PS_DOT 2, PS_DASHDOT 3, PS_DASHDOTDOT 4, PS_NULL 5
    double width = 0;
};

struct Brush {
    QColor color = Qt::white;
    int style = 0;  // BS_SOLID 0, BS_NULL 1, BS_HATCHED 2, BS_PATTERN 3, BS_DIBPATTERN 5
    int hatch = 0;
    QImage pattern;
};

struct Font {
    QString face;
    double height = 0;  // logical units; negative: the character height, positive: the cell's
    int weight = 400, charset = 0;
    double escapement = 0;  // tenths of a degree, counter-clockwise
    bool italic = false, underline = false, strike = false;
};

struct Object {
    enum Kind { Empty, IsPen, IsBrush, IsFont, IsOther } kind = Empty;
    Pen pen;
    Brush brush;
    Font font;
};

// A palette, region or bitmap: it takes a place in the object table.
Object other() {
    Object o;
    o.kind = Object::IsOther;
    return o;
}

struct State {
    Pen pen;
    Brush brush;
    Font font;
    QColor text = Qt::black, background = Qt::white;
    bool opaqueBackground = true;
    int textAlign = 0;
    Qt::FillRule fill = Qt::OddEvenFill;
    QPointF position;
    QPointF windowOrg;
    QSizeF windowExt;
};

// The Windows code page of a font's character set.
int codePageOf(int charset) {
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 1252;
    }
}

bool isLeadByte(int codePage, uchar b) {
    if (codePage == 932) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (codePage == 936 || codePage == 949 || codePage == 950) return b >= 0x81 && b <= 0xFE;
    return false;
}

// A bitmap record's DIB, decoded within the painter's limits.
QImage dibImage(const QByteArray& dib) {
    const QByteArray file = host::bmpFileOfDib(dib);
    return file.isEmpty() ? QImage() : decodeImage(file, "bmp");
}

class Player {
public:
    Player(QPainter& p, const QByteArray& bytes, qsizetype records, const QRectF& frame, const QRectF& target)
        : p_(p), bytes_(bytes), at_(records), target_(target), base_(p.worldTransform()) {
        state_.windowOrg = frame.topLeft();
        state_.windowExt = frame.size();
    }

    bool run() {
        applyWindow();
        applyPen();
        applyBrush();
        const auto* data = reinterpret_cast<const uchar*>(bytes_.constData());
        for (int n = 0; n < kMaxRecords && at_ + 6 <= bytes_.size(); ++n) {
            const quint64 words = qFromLittleEndian<quint32>(data + at_);
            const uint16_t function = qFromLittleEndian<uint16_t>(data + at_ + 4);
            if (words < 3 || words * 2 > quint64(bytes_.size() - at_) || function == 0) break;
            record(function, Params(data + at_ + 6, qsizetype(words * 2 - 6)));
            at_ += qsizetype(words * 2);
        }
        while (saved_-- > 0) p_.restore();
        p_.setWorldTransform(base_);
        return drawn_;
    }

private:
    QPainter& p_;
    const QByteArray& bytes_;
    qsizetype at_;
    QRectF target_;
    QTransform base_, world_;
    State state_;
    std::vector<State> stack_;
    std::vector<Object> objects_;
    int saved_ = 0;
    bool drawn_ = false;

    void applyWindow() {
        const QSizeF ext = state_.windowExt;
        const double sx = ext.width() ? target_.width() / ext.width() : 1;
        const double sy = ext.height() ? target_.height() / ext.height() : 1;
        world_ = QTransform::fromTranslate(-state_.windowOrg.x(), -state_.windowOrg.y()) *
                 QTransform::fromScale(sx, sy) * QTransform::fromTranslate(target_.x(), target_.y());
        p_.setWorldTransform(world_ * base_);
    }

    // The device size of one logical unit across.
    double unitX() const { return std::abs(world_.m11()) * std::abs(base_.m11()); }

    void applyPen() {
        const Pen& pen = state_.pen;
        if ((pen.style & 0x0F) == 5) {
            p_.setPen(Qt::NoPen);
            return;
        }
        QPen q(pen.color);
        // A pen thinner than a device pixel draws one pixel wide, as GDI does.
        if (pen.width * unitX() < 1) q.setWidth(0), q.setCosmetic(true);
        else q.setWidthF(std::min(pen.width, kMaxPenPixels / unitX()));
        static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
        q.setStyle((pen.style & 0x0F) < 5 ? styles[pen.style & 0x0F] : Qt::SolidLine);
        q.setCapStyle(Qt::FlatCap);
        p_.setPen(q);
    }

    void applyBrush() {
        const Brush& b = state_.brush;
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern,  Qt::VerPattern,   Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        if (b.style == 1) p_.setBrush(Qt::NoBrush);
        else if (b.style == 2) p_.setBrush(QBrush(b.color, b.hatch >= 0 && b.hatch < 6 ? hatches[b.hatch] : Qt::SolidPattern));
        else if ((b.style == 3 || b.style == 5) && !b.pattern.isNull()) p_.setBrush(QBrush(b.pattern));
        else p_.setBrush(b.color);
    }

    QPointF point(const Params& r, qsizetype offset) const { return QPointF(r.s16(offset + 2), r.s16(offset)); }
    // A rectangle given as bottom, right, top, left from `offset` on.
    QRectF box(const Params& r, qsizetype offset = 0) const {
        return QRectF(QPointF(r.s16(offset + 6), r.s16(offset + 4)), QPointF(r.s16(offset + 2), r.s16(offset))).normalized();
    }

    std::optional<QPolygonF> polygon(const Params& r, qsizetype offset, int count) const {
        if (count < 0 || !r.has(offset, qsizetype(count) * 4)) return std::nullopt;
        QPolygonF poly;
        poly.reserve(count);
        for (int i = 0; i < count; ++i)
            poly << QPointF(r.s16(offset + 4 * i), r.s16(offset + 4 * i + 2));
        return poly;
    }

    int addObject(Object o) {
        for (size_t i = 0; i < objects_.size(); ++i)
            if (objects_[i].kind == Object::Empty) {
                objects_[i] = std::move(o);
                return int(i);
            }
        if (objects_.size() >= 65535) return -1;
        objects_.push_back(std::move(o));
        return int(objects_.size() - 1);
    }

    void select(int index) {
        if (index < 0 || size_t(index) >= objects_.size()) return;
        const Object& o = objects_[size_t(index)];
        if (o.kind == Object::IsPen) state_.pen = o.pen, applyPen();
        else if (o.kind == Object::IsBrush) state_.brush = o.brush, applyBrush();
        else if (o.kind == Object::IsFont) state_.font = o.font;
    }

    void restoreState(int which) {
        // A negative number counts back from the latest saved state.
        const int count = int(stack_.size());
        const int index = which < 0 ? count + which : which - 1;
        if (index < 0 || index >= count) return;
        while (int(stack_.size()) > index) {
            state_ = stack_.back();
            stack_.pop_back();
            p_.restore();
            --saved_;
        }
        applyWindow();
        applyPen();
        applyBrush();
    }

    void createFont(const Params& r) {
        Object o;
        o.kind = Object::IsFont;
        Font& f = o.font;
        f.height = r.s16(0);
        f.escapement = r.s16(4);
        f.weight = r.s16(8);
        f.italic = r.u8(10);
        f.underline = r.u8(11);
        f.strike = r.u8(12);
        f.charset = r.u8(13);
        QByteArray face = r.bytes(18, 32);
        if (const qsizetype nul = face.indexOf('\0'); nul >= 0) face.truncate(nul);
        f.face = host::decodeCodePage(face, codePageOf(f.charset));
        addObject(std::move(o));
    }

    void createBrush(const Params& r) {
        Object o;
        o.kind = Object::IsBrush;
        o.brush.style = r.u16(0);
        o.brush.color = r.color(2);
        o.brush.hatch = r.u16(6);
        addObject(std::move(o));
    }

    void createPatternBrush(const Params& r) {
        Object o;
        o.kind = Object::IsBrush;
        o.brush.style = 5;
        o.brush.pattern = dibImage(r.bytes(4, r.size()));
        o.brush.color = Qt::gray;
        addObject(std::move(o));
    }

    void createPen(const Params& r) {
        Object o;
        o.kind = Object::IsPen;
        o.pen.style = r.u16(0);
        o.pen.width = r.s16(2);
        o.pen.color = r.color(6);
        addObject(std::move(o));
    }

    // A shape many times the picture's size is damage, not drawing: a
    // rasteriser would spend its time on the parts no one sees.
    bool outsized(const QRectF& logical) const {
        const QRectF device = (world_ * base_).mapRect(logical);
        const QRectF picture = base_.mapRect(target_);
        const double far = kMaxShapeScale * std::max({picture.width(), picture.height(), 1.0});
        return device.width() > far || device.height() > far;
    }

    void shape(const QPainterPath& path) {
        if (outsized(path.controlPointRect())) return;
        p_.drawPath(path);
        drawn_ = true;
    }

    void arc(const Params& r, uint16_t function) {
        const QRectF rect = box(r, 8);
        if (rect.isEmpty()) return;
        const QPointF c = rect.center();
        const auto angle = [&](QPointF q) { return qRadiansToDegrees(std::atan2(-(q.y() - c.y()) / rect.height(), (q.x() - c.x()) / rect.width())); };
        const double start = angle(point(r, 4));
        double span = angle(point(r, 0)) - start;
        if (span <= 0) span += 360;
        QPainterPath path;
        if (function == 0x081A) path.moveTo(c);  // a pie runs from the centre
        else path.arcMoveTo(rect, start);
        path.arcTo(rect, start, span);
        if (function != 0x0817) path.closeSubpath();
        if (function == 0x0817) {
            p_.save();
            p_.setBrush(Qt::NoBrush);
            shape(path);
            p_.restore();
        } else {
            shape(path);
        }
    }

    void bitmap(const Params& r, uint16_t function) {
        // STRETCHDIB and DIBSTRETCHBLT give the source's size, DIBBITBLT only
        // the destination's; all name the source rectangle by its corner.
        const bool stretchDib = function == 0x0F43;
        const qsizetype at = stretchDib ? 6 : 4;  // after the raster operation (and the colour usage)
        const bool sized = function != 0x0940;
        // The forms without a bitmap have a reserved word after the operation.
        const bool noBitmap = !stretchDib && r.size() == ((function >> 8) + 3) * 2 - 6;
        const qsizetype from = noBitmap ? at + 2 : at;
        const int srcH = sized ? r.s16(from) : 0, srcW = sized ? r.s16(from + 2) : 0;
        const qsizetype q = sized ? from + 4 : from;
        const int ySrc = r.s16(q), xSrc = r.s16(q + 2);
        const int h = r.s16(q + 4), w = r.s16(q + 6), y = r.s16(q + 8), x = r.s16(q + 10);
        const QRectF dest = QRectF(x, y, w, h);
        const qsizetype dibAt = q + 12;
        const uint32_t rop = r.u32(0);
        if (noBitmap || !r.has(dibAt, 40)) {  // a pattern fill with the brush
            if (rop != 0x00AA0029) fill(dest.normalized(), rop);
            return;
        }
        QImage image = dibImage(r.bytes(dibAt, r.size()));
        if (image.isNull()) return;
        QRect source = sized ? QRect(xSrc, ySrc, srcW, srcH).normalized() : QRect(xSrc, ySrc, std::abs(w), std::abs(h));
        // A bottom-up bitmap counts its source rows from the bottom.
        if (int32_t(r.u32(dibAt + 8)) > 0) source.moveTop(image.height() - source.bottom() - 1);
        source &= image.rect();
        if (source.isEmpty()) return;
        p_.drawImage(dest.normalized(), image.mirrored(w < 0, h < 0), mirrorRect(source, image.size(), w < 0, h < 0));
        drawn_ = true;
    }

    static QRect mirrorRect(QRect r, QSize size, bool horizontal, bool vertical) {
        if (horizontal) r.moveLeft(size.width() - r.right() - 1);
        if (vertical) r.moveTop(size.height() - r.bottom() - 1);
        return r;
    }

    void fill(const QRectF& rect, uint32_t rop) {
        if (rop == 0x00000042) p_.fillRect(rect, Qt::black);
        else if (rop == 0x00FF0062) p_.fillRect(rect, Qt::white);
        else p_.fillRect(rect, p_.brush());
        drawn_ = true;
    }

    void text(QPointF at, const QByteArray& bytes, const std::vector<int>& dx, const std::optional<QRectF>& opaque,
              bool clipped) {
        const Font& f = state_.font;
        const int codePage = codePageOf(f.charset);
        // With advances, the characters one by one with the bytes each takes
        // (the advances count bytes); without, the text whole.
        std::vector<std::pair<QString, int>> chars;
        for (qsizetype i = 0; i < bytes.size() && !dx.empty();) {
            const int n = isLeadByte(codePage, uchar(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
            chars.emplace_back(host::decodeCodePage(bytes.mid(i, n), codePage), n);
            i += n;
        }
        if (dx.empty()) chars.emplace_back(host::decodeCodePage(bytes, codePage), int(bytes.size()));
        if (state_.textAlign & 1) at = state_.position;  // TA_UPDATECP
        const QPointF anchor = world_.map(at);
        // Text is set in the painter's own units, where the font's size is whole.
        const double height = f.height ? std::abs(f.height * world_.m22()) : 12.0;
        QFont font(substituteFamily(f.face));
        font.setPixelSize(std::max(1, qRound(std::min(height, kMaxFontPixels))));
        font.setWeight(QFont::Weight(std::clamp(f.weight ? f.weight : 400, 1, 1000)));
        font.setItalic(f.italic);
        font.setUnderline(f.underline);
        font.setStrikeOut(f.strike);
        const QFontMetricsF metrics(font);
        const double scale = std::abs(world_.m11());
        std::vector<double> advance;
        double width = 0;
        size_t byte = 0;
        for (const auto& [text, n] : chars) {
            double a = 0;
            if (byte + size_t(n) <= dx.size()) {
                for (int k = 0; k < n; ++k) a += dx[byte + size_t(k)] * scale;
            } else {
                a = metrics.horizontalAdvance(text);
            }
            byte += size_t(n);
            advance.push_back(a);
            width += a;
        }
        const int horizontal = state_.textAlign & 6, vertical = state_.textAlign & 24;
        const double left = horizontal == 6 ? -width / 2 : horizontal == 2 ? -width : 0;
        const double baseline = vertical == 24 ? 0 : vertical == 8 ? -metrics.descent() : metrics.ascent();
        p_.save();
        if (clipped && opaque) p_.setClipRect(*opaque, Qt::IntersectClip);
        if (opaque) p_.fillRect(*opaque, state_.background);
        p_.setWorldTransform(base_);
        p_.translate(anchor);
        if (f.escapement) p_.rotate(-f.escapement / 10);
        if (state_.opaqueBackground && !opaque)
            p_.fillRect(QRectF(left, baseline - metrics.ascent(), width, metrics.height()), state_.background);
        p_.setFont(font);
        p_.setPen(state_.text);
        double x = left;
        for (size_t i = 0; i < chars.size(); ++i) {
            p_.drawText(QPointF(x, baseline), chars[i].first);
            x += advance[i];
        }
        p_.restore();
        if (state_.textAlign & 1) state_.position = world_.inverted().map(anchor + QPointF(width, 0));
        drawn_ = drawn_ || !bytes.isEmpty();
    }

    void extTextOut(const Params& r) {
        const QPointF at(r.s16(2), r.s16(0));
        const int length = r.s16(4), options = r.u16(6);
        qsizetype offset = 8;
        std::optional<QRectF> rect;
        if (options & 0x0006) {  // ETO_OPAQUE, ETO_CLIPPED: a rectangle follows
            rect = QRectF(QPointF(r.s16(8), r.s16(10)), QPointF(r.s16(12), r.s16(14))).normalized();
            offset += 8;
        }
        if (length < 0 || !r.has(offset, length)) return;
        const QByteArray bytes = r.bytes(offset, length);
        offset += (length + 1) & ~1;
        std::vector<int> dx;
        if (r.has(offset, qsizetype(length) * 2))
            for (int i = 0; i < length; ++i) dx.push_back(r.s16(offset + 2 * i));
        text(at, bytes, dx, (options & 2) ? rect : std::nullopt, (options & 4) && rect);
    }

    void record(uint16_t function, const Params& r) {
        switch (function) {
        case 0x001E:  // SAVEDC
            if (stack_.size() >= kMaxSavedStates) return;
            stack_.push_back(state_);
            p_.save();
            ++saved_;
            return;
        case 0x0127: restoreState(r.s16(0)); return;
        case 0x0102: state_.opaqueBackground = r.u16(0) == 2; return;
        case 0x0106: state_.fill = r.u16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill; return;
        case 0x0201: state_.background = r.color(0); return;
        case 0x0209: state_.text = r.color(0); return;
        case 0x012E: state_.textAlign = r.u16(0); return;
        case 0x020B: state_.windowOrg = point(r, 0), applyWindow(), applyPen(); return;
        case 0x020C: state_.windowExt = QSizeF(r.s16(2), r.s16(0)), applyWindow(), applyPen(); return;
        case 0x020F: state_.windowOrg += point(r, 0), applyWindow(); return;
        case 0x0410:  // SCALEWINDOWEXT
            if (r.s16(0) && r.s16(4))
                state_.windowExt = QSizeF(state_.windowExt.width() * r.s16(6) / r.s16(4), state_.windowExt.height() * r.s16(2) / r.s16(0));
            applyWindow(), applyPen();
            return;
        case 0x012D: select(r.u16(0)); return;
        case 0x01F0:
            if (r.u16(0) < objects_.size()) objects_[r.u16(0)] = Object{};
            return;
        case 0x02FA: createPen(r); return;
        case 0x02FC: createBrush(r); return;
        case 0x02FB: createFont(r); return;
        case 0x0142: createPatternBrush(r); return;
        case 0x00F7: case 0x01F9: case 0x06FF: addObject(other()); return;  // palette, pattern, region
        case 0x0214: state_.position = point(r, 0); return;
        case 0x0213: {
            const QPointF to = point(r, 0);
            if (!outsized(QRectF(state_.position, to).normalized())) p_.drawLine(state_.position, to), drawn_ = true;
            state_.position = to;
            return;
        }
        case 0x041B: { QPainterPath path; path.addRect(box(r)); shape(path); return; }
        case 0x0418: { QPainterPath path; path.addEllipse(box(r)); shape(path); return; }
        case 0x061C: {
            QPainterPath path;
            path.addRoundedRect(box(r, 4), std::abs(r.s16(2)) / 2.0, std::abs(r.s16(0)) / 2.0);
            shape(path);
            return;
        }
        case 0x0817: case 0x081A: case 0x0830: arc(r, function); return;
        case 0x0324: case 0x0325:
            if (const auto poly = polygon(r, 2, r.s16(0))) {
                QPainterPath path;
                path.setFillRule(state_.fill);
                path.addPolygon(*poly);
                if (function == 0x0324) path.closeSubpath();
                if (function != 0x0325) shape(path);
                else if (!outsized(poly->boundingRect())) p_.drawPolyline(*poly), drawn_ = true;
            }
            return;
        case 0x0538: {  // POLYPOLYGON: the count of each polygon, then all their points
            const int polys = r.u16(0);
            if (!r.has(2, qsizetype(polys) * 2)) return;
            QPainterPath path;
            path.setFillRule(state_.fill);
            qsizetype at = 2 + qsizetype(polys) * 2;
            for (int i = 0; i < polys; ++i) {
                const auto poly = polygon(r, at, r.u16(2 + 2 * i));
                if (!poly) return;
                path.addPolygon(*poly);
                path.closeSubpath();
                at += qsizetype(poly->size()) * 4;
            }
            shape(path);
            return;
        }
        case 0x0521: {  // TEXTOUT: the length, the string (padded to a word), then y and x
            const int length = r.s16(0);
            if (length < 0 || !r.has(2, length)) return;
            const qsizetype after = 2 + ((length + 1) & ~1);
            text(QPointF(r.s16(after + 2), r.s16(after)), r.bytes(2, length), {}, std::nullopt, false);
            return;
        }
        case 0x0A32: extTextOut(r); return;
        case 0x041F: p_.fillRect(QRectF(point(r, 4), QSizeF(1, 1)), r.color(0)); drawn_ = true; return;
        case 0x0416: p_.setClipRect(box(r), Qt::IntersectClip); return;
        case 0x0922: fill(QRectF(r.s16(10), r.s16(8), r.s16(6), r.s16(4)).normalized(), r.u32(0)); return;
        case 0x0F43: case 0x0B41: case 0x0940: bitmap(r, function); return;
        default: return;  // mapping modes, viewports, palettes, escapes: nothing to draw
        }
    }
};

}  // namespace

WmfPicture::WmfPicture(const QByteArray& bytes) : bytes_(bytes) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    qsizetype at = 0;
    std::optional<QRectF> placeable;
    double inch = 1440;
    if (bytes.size() >= 22 && qFromLittleEndian<quint32>(p) == kPlaceableKey) {
        // MS-WMF 2.3.2.3: the bounds in the metafile's units and the units an inch.
        const QRectF box(QPointF(qFromLittleEndian<int16_t>(p + 6), qFromLittleEndian<int16_t>(p + 8)),
                         QPointF(qFromLittleEndian<int16_t>(p + 10), qFromLittleEndian<int16_t>(p + 12)));
        if (const uint16_t units = qFromLittleEndian<uint16_t>(p + 14)) inch = units;
        if (box.width() && box.height()) placeable = box;
        at = 22;
    }
    // MS-WMF 2.3.2.2: the header of 9 words, of a memory or disk metafile.
    if (bytes.size() < at + 18) return;
    const uint16_t type = qFromLittleEndian<uint16_t>(p + at), headerWords = qFromLittleEndian<uint16_t>(p + at + 2);
    if ((type != 1 && type != 2) || headerWords != 9) return;
    records_ = at + 18;
    // Without a placeable header the window the records set is the frame.
    QPointF origin;
    QSizeF extent;
    for (qsizetype r = records_; !placeable && r + 10 <= bytes.size();) {
        const quint64 words = qFromLittleEndian<quint32>(p + r);
        const uint16_t function = qFromLittleEndian<uint16_t>(p + r + 4);
        if (words < 3 || words * 2 > quint64(bytes.size() - r) || function == 0) break;
        if (function == 0x020B) origin = QPointF(qFromLittleEndian<int16_t>(p + r + 8), qFromLittleEndian<int16_t>(p + r + 6));
        if (function == 0x020C) {
            extent = QSizeF(qFromLittleEndian<int16_t>(p + r + 8), qFromLittleEndian<int16_t>(p + r + 6));
            break;
        }
        r += qsizetype(words * 2);
    }
    frame_ = placeable ? *placeable : QRectF(origin, extent);
    if (!frame_.width() || !frame_.height()) return;
    sizeMm_ = QSizeF(std::abs(frame_.width()), std::abs(frame_.height())) * 25.4 / inch;
    valid_ = true;
}

bool WmfPicture::play(QPainter& p, const QRectF& target) const {
    if (!valid_) return false;
    p.save();
    p.setClipRect(target, Qt::IntersectClip);
    const bool drawn = Player(p, bytes_, records_, frame_, target).run();
    p.restore();
    return drawn;
}

}  // namespace tabulon::reports::sheet
