#pragma once
// The one way untrusted bytes are read: BIFF records, formula tokens, property
// sets, the VBA dir stream. Every read is bounds-checked and little-endian; a
// short read throws, it never reads past the buffer.
#include "common/Error.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tabulon::xls {

// Damage found in one record: what was wrong, in which record, at which
// offset. It is the system's error value (1004) with that detail, so the
// reader's callers see one error type; the reader catches it apart to skip a
// damaged record and remember it as a warning.
class FormatError : public Error {
public:
    FormatError(QString reason, size_t offset, int recordType = -1)
        : Error(err::Refused, std::move(reason), ErrorDetail{recordType, offset, {}, {}}) {}
    const QString& reason() const noexcept { return description(); }
    size_t offset() const noexcept { return detail().offset; }
    int recordType() const noexcept { return detail().record; }
};

class ByteCursor {
public:
    // Over one record's data (or a part of a stream that stands for one): a
    // short read is record damage, a FormatError.
    ByteCursor(const uint8_t* data, size_t size, size_t baseOffset = 0)
        : data_(data), size_(data ? size : 0), base_(baseOffset) {}
    // Over bytes that are not a record's, named by `subject` ("formula
    // tokens", "dir stream"): a short read is Error 1004 "<subject>
    // truncated" with the offset as detail. `subject` must outlive the cursor.
    ByteCursor(const char* subject, const uint8_t* data, size_t size)
        : data_(data), size_(data ? size : 0), base_(0), subject_(subject) {}
    ByteCursor(const char* subject, const QByteArray& bytes)
        : ByteCursor(subject, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())) {}

    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }
    const uint8_t* data() const { return data_; }

    void need(size_t n) const {
        if (n > remaining()) [[unlikely]]
            shortRead();
    }
    void seek(size_t p) {
        if (p > size_)
            throw FormatError(QStringLiteral("offset out of range"), base_ + pos_);
        pos_ = p;
    }
    void skip(size_t n) { need(n); pos_ += n; }
    const uint8_t* take(size_t n) { need(n); const uint8_t* p = data_ + pos_; pos_ += n; return p; }

    uint8_t u8() { return *take(1); }
    uint8_t peek() const { need(1); return data_[pos_]; }
    uint16_t u16() { const uint8_t* p = take(2); return uint16_t(p[0] | (p[1] << 8)); }
    int16_t i16() { return int16_t(u16()); }
    uint32_t u32() {
        const uint8_t* p = take(4);
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }
    int32_t i32() { return int32_t(u32()); }
    uint64_t u64() { uint64_t lo = u32(); uint64_t hi = u32(); return lo | (hi << 32); }
    double f64() { uint64_t v = u64(); double d; std::memcpy(&d, &v, 8); return d; }

    // cch characters, one byte each (Latin-1, high byte zero) or UTF-16LE.
    QString chars(size_t cch, bool wide) {
        if (wide) {
            if (cch > remaining() / 2) need(cch * 2);  // throws before the multiply could overflow
            const uint8_t* p = take(cch * 2);
            QString s(qsizetype(cch), Qt::Uninitialized);
            QChar* out = s.data();
            for (size_t i = 0; i < cch; ++i)
                out[i] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
            return s;
        }
        const uint8_t* p = take(cch);
        return QString::fromLatin1(reinterpret_cast<const char*>(p), qsizetype(cch));
    }
    // XLUnicodeString body after its count (MS-XLS 2.5.294): a flag byte whose
    // bit 0 says the characters are UTF-16LE rather than their low bytes only.
    QString unicodeChars(size_t cch) {
        const bool wide = (u8() & 0x01) != 0;
        return chars(cch, wide);
    }
    // The same, handing each character to put instead of building a string.
    template <class Put>
    void unicodeChars(size_t cch, Put&& put) {
        const bool wide = (u8() & 0x01) != 0;
        if (wide && cch > remaining() / 2) need(cch * 2);  // before the multiply could overflow
        const uint8_t* p = take(wide ? cch * 2 : cch);
        for (size_t i = 0; i < cch; ++i)
            put(wide ? char16_t(p[2 * i] | (p[2 * i + 1] << 8)) : char16_t(p[i]));
    }

private:
    // Kept out of line so that need() stays small enough to inline into
    // every read of the hot record loops.
    [[noreturn, gnu::cold, gnu::noinline]] void shortRead() const {
        if (subject_)
            throw Error(err::Refused, QStringLiteral("%1 truncated").arg(QLatin1String(subject_)),
                        ErrorDetail{-1, base_ + pos_, {}, {}});
        throw FormatError(QStringLiteral("record data truncated"), base_ + pos_);
    }

    const uint8_t* data_;
    size_t size_;
    size_t base_;
    size_t pos_ = 0;
    const char* subject_ = nullptr;
};

}  // namespace tabulon::xls
