#include "host/ooxml/binary/Records.h"

#include "common/Error.h"
#include "host/ooxml/book/Colors.h"

#include <algorithm>

namespace tabulon::ooxml {

using xls::ByteCursor;

RecordReader::RecordReader(const QByteArray& bytes, const QString& part)
    : data_(reinterpret_cast<const uint8_t*>(bytes.constData())), size_(size_t(bytes.size())), part_(part) {}

void RecordReader::damaged(const QString& what) const {
    throw Error(err::Refused, QStringLiteral("%1: %2").arg(part_, what), ErrorDetail{-1, pos_, {}, {}});
}

bool RecordReader::next(BinaryRecord& r) {
    if (pos_ >= size_) return false;
    const size_t start = pos_;
    // The type: one byte, or two when the first has its top bit set.
    uint32_t type = data_[pos_++];
    if (type & 0x80) {
        if (pos_ >= size_) damaged(QStringLiteral("record header at offset %1 cut short").arg(start));
        type = (type & 0x7F) | (uint32_t(data_[pos_++] & 0x7F) << 7);
    }
    // The size: seven bits a byte, at most four bytes.
    uint32_t size = 0;
    for (int i = 0;; ++i) {
        if (pos_ >= size_) damaged(QStringLiteral("record header at offset %1 cut short").arg(start));
        const uint8_t b = data_[pos_++];
        size |= uint32_t(b & 0x7F) << (7 * i);
        if (!(b & 0x80)) break;
        if (i == 3) damaged(QStringLiteral("record size at offset %1 unreadable").arg(start));
    }
    if (size > size_ - pos_)
        damaged(QStringLiteral("record 0x%1 at offset %2 claims %3 bytes, the part has %4 left")
                    .arg(type, 4, 16, QLatin1Char('0')).arg(start).arg(size).arg(size_ - pos_));
    r.type = type;
    r.data = data_ + pos_;
    r.size = size;
    r.offset = pos_;
    pos_ += size;
    return true;
}

QString wideString(ByteCursor& c) {
    const uint32_t count = c.u32();
    if (count > c.remaining() / 2) c.need(size_t(count) * 2);  // throws before any work
    return c.chars(count, true);
}

QString nullableWideString(ByteCursor& c) {
    const uint32_t count = c.u32();
    if (count == 0xFFFFFFFFu) return QString();
    if (count > c.remaining() / 2) c.need(size_t(count) * 2);
    return c.chars(count, true);
}

RichText richText(ByteCursor& c) {
    RichText out;
    const uint8_t flags = c.u8();
    out.text = wideString(c);
    if (flags & 0x01) {  // fRichStr: runs of (first character, font)
        const uint32_t count = c.u32();
        if (count > c.remaining() / 4) c.need(size_t(count) * 4);
        for (uint32_t i = 0; i < count; ++i) {
            model::TextRun run;
            run.first = c.u16();
            run.font = c.u16();
            if (run.first < out.text.size() && (out.runs.empty() || run.first > out.runs.back().first)) out.runs.push_back(run);
        }
    }
    return out;
}

model::Area readArea(ByteCursor& c) {
    model::Area a;
    const uint32_t r1 = c.u32(), r2 = c.u32(), c1 = c.u32(), c2 = c.u32();
    const auto row = [](uint32_t v) { return int(std::min<uint32_t>(v, 1048575)); };
    const auto col = [](uint32_t v) { return int(std::min<uint32_t>(v, 16383)); };
    a.firstRow = std::min(row(r1), row(r2)), a.lastRow = std::max(row(r1), row(r2));
    a.firstCol = std::min(col(c1), col(c2)), a.lastCol = std::max(col(c1), col(c2));
    return a;
}

model::Color readColor(ByteCursor& c, const ColorResolver& colors) {
    const uint8_t kind = c.u8() >> 1;  // xColorType, above fValidRGB
    const uint8_t index = c.u8();
    const int16_t tint = c.i16();
    const uint8_t red = c.u8(), green = c.u8(), blue = c.u8();
    c.skip(1);  // alpha
    model::Color color;
    switch (kind) {
    case 1: color = colors.indexed(index); break;
    case 2: color = model::Color::of(uint32_t(red) << 16 | uint32_t(green) << 8 | blue); break;
    case 3:
        if (index < colors.theme.colors.size()) color = model::Color::of(colors.theme.colors[index]);
        break;
    default: return color;  // automatic, or not set
    }
    if (tint != 0 && !color.automatic) color = model::Color::of(applyTint(color.rgb, tint > 0 ? tint / 32767.0 : tint / 32768.0));
    return color;
}

}  // namespace tabulon::ooxml
