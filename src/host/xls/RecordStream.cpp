#include "host/xls/RecordStream.h"

#include <algorithm>

namespace tabulon::xls {

bool Record::isSegmentStart(size_t p) const {
    return std::binary_search(segmentStarts.begin(), segmentStarts.end(), p);
}

size_t Record::nextSegmentStart(size_t p) const {
    auto it = std::upper_bound(segmentStarts.begin(), segmentStarts.end(), p);
    return it == segmentStarts.end() ? size() : *it;
}

QString readContinuedChars(const Record& rec, ByteCursor& c, size_t cch, bool wide) {
    // Most strings lie within one segment: one piece, no joining.
    if (cch > 0 && !rec.isSegmentStart(c.pos()) && (rec.nextSegmentStart(c.pos()) - c.pos()) / (wide ? 2 : 1) >= cch)
        return c.chars(cch, wide);
    QString out;
    out.reserve(qsizetype(std::min(cch, c.remaining())));
    while (cch > 0) {
        // A character run that reaches a CONTINUE boundary goes on after a
        // fresh width flag byte.
        if (rec.isSegmentStart(c.pos()))
            wide = (c.u8() & 0x01) != 0;
        const size_t end = rec.nextSegmentStart(c.pos());
        const size_t width = wide ? 2 : 1;
        size_t fits = (end - c.pos()) / width;
        if (fits == 0) {
            if (end >= c.size()) c.need(width);  // truncated: throws
            c.seek(end);                        // a stray byte before a boundary
            continue;
        }
        const size_t n = std::min(fits, cch);
        out += c.chars(n, wide);
        cch -= n;
    }
    return out;
}

bool RecordStream::next(Record& rec) {
    uint16_t type = 0, size = 0;
    if (!readHeader(pos_, type, size)) return false;
    const auto* base = reinterpret_cast<const uint8_t*>(bytes_.constData());
    const size_t total = size_t(bytes_.size());
    if (pos_ + 4 + size > total) {
        truncated_ = true;
        pos_ = total;
        return false;
    }
    rec.type = type;
    rec.offset = pos_;
    rec.inStream = base + pos_ + 4;
    rec.inStreamSize = size;
    rec.data.clear();
    rec.segmentStarts.clear();
    pos_ += 4 + size;
    while (readHeader(pos_, type, size) && type == rt::Continue) {
        if (pos_ + 4 + size > total) {
            truncated_ = true;
            pos_ = total;
            break;
        }
        if (!rec.joined()) rec.data.assign(rec.inStream, rec.inStream + rec.inStreamSize);
        rec.segmentStarts.push_back(rec.data.size());
        rec.data.insert(rec.data.end(), base + pos_ + 4, base + pos_ + 4 + size);
        pos_ += 4 + size;
    }
    return true;
}


bool RecordStream::skip(uint16_t& type) {
    uint16_t size = 0;
    if (!readHeader(pos_, type, size)) return false;
    const size_t total = size_t(bytes_.size());
    if (pos_ + 4 + size > total) {
        truncated_ = true;
        pos_ = total;
        return false;
    }
    pos_ += 4 + size;
    uint16_t next = 0;
    while (readHeader(pos_, next, size) && next == rt::Continue) {
        if (pos_ + 4 + size > total) {
            truncated_ = true;
            pos_ = total;
            break;
        }
        pos_ += 4 + size;
    }
    return true;
}

}  // namespace tabulon::xls

namespace tabulon::xls {

QString readUnicodeString16(const Record& rec, ByteCursor& c) {
    const size_t cch = c.u16();
    const bool wide = (c.u8() & 0x01) != 0;
    return readContinuedChars(rec, c, cch, wide);
}

QString readUnicodeString8(const Record& rec, ByteCursor& c) {
    const size_t cch = c.u8();
    const bool wide = (c.u8() & 0x01) != 0;
    return readContinuedChars(rec, c, cch, wide);
}

}  // namespace tabulon::xls
