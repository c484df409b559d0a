#pragma once
// A checked little-endian reader over one formula buffer: every read that
// would pass the end throws instead of touching memory beyond it.
#include "host/Error.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tabulon::xls {

class PtgCursor {
public:
    PtgCursor(const uint8_t* data, size_t size, const char* what)
        : data_(data), size_(data ? size : 0), what_(what) {}

    bool atEnd() const { return pos_ >= size_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }

    uint8_t u8() { need(1); return data_[pos_++]; }
    uint8_t peek() const { need(1); return data_[pos_]; }
    uint16_t u16() {
        need(2);
        const uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t u32() {
        const uint32_t low = u16();
        return low | (static_cast<uint32_t>(u16()) << 16);
    }
    double f64() {
        need(8);
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | data_[pos_ + static_cast<size_t>(i)];
        pos_ += 8;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    void skip(size_t n) { need(n); pos_ += n; }

    // XLUnicodeString body after its count: a flag byte whose bit 0 says the
    // characters are stored as UTF-16LE rather than as their low bytes only.
    QString unicodeChars(size_t count) {
        const bool wide = (peek() & 0x01) != 0;
        need(1 + (wide ? count * 2 : count));  // before the text is sized by the count
        QString text(static_cast<qsizetype>(count), Qt::Uninitialized);
        QChar* out = text.data();
        unicodeChars(count, [&out](char16_t ch) { *out++ = QChar(ch); });
        return text;
    }
    // The same, handing each character to put.
    template <class Put>
    void unicodeChars(size_t count, Put&& put) {
        const bool wide = (u8() & 0x01) != 0;
        need(wide ? count * 2 : count);
        for (size_t i = 0; i < count; ++i)
            put(wide ? static_cast<char16_t>(data_[pos_ + 2 * i] | (data_[pos_ + 2 * i + 1] << 8))
                     : static_cast<char16_t>(data_[pos_ + i]));
        pos_ += wide ? count * 2 : count;
    }

private:
    void need(size_t n) const {
        if (n > size_ - pos_)
            throw Error(err::Refused, QStringLiteral("formula %1 truncated").arg(QLatin1String(what_)));
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    const char* what_;
};

}  // namespace tabulon::xls
