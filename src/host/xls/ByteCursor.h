#pragma once
// The one way untrusted bytes are read. Every read is bounds-checked: a short
// read throws FormatError carrying the offset, never reads past the buffer.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

namespace tabulon::xls {

// Damage found in the file: what was wrong, in which record, at which offset.
class FormatError : public std::exception {
public:
    FormatError(QString reason, size_t offset, int recordType = -1)
        : reason_(std::move(reason)), offset_(offset), recordType_(recordType),
          what_(text().toStdString()) {}
    const QString& reason() const noexcept { return reason_; }
    size_t offset() const noexcept { return offset_; }
    int recordType() const noexcept { return recordType_; }
    QString text() const {
        QString t = reason_ + QStringLiteral(" at offset %1").arg(offset_);
        if (recordType_ >= 0)
            t += QStringLiteral(" (record 0x%1)").arg(recordType_, 4, 16, QLatin1Char('0'));
        return t;
    }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    QString reason_;
    size_t offset_;
    int recordType_;
    std::string what_;
};

class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size, size_t baseOffset = 0)
        : data_(data), size_(size), base_(baseOffset) {}

    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }
    const uint8_t* data() const { return data_; }

    void need(size_t n) const {
        if (n > remaining())
            throw FormatError(QStringLiteral("record data truncated"), base_ + pos_);
    }
    void seek(size_t p) {
        if (p > size_)
            throw FormatError(QStringLiteral("offset out of range"), base_ + pos_);
        pos_ = p;
    }
    void skip(size_t n) { need(n); pos_ += n; }
    const uint8_t* take(size_t n) { need(n); const uint8_t* p = data_ + pos_; pos_ += n; return p; }

    uint8_t u8() { return *take(1); }
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

private:
    const uint8_t* data_;
    size_t size_;
    size_t base_;
    size_t pos_ = 0;
};

}  // namespace tabulon::xls
