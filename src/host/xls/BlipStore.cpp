// The pictures of a workbook: the BLIP store in the drawing group (MS-ODRAW
// 2.2.20 OfficeArtBStoreContainer), one OfficeArtFBSE per picture with the
// picture's record embedded after it, or the picture's record alone. A
// shape names its picture by its place in the store (the pib property).
#include "host/xls/SheetLayout.h"

#include "host/Dib.h"

#include <QtEndian>
#include <algorithm>
#include <zlib.h>

namespace tabulon::xls {

namespace {

constexpr uint16_t kDggContainer = 0xF000, kBStoreContainer = 0xF001, kFbse = 0xF007;
constexpr size_t kFbseFixed = 36;

bool isBlip(uint16_t type) { return type >= 0xF018 && type <= 0xF117; }

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

// A metafile may not grow past this when it is inflated.
constexpr uLong kMaxMetafileBytes = 64u << 20;

// The zlib stream of a compressed metafile, inflated up to the size its
// header gives (within the cap): a longer stream is cut there, a damaged
// one gives nothing.
QByteArray inflateMetafile(const uchar* data, size_t size, uint32_t claimed) {
    if (claimed == 0 || claimed > kMaxMetafileBytes) return {};
    QByteArray out(qsizetype(claimed), Qt::Uninitialized);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(std::min<size_t>(size, UINT32_MAX));
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int status = inflate(&z, Z_FINISH);
    const uLong produced = z.total_out;
    inflateEnd(&z);
    // A stream cut short still gives the records it holds; the player stops
    // at the first one that runs past the end.
    if ((status != Z_STREAM_END && status != Z_BUF_ERROR) || produced == 0) return {};
    out.truncate(qsizetype(produced));
    return out;
}

// A .wmf file's placeable header (MS-WMF 2.3.2.3) before a blip's
// metafile, which the store keeps without one: the picture's bounds, and
// its units an inch from its size in EMUs (914,400 an inch), so a player
// knows its frame and its size.
QByteArray placeable(const uchar* header) {
    QByteArray out(22, '\0');
    auto* p = reinterpret_cast<uchar*>(out.data());
    qToLittleEndian<uint32_t>(0x9AC6CDD7u, p);
    int32_t bounds[4];
    for (int i = 0; i < 4; ++i) {
        bounds[i] = std::clamp(qFromLittleEndian<int32_t>(header + 4 + 4 * i), -32768, 32767);
        qToLittleEndian<int16_t>(int16_t(bounds[i]), p + 6 + 2 * i);
    }
    const int64_t emus = qFromLittleEndian<int32_t>(header + 20), units = std::abs(int64_t(bounds[2]) - bounds[0]);
    const int64_t inch = emus > 0 && units > 0 ? std::clamp<int64_t>(units * 914400 / emus, 1, 65535) : 1440;
    qToLittleEndian<uint16_t>(uint16_t(inch), p + 14);
    uint16_t check = 0;
    for (int i = 0; i < 10; ++i) check ^= qFromLittleEndian<uint16_t>(p + 2 * i);
    qToLittleEndian<uint16_t>(check, p + 20);
    return out;
}

// A metafile blip's data: an OfficeArtMetafileHeader (MS-ODRAW 2.2.31) of
// 34 bytes, then the file, deflated unless the header says 0xFE.
model::Picture metafileOf(const QByteArray& art, size_t body, size_t end, model::Picture::Kind kind) {
    constexpr size_t kHeader = 34;
    if (body + kHeader >= end) return model::Picture{};
    const auto* p = reinterpret_cast<const uchar*>(art.constData()) + body;
    const uint32_t size = qFromLittleEndian<uint32_t>(p);
    const uint32_t saved = qFromLittleEndian<uint32_t>(p + 28);
    const size_t present = std::min<size_t>(end - body - kHeader, saved ? saved : UINT32_MAX);
    model::Picture b;
    b.kind = kind;
    if (p[32] == 0xFE) b.data = art.mid(qsizetype(body + kHeader), qsizetype(present));
    else if (p[32] == 0x00) b.data = inflateMetafile(p + kHeader, present, size);
    if (b.data.isEmpty()) b.kind = model::Picture::Missing;
    else if (kind == model::Picture::Wmf && !b.data.startsWith("\xD7\xCD\xC6\x9A")) b.data.prepend(placeable(p));
    return b;
}

// The picture in an OfficeArtBlip record: after one or two 16-byte ids
// (two when the instance is odd) a bitmap has a tag byte and then its file,
// a metafile its header and then its (compressed) file.
model::Picture blipOf(const QByteArray& art, size_t at, const Header& h) {
    model::Picture b;
    const size_t end = std::min(at + 8 + size_t(h.length), size_t(art.size()));
    size_t body = at + 8 + 16 + ((h.instance & 1) ? 16 : 0);
    switch (h.type) {
    case 0xF01A: return metafileOf(art, body, end, model::Picture::Emf);
    case 0xF01B: return metafileOf(art, body, end, model::Picture::Wmf);
    case 0xF01C: return metafileOf(art, body, end, model::Picture::Pict);
    case 0xF01D: case 0xF02A: b.kind = model::Picture::Jpeg; body += 1; break;
    case 0xF01E: b.kind = model::Picture::Png; body += 1; break;
    case 0xF01F: b.kind = model::Picture::Bmp; body += 1; break;
    default: b.kind = model::Picture::Other; break;
    }
    if (body >= end) return model::Picture{};
    b.data = art.mid(qsizetype(body), qsizetype(end - body));
    if (b.kind == model::Picture::Bmp) {
        b.data = host::bmpFileOfDib(b.data);
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
            if (blipAt < next && header(art, blipAt, inner) && isBlip(inner.type)) b = blipOf(art, blipAt, inner);
        } else if (isBlip(h.type)) {
            b = blipOf(art, at, h);  // a store entry may be the picture's record itself
        }
        blips.push_back(std::move(b));  // an empty slot keeps the later pictures' places
        at = next;
    }
    return blips;
}

}  // namespace tabulon::xls
