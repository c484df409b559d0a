#pragma once
// Reading one stream of a compound file whose directory entry may claim more
// bytes than the file holds: the claim is only that, so the stream is read as
// far as its sectors go, and the caller learns that it was cut short. Other
// readers do the same; the user gets what is there with a warning.
#include <QByteArray>
#include <cstdint>
#include <gsf/gsf-input.h>

namespace tabulon::cfb {

struct StreamBytes {
    QByteArray bytes;
    bool truncated = false;  // the entry claimed more than could be read
    bool overLimit = false;  // more than `limit` bytes are there; nothing was kept
};

// Reads `input` from its current position. The buffer grows with what can
// really be read, never with the claimed size, and stops above `limit`.
StreamBytes readAvailable(GsfInput* input, int64_t limit);

}  // namespace tabulon::cfb
