#pragma once
// Crafted BIFF records for the reader tests: a little-endian byte builder and
// the few records every crafted sheet needs.
#include "host/xls/BookContext.h"
#include "host/xls/Readers.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace tabulon::xls::testbytes {

class Bytes {
public:
    Bytes& u8(int v) { b_.append(char(v & 0xFF)); return *this; }
    Bytes& u16(int v) { return u8(v).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    Bytes& f64(double v) { b_.append(reinterpret_cast<const char*>(&v), 8); return *this; }
    Bytes& latin(const char* s) { b_.append(s); return *this; }
    Bytes& wide(const QString& s) { for (QChar c : s) u16(c.unicode()); return *this; }
    Bytes& raw(const QByteArray& a) { b_.append(a); return *this; }
    const QByteArray& bytes() const { return b_; }

private:
    QByteArray b_;
};

inline QByteArray record(int type, const QByteArray& data) {
    return Bytes().u16(type).u16(int(data.size())).raw(data).bytes();
}
inline QByteArray sheetBof() {
    return record(rt::Bof, Bytes().u16(0x0600).u16(0x0010).u32(0).u32(0).u32(0).bytes());
}
inline QByteArray eof() { return record(rt::Eof, QByteArray()); }

// The sheet substream at the start of stream, read over the globals in
// book; its warnings join the book's.
inline model::Sheet readCrafted(const QByteArray& stream, Globals& book) {
    SheetEntry entry;
    entry.name = QStringLiteral("Crafted");
    SheetJob job;
    const BookContext ctx(book);
    readSheet(stream, entry, book, ctx, job);
    job.log.appendTo(book.warnings);
    return std::move(job.sheet);
}

}  // namespace tabulon::xls::testbytes
