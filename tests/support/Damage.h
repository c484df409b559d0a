#pragma once
// Damage done to crafted workbooks, shared by the reader's and the command
// line's tests.
#include <QFile>
#include <QString>

namespace tabulon::test {

// Adds `extra` to the size of the stream entry named `name` (MS-CFB 2.6:
// 128-byte entries, the name in UTF-16 with its byte length at 0x40, the
// object type at 0x42, the stream size at 0x78): the stream then claims more
// bytes than its sectors hold.
inline bool claimMore(const QString& path, const QString& name, quint32 extra) {
    QFile f(path);
    QByteArray bytes = f.open(QIODevice::ReadWrite) ? f.readAll() : QByteArray();
    const QByteArray wanted = QByteArray(reinterpret_cast<const char*>(name.utf16()), name.size() * 2) + QByteArray(2, 0);
    for (qsizetype at = 512; at + 128 <= bytes.size(); at += 128) {
        const auto u8 = [&](qsizetype k) { return quint32(quint8(bytes[at + k])); };
        if ((u8(0x40) | (u8(0x41) << 8)) != quint32(wanted.size()) || u8(0x42) != 2 || bytes.mid(at, wanted.size()) != wanted)
            continue;
        const quint32 size = (u8(0x78) | (u8(0x79) << 8) | (u8(0x7A) << 16) | (u8(0x7B) << 24)) + extra;
        for (int k = 0; k < 4; ++k) bytes[at + 0x78 + k] = char((size >> (8 * k)) & 0xFF);
        return f.seek(0) && f.write(bytes) == bytes.size();
    }
    return false;
}

// The offset of the n-th (0-based) record of `type` in a stream of BIFF
// records, or -1.
inline qsizetype recordOffset(const QByteArray& stream, int type, int n) {
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const int t = quint8(stream[at]) | quint8(stream[at + 1]) << 8;
        const int length = quint8(stream[at + 2]) | quint8(stream[at + 3]) << 8;
        if (t == type && n-- == 0) return at;
        at += 4 + length;
    }
    return -1;
}

// Makes the length of the record at `at` reach far past its end, over the
// records that follow it.
inline void overlongRecord(QByteArray& stream, qsizetype at) {
    stream[at + 2] = char(0xF0);
    stream[at + 3] = char(0x7F);
}

}  // namespace tabulon::test
