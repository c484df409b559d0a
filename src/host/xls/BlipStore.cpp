// The pictures of a workbook: the BLIP store in the drawing group (MS-ODRAW
// 2.2.20 OfficeArtBStoreContainer), one OfficeArtFBSE per picture with the
// picture's record embedded after it. A shape names its picture by its
// place in the store (the pib property).
#include "host/xls/SheetLayout.h"

#include <QtEndian>

namespace tabulon::xls {

namespace {

constexpr uint16_t kDggContainer = 0xF000, kBStoreContainer = 0xF001, kFbse = 0xF007;
constexpr size_t kFbseFixed = 36;

struct Header {
    uint16_t instance = 0, type = 0;
    uint32_t length = 0;
};

bool header(const QByteArray& art, size_t at, Header& h) {
    if (at + 8 > size_t(art.size())) return false;
    const auto* p = reinterpret_cast<const uchar*>(art.constData()) + at;
    h.instance = qFromLittleEndian<uint16_t>(p) >> 4;
    h.type = qFromLittleEndian<uint16_t>(p + 2);
    h.length = qFromLittleEndian<uint32_t>(p + 4);
    return true;
}

// A .bmp file header before a DIB: the file size and where the pixels start,
// after the info header and the colour table.
QByteArray bmpFile(const QByteArray& dib) {
    if (dib.size() < 40) return {};
    const auto* p = reinterpret_cast<const uchar*>(dib.constData());
    const uint32_t infoSize = qFromLittleEndian<uint32_t>(p);
    const uint16_t bitCount = qFromLittleEndian<uint16_t>(p + 14);
    const uint32_t compression = qFromLittleEndian<uint32_t>(p + 16);
    const uint32_t used = qFromLittleEndian<uint32_t>(p + 32);
    if (infoSize < 40 || infoSize > uint32_t(dib.size())) return {};
    uint64_t colours = used ? used : bitCount <= 8 ? (1u << bitCount) : 0;
    uint64_t offset = 14 + infoSize + colours * 4 + (infoSize == 40 && compression == 3 ? 12 : 0);
    if (offset > uint64_t(dib.size()) + 14) return {};
    QByteArray out("BM");
    const auto put32 = [&out](uint32_t v) {
        uchar b[4];
        qToLittleEndian(v, b);
        out.append(reinterpret_cast<const char*>(b), 4);
    };
    put32(uint32_t(dib.size() + 14));
    put32(0);
    put32(uint32_t(offset));
    return out + dib;
}

// The picture in an OfficeArtBlip record: after one or two 16-byte ids
// (two when the instance is odd) a bitmap has a tag byte and then its file.
model::Picture blipOf(const QByteArray& art, size_t at, const Header& h) {
    model::Picture b;
    const size_t end = std::min(at + 8 + size_t(h.length), size_t(art.size()));
    size_t body = at + 8 + 16 + ((h.instance & 1) ? 16 : 0);
    switch (h.type) {
    case 0xF01A: b.kind = model::Picture::Emf; break;
    case 0xF01B: b.kind = model::Picture::Wmf; break;
    case 0xF01D: case 0xF02A: b.kind = model::Picture::Jpeg; body += 1; break;
    case 0xF01E: b.kind = model::Picture::Png; body += 1; break;
    case 0xF01F: b.kind = model::Picture::Bmp; body += 1; break;
    default: b.kind = model::Picture::Other; break;
    }
    if (body >= end) return model::Picture{};
    b.data = art.mid(qsizetype(body), qsizetype(end - body));
    if (b.kind == model::Picture::Bmp) {
        b.data = bmpFile(b.data);
        if (b.data.isEmpty()) b.kind = model::Picture::Missing;
    }
    return b;
}

}  // namespace

std::vector<model::Picture> parseBlipStore(const QByteArray& art) {
    std::vector<model::Picture> blips;
    Header h;
    size_t at = 0;
    // The drawing group container, then its children up to the store.
    if (!header(art, at, h) || h.type != kDggContainer) return blips;
    at += 8;
    const size_t dggEnd = std::min(size_t(art.size()), at + size_t(h.length));
    while (at < dggEnd && header(art, at, h) && h.type != kBStoreContainer) at += 8 + size_t(h.length);
    if (at >= dggEnd || h.type != kBStoreContainer) return blips;
    const size_t storeEnd = std::min(dggEnd, at + 8 + size_t(h.length));
    at += 8;
    while (at + 8 <= storeEnd && header(art, at, h)) {
        const size_t next = at + 8 + size_t(h.length);
        model::Picture b;
        Header inner;
        if (h.type == kFbse && h.length >= kFbseFixed && at + 8 + kFbseFixed <= size_t(art.size())) {
            const int cbName = uchar(art[qsizetype(at + 8 + 33)]);
            const size_t blipAt = at + 8 + kFbseFixed + size_t(cbName);
            if (blipAt < next && header(art, blipAt, inner) && inner.type >= 0xF018 && inner.type <= 0xF117)
                b = blipOf(art, blipAt, inner);
        }
        blips.push_back(std::move(b));  // an empty slot keeps the later pictures' places
        at = next;
    }
    return blips;
}

}  // namespace tabulon::xls
