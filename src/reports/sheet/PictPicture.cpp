#include "reports/sheet/PictPicture.h"

#include "reports/sheet/SheetPictures.h"

#include <QPainter>
#include <QtEndian>
#include <optional>

namespace tabulon::reports::sheet {

namespace {

constexpr int kMaxOpcodes = 100'000;
constexpr int kMaxBitmaps = 256;
constexpr int kMaxSide = 16384;
constexpr qint64 kMaxPixels = 40'000'000;

// A big-endian reader over the picture; a read past the end sets failed.
class Cursor {
public:
    Cursor(const QByteArray& bytes, qsizetype at) : p_(reinterpret_cast<const uchar*>(bytes.constData())), size_(bytes.size()), at_(at) {}
    bool failed() const { return failed_; }
    qsizetype at() const { return at_; }
    qsizetype left() const { return size_ - at_; }
    bool skip(qint64 n) {
        if (n < 0 || n > left()) return failed_ = true, false;
        at_ += qsizetype(n);
        return true;
    }
    const uchar* take(qint64 n) {
        const uchar* here = p_ + at_;
        return skip(n) ? here : nullptr;
    }
    quint8 u8() { const uchar* b = take(1); return b ? b[0] : 0; }
    quint16 u16() { const uchar* b = take(2); return b ? qFromBigEndian<quint16>(b) : 0; }
    quint32 u32() { const uchar* b = take(4); return b ? qFromBigEndian<quint32>(b) : 0; }
    qint16 s16() { return qint16(u16()); }
    QRect rect() {  // top, left, bottom, right
        const int top = s16(), left = s16(), bottom = s16(), right = s16();
        return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
    void align() { if (at_ % 2) skip(1); }

private:
    const uchar* p_;
    qsizetype size_, at_;
    bool failed_ = false;
};

// One row of PackBits data: runs of literal bytes and of repeated units
// (bytes, or 16-bit pixels); false when the row runs out of bytes.
bool unpackBits(Cursor& c, qsizetype packed, int unit, QByteArray& row) {
    const qsizetype end = c.at() + packed;
    qsizetype filled = 0;
    while (c.at() < end && filled < row.size()) {
        const int n = qint8(c.u8());
        if (n == -128) continue;
        const int count = n >= 0 ? n + 1 : 1 - n;
        const uchar* data = c.take(n >= 0 ? qint64(count) * unit : unit);
        if (!data) return false;
        for (int i = 0; i < count && filled + unit <= row.size(); ++i, filled += unit)
            memcpy(row.data() + filled, n >= 0 ? data + i * unit : data, size_t(unit));
    }
    return c.at() <= end && c.skip(end - c.at());
}

struct PixMap {
    QRect bounds;
    int rowBytes = 0, packType = 0, pixelSize = 1, cmpCount = 1;
    std::vector<QRgb> colours;
    bool direct = false;
};

// PixMap or BitMap header after rowBytes (Imaging With QuickDraw A-26).
std::optional<PixMap> pixMap(Cursor& c, bool direct) {
    PixMap m;
    m.direct = direct;
    const quint16 rowBytes = c.u16();
    m.rowBytes = rowBytes & 0x3FFF;
    m.bounds = c.rect();
    if (rowBytes & 0x8000) {
        c.skip(2);  // version
        m.packType = c.u16();
        c.skip(12);  // packSize, hRes, vRes
        c.skip(2);   // pixelType
        m.pixelSize = c.u16();
        m.cmpCount = c.u16();
        c.skip(2 + 12);  // cmpSize, planeBytes, pmTable, pmReserved
        if (!direct) {
            c.skip(4);
            const quint16 flags = c.u16();
            const int count = c.u16() + 1;
            if (qint64(count) * 8 > c.left()) return std::nullopt;
            m.colours.assign(size_t(1) << std::min(m.pixelSize, 8), qRgb(0, 0, 0));
            for (int i = 0; i < count; ++i) {
                const int value = c.u16();
                const int r = c.u16() >> 8, g = c.u16() >> 8, b = c.u16() >> 8;
                const size_t index = (flags & 0x8000) ? size_t(i) : size_t(value);
                if (index < m.colours.size()) m.colours[index] = qRgb(r, g, b);
            }
        }
    } else if (!direct) {
        m.colours = {qRgb(255, 255, 255), qRgb(0, 0, 0)};  // a bit map: set bits black
    }
    const QSize size = m.bounds.size();
    if (c.failed() || size.width() <= 0 || size.height() <= 0 || size.width() > kMaxSide || size.height() > kMaxSide ||
        qint64(size.width()) * size.height() > kMaxPixels)
        return std::nullopt;
    if (direct ? (m.pixelSize != 16 && m.pixelSize != 32) : (m.pixelSize != 1 && m.pixelSize != 2 && m.pixelSize != 4 && m.pixelSize != 8))
        return std::nullopt;
    return m;
}

// The pixels after the rectangles and mode: one row after another, packed
// unless rows are short or the opcode says they are not.
QImage pixels(Cursor& c, const PixMap& m, bool packed) {
    const int width = m.bounds.width(), height = m.bounds.height();
    int unit = 1, packType = m.packType;
    if (m.direct && packType == 0) packType = m.pixelSize == 32 ? 4 : 3;
    qsizetype rowSize = m.rowBytes;
    if (m.direct && m.pixelSize == 32 && packType == 4) rowSize = qsizetype(width) * m.cmpCount;
    if (m.direct && m.pixelSize == 32 && packType == 2) rowSize = qsizetype(width) * 3;
    if (m.direct && m.pixelSize == 16 && packType == 3) unit = 2;
    const bool unpacked = !packed || m.rowBytes < 8 || packType == 1 || packType == 2;
    if (rowSize <= 0 || rowSize > qsizetype(width) * 4 + 16) return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    QByteArray row(rowSize, '\0');
    for (int y = 0; y < height; ++y) {
        if (unpacked) {
            const uchar* data = c.take(packType == 2 ? rowSize : m.rowBytes);
            if (!data) return {};
            memcpy(row.data(), data, size_t(std::min<qsizetype>(rowSize, packType == 2 ? rowSize : m.rowBytes)));
        } else {
            const qsizetype count = m.rowBytes > 250 ? c.u16() : c.u8();
            row.fill('\0');
            if (c.failed() || !unpackBits(c, count, unit, row)) return {};
        }
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* b = reinterpret_cast<const uchar*>(row.constData());
        for (int x = 0; x < width; ++x) {
            if (!m.direct) {
                const int bits = m.pixelSize, perByte = 8 / bits;
                const qsizetype at = x / perByte;
                const int index = at < rowSize ? (b[at] >> (8 - bits * (x % perByte + 1))) & ((1 << bits) - 1) : 0;
                line[x] = size_t(index) < m.colours.size() ? m.colours[size_t(index)] : qRgb(0, 0, 0);
            } else if (m.pixelSize == 16) {
                const quint16 v = 2 * x + 1 < rowSize ? quint16(b[2 * x] << 8 | b[2 * x + 1]) : 0;
                line[x] = qRgb((v >> 10 & 31) * 255 / 31, (v >> 5 & 31) * 255 / 31, (v & 31) * 255 / 31);
            } else if (packType == 4) {  // planes of red, green and blue (after alpha, when four)
                const qsizetype plane = m.cmpCount == 4 ? width : 0;
                line[x] = qRgb(b[plane + x], b[plane + width + x], b[plane + 2 * width + x]);
            } else if (packType == 2) {
                line[x] = qRgb(b[3 * x], b[3 * x + 1], b[3 * x + 2]);
            } else {
                line[x] = 4 * x + 3 < rowSize ? qRgb(b[4 * x + 1], b[4 * x + 2], b[4 * x + 3]) : qRgb(0, 0, 0);
            }
        }
    }
    return image;
}

// The data length of an opcode that draws nothing here, given what follows
// it; -1 for one that cannot be passed over.
qint64 opcodeLength(quint16 op, Cursor& c) {
    if (op == 0x0000 || op == 0x001C || op == 0x001E || (op >= 0x0038 && op <= 0x003F) || (op >= 0x0048 && op <= 0x004F) ||
        (op >= 0x0058 && op <= 0x005F) || (op >= 0x0078 && op <= 0x007F) || (op >= 0x0088 && op <= 0x008F))
        return 0;
    switch (op) {
    case 0x0004: return 1;
    case 0x0003: case 0x0005: case 0x0008: case 0x000D: case 0x0011: case 0x0015: case 0x0016: case 0x0023: case 0x00A0:
        return 2;
    case 0x0006: case 0x0007: case 0x000B: case 0x000C: case 0x000E: case 0x000F: case 0x0021: return 4;
    case 0x001A: case 0x001B: case 0x001D: case 0x001F: case 0x0022: return 6;
    case 0x0002: case 0x0009: case 0x000A: case 0x0010: case 0x0020: return 8;
    case 0x0C00: return 24;
    case 0x0028: { c.skip(4); return c.u8(); }
    case 0x0029: case 0x002A: { c.skip(1); return c.u8(); }
    case 0x002B: { c.skip(2); return c.u8(); }
    case 0x002C: case 0x002E: return c.u16();
    case 0x00A1: { c.skip(2); return c.u16(); }
    default: break;
    }
    if ((op >= 0x0030 && op <= 0x0037) || (op >= 0x0040 && op <= 0x0047) || (op >= 0x0050 && op <= 0x0057)) return 8;
    if (op >= 0x0060 && op <= 0x0067) return 12;
    if (op >= 0x0068 && op <= 0x006F) return 4;
    if (op == 0x0001 || (op >= 0x0070 && op <= 0x0077) || (op >= 0x0080 && op <= 0x0087)) return qint64(c.u16()) - 2;
    if (op >= 0x0100 && op <= 0x7FFF) return (op >> 8) * 2;  // reserved: their length is in their number
    if (op >= 0x8000 && op <= 0x80FF) return 0;
    if (op >= 0x8100) return c.u32();
    return -1;
}

}  // namespace

PictPicture::PictPicture(const QByteArray& bytes) {
    // A picture file starts with 512 bytes of its application's; a picture
    // kept in a drawing does not.
    if (!read(bytes, 0)) read(bytes, 512);
}

bool PictPicture::read(const QByteArray& bytes, qsizetype start) {
    bitmaps_.clear();
    Cursor c(bytes, start);
    c.skip(2);  // the size of version 1 pictures
    frame_ = QRectF(c.rect());
    if (c.u16() != 0x0011 || c.u16() != 0x02FF || !frame_.isValid() || c.failed()) return false;
    for (int n = 0; n < kMaxOpcodes && !c.failed() && int(bitmaps_.size()) < kMaxBitmaps; ++n) {
        c.align();
        const quint16 op = c.u16();
        if (c.failed() || op == 0x00FF) break;
        if ((op >= 0x0090 && op <= 0x0091) || (op >= 0x0098 && op <= 0x009B)) {
            const bool direct = op >= 0x009A;
            if (direct) c.skip(4);  // baseAddr
            const std::optional<PixMap> m = pixMap(c, direct);
            if (!m) break;
            const QRect source = c.rect();
            const QRect destination = c.rect();
            c.skip(2);  // mode
            if (op & 1) c.skip(qint64(c.u16()) - 2);  // the mask region
            QImage image = pixels(c, *m, op >= 0x0098);
            if (image.isNull()) break;
            const QRect inImage = source.translated(-m->bounds.topLeft()) & image.rect();
            if (!inImage.isEmpty()) bitmaps_.push_back({image.copy(inImage), QRectF(destination)});
            continue;
        }
        if (op == 0x8200) {  // QuickTime: an image description, then (for JPEG) the JPEG file
            const quint32 length = c.u32();
            const uchar* data = c.take(length);
            if (!data) break;
            const QByteArray payload(reinterpret_cast<const char*>(data), qsizetype(length));
            if (const qsizetype jpeg = payload.indexOf("\xFF\xD8\xFF"); jpeg >= 0) {
                const QImage image = decodeImage(payload.mid(jpeg), "jpeg");
                if (!image.isNull()) bitmaps_.push_back({image, frame_});
            }
            continue;
        }
        const qint64 length = opcodeLength(op, c);
        if (length < 0 || !c.skip(length)) break;
    }
    return !bitmaps_.empty();
}

QImage PictPicture::wholeBitmap() const {
    return bitmaps_.size() == 1 && bitmaps_[0].destination == frame_ ? bitmaps_[0].image : QImage();
}

bool PictPicture::play(QPainter& p, const QRectF& target) const {
    if (bitmaps_.empty() || frame_.isEmpty()) return false;
    p.save();
    p.setClipRect(target, Qt::IntersectClip);
    p.translate(target.topLeft());
    p.scale(target.width() / frame_.width(), target.height() / frame_.height());
    p.translate(-frame_.topLeft());
    for (const Bitmap& b : bitmaps_) p.drawImage(b.destination, b.image);
    p.restore();
    return true;
}

}  // namespace tabulon::reports::sheet
