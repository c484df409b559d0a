#include "host/Dib.h"

#include <QtEndian>

namespace tabulon::host {

QByteArray bmpFileOfDib(const QByteArray& dib) {
    if (dib.size() < 40) return {};
    const auto* p = reinterpret_cast<const uchar*>(dib.constData());
    const uint32_t infoSize = qFromLittleEndian<uint32_t>(p);
    const uint16_t bitCount = qFromLittleEndian<uint16_t>(p + 14);
    const uint32_t compression = qFromLittleEndian<uint32_t>(p + 16);
    const uint32_t used = qFromLittleEndian<uint32_t>(p + 32);
    if (infoSize < 40 || infoSize > uint32_t(dib.size())) return {};
    // The pixels follow the info header, the colour table and, for 16 and
    // 32 bit bitfields, three masks.
    const uint64_t colours = used ? used : bitCount <= 8 ? (1u << bitCount) : 0;
    const uint64_t offset = 14 + infoSize + colours * 4 + (infoSize == 40 && compression == 3 ? 12 : 0);
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

}  // namespace tabulon::host
