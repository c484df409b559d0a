#include "host/cfb/StreamRead.h"

#include <algorithm>

namespace tabulon::cfb {

namespace {
// Large steps while the sectors are there; at the first gap, the smallest
// sector size, so that everything before the gap is kept.
constexpr gsf_off_t kChunk = 64 * 1024;
constexpr gsf_off_t kSector = 64;
}  // namespace

StreamBytes readAvailable(GsfInput* input, int64_t limit) {
    StreamBytes out;
    gsf_off_t left = gsf_input_remaining(input);
    gsf_off_t step = kChunk;
    while (left > 0) {
        const gsf_off_t want = std::min(left, step);
        if (out.bytes.size() + want > limit) {
            out.bytes.clear();
            out.overLimit = true;
            return out;
        }
        const qsizetype had = out.bytes.size();
        // Grown by doubling, never by the claimed size: a forged claim costs
        // nothing, a large real stream is copied a few times only.
        if (out.bytes.capacity() < had + want)
            out.bytes.reserve(std::max<qsizetype>(had + qsizetype(want), 2 * out.bytes.capacity()));
        out.bytes.resize(had + qsizetype(want));
        if (gsf_input_read(input, size_t(want), reinterpret_cast<guint8*>(out.bytes.data()) + had)) {
            left -= want;
            continue;
        }
        out.bytes.resize(had);
        if (step == kSector) {
            out.truncated = true;
            break;
        }
        step = kSector;
    }
    return out;
}

}  // namespace tabulon::cfb
