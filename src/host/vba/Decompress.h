#pragma once
// The VBA compression of MS-OVBA 2.4.1: a container is a signature byte 0x01
// followed by chunks, each a 2-byte header (size - 3 in 12 bits, signature
// 0b011, compressed flag) and at most 4096 decompressed bytes.
#include <QByteArray>

namespace tabulon::vba {

// The largest decompressed text accepted from one container; a module of
// this size would already be far beyond anything the editor can hold.
constexpr qint64 MaxDecompressedBytes = 32 * 1024 * 1024;

// Decompresses the container that starts at `offset` in `stream` and runs to
// the end of the stream. (libgsf's gsf_vba_inflate is not used: it misreads
// raw chunks and containers made of short chunks, both valid and both found
// in real projects.) Throws Error 1004 when the container is damaged
// (bad signature, truncated chunk) or would decompress to more than
// `maxBytes`.
QByteArray decompress(const QByteArray& stream, qint64 offset,
                      qint64 maxBytes = MaxDecompressedBytes);

// Where the container at `offset` ends in a stream that was read past its
// true end (its directory entry claimed more than the file holds, and the
// rest of the last sector came with it): after the last whole chunk, where
// a header follows that is no chunk's or a chunk that does not fit.
qint64 containerEnd(const QByteArray& stream, qint64 offset);

}  // namespace tabulon::vba
