#include "host/vba/Decompress.h"

#include "common/Error.h"

#include <algorithm>

namespace tabulon::vba {
namespace {

constexpr qint64 ChunkDecompressedMax = 4096;

[[noreturn]] void damaged(const char* why) {
    throw Error(err::Refused, QStringLiteral("Damaged VBA compressed container: %1")
                                  .arg(QLatin1String(why)));
}

quint8 byteAt(const QByteArray& bytes, qint64 pos) {
    return static_cast<quint8>(bytes[pos]);
}

// Walks the chunk headers without decompressing: it proves that every chunk
// lies inside the stream and gives an upper bound of the output, 4096 bytes
// per chunk, before anything is allocated.
qint64 checkChunks(const QByteArray& stream, qint64 offset) {
    const qint64 end = stream.size();
    if (offset < 0 || offset >= end)
        damaged("source offset outside the stream");
    if (byteAt(stream, offset) != 0x01)
        damaged("signature byte is not 1");
    qint64 pos = offset + 1;
    qint64 bound = 0;
    while (pos < end) {
        if (end - pos < 2)
            damaged("truncated chunk header");
        const unsigned header = byteAt(stream, pos) | (byteAt(stream, pos + 1) << 8);
        if (((header >> 12) & 0x7) != 0x3)
            damaged("chunk signature is not 3");
        const qint64 chunkSize = (header & 0x0FFF) + 3;
        if (!(header & 0x8000) && chunkSize != ChunkDecompressedMax + 2)
            damaged("raw chunk of wrong size");
        if (pos + chunkSize > end)
            damaged("truncated chunk");
        pos += chunkSize;
        bound += ChunkDecompressedMax;
    }
    return bound;
}

// A copy token (MS-OVBA 2.4.1.3.19.2): the split between offset and length
// bits depends on how much of the chunk has been decompressed so far.
void copyToken(quint16 token, QByteArray& out, qint64 chunkStart) {
    const qint64 done = out.size() - chunkStart;
    if (done <= 0)
        damaged("copy token at the start of a chunk");
    int bitCount = 4;
    while ((qint64(1) << bitCount) < done)
        ++bitCount;
    const quint16 lengthMask = 0xFFFF >> bitCount;
    const qint64 length = (token & lengthMask) + 3;
    const qint64 offset = (token >> (16 - bitCount)) + 1;
    if (offset > done)
        damaged("copy token reaches before the chunk");
    // Some writers end a chunk with a copy that runs a few bytes past its
    // 4096; the next chunk starts with those bytes again, so the copy is cut
    // at the chunk's end (as Office reads such a module).
    const qint64 kept = std::min(length, ChunkDecompressedMax - done);
    // Byte by byte: source and destination may overlap (runs).
    qint64 from = out.size() - offset;
    for (qint64 i = 0; i < kept; ++i)
        out.append(out[from++]);
}

// One compressed chunk's token sequences (MS-OVBA 2.4.1.3.2).
void compressedChunk(const QByteArray& stream, qint64 pos, qint64 end, QByteArray& out) {
    const qint64 chunkStart = out.size();
    while (pos < end) {
        const quint8 flags = byteAt(stream, pos++);
        for (int bit = 0; bit < 8 && pos < end; ++bit) {
            if (!(flags & (1 << bit))) {
                if (out.size() - chunkStart >= ChunkDecompressedMax)
                    damaged("chunk decompresses to more than 4096 bytes");
                out.append(stream[pos++]);
                continue;
            }
            if (end - pos < 2)
                damaged("truncated copy token");
            if (out.size() - chunkStart >= ChunkDecompressedMax)
                damaged("chunk decompresses to more than 4096 bytes");
            copyToken(static_cast<quint16>(byteAt(stream, pos) | (byteAt(stream, pos + 1) << 8)),
                      out, chunkStart);
            pos += 2;
        }
    }
}

}  // namespace

qint64 containerEnd(const QByteArray& stream, qint64 offset) {
    const qint64 end = stream.size();
    if (offset < 0 || offset >= end)
        return end;
    qint64 pos = offset + 1;
    while (end - pos >= 2) {
        const unsigned header = byteAt(stream, pos) | (byteAt(stream, pos + 1) << 8);
        const qint64 chunkSize = (header & 0x0FFF) + 3;
        if (((header >> 12) & 0x7) != 0x3 || pos + chunkSize > end)
            break;
        pos += chunkSize;
    }
    return pos;
}

QByteArray decompress(const QByteArray& stream, qint64 offset, qint64 maxBytes) {
    const qint64 bound = checkChunks(stream, offset);
    if (bound > maxBytes)
        damaged("decompressed size above the limit");
    QByteArray out;
    out.reserve(bound);
    qint64 pos = offset + 1;
    while (pos < stream.size()) {
        const unsigned header = byteAt(stream, pos) | (byteAt(stream, pos + 1) << 8);
        const qint64 chunkEnd = pos + (header & 0x0FFF) + 3;
        if (header & 0x8000)
            compressedChunk(stream, pos + 2, chunkEnd, out);
        else
            out.append(stream.mid(pos + 2, ChunkDecompressedMax));
        pos = chunkEnd;
    }
    return out;
}

}  // namespace tabulon::vba
