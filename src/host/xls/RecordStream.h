#pragma once
// BIFF8 record stream (MS-XLS 2.1.4): 2-byte type, 2-byte size, data. A record
// longer than 8224 bytes goes on in CONTINUE records; the stream joins them so
// each parse function sees one record, and remembers where each continuation
// began, because strings restart their character-width flag there.
#include "host/xls/ByteCursor.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace tabulon::xls {

namespace rt {
constexpr uint16_t Formula = 0x0006, Eof = 0x000A, Protect = 0x0012, Password = 0x0013,
    ExternSheet = 0x0017, Lbl = 0x0018, Note = 0x001C, ExternName = 0x0023, PrintHeaders = 0x002A,
    FilePass = 0x002F, Continue = 0x003C, CodePage = 0x0042, Obj = 0x005D, WsBool = 0x0081,
    BoundSheet8 = 0x0085, SetupRec = 0x00A1, MulRk = 0x00BD, MulBlank = 0x00BE, Sst = 0x00FC,
    LabelSst = 0x00FD, SupBook = 0x01AE, Txo = 0x01B6, Dimensions = 0x0200, Blank = 0x0201,
    Number = 0x0203, Label = 0x0204, BoolErr = 0x0205, StringRec = 0x0207, Array = 0x0221,
    Table = 0x0236, Rk = 0x027E, ShrFmla = 0x04BC, Bof = 0x0809, RString = 0x00D6,
    Bof2 = 0x0009, Bof3 = 0x0209, Bof4 = 0x0409, MsoDrawing = 0x00EC, MsoDrawingGroup = 0x00EB,
    Palette = 0x0092, CodeName = 0x01BA;
}

struct Record {
    uint16_t type = 0;
    size_t offset = 0;                 // of the record header in the stream
    // A record without CONTINUEs is read where it lies in the stream, which
    // outlives every record; one with CONTINUEs is joined into data.
    std::vector<uint8_t> data;         // joined data of the record and its CONTINUEs
    std::vector<size_t> segmentStarts; // offsets in data where each CONTINUE began
    const uint8_t* inStream = nullptr; // the data in the stream, when not joined
    size_t inStreamSize = 0;

    bool joined() const { return !segmentStarts.empty(); }
    const uint8_t* bytes() const { return joined() ? data.data() : inStream; }
    size_t size() const { return joined() ? data.size() : inStreamSize; }
    ByteCursor cursor() const { return ByteCursor(bytes(), size(), offset + 4); }
    // True when offset p starts a CONTINUE segment.
    bool isSegmentStart(size_t p) const;
    // First segment start after p, or data.size().
    size_t nextSegmentStart(size_t p) const;
};

// Reads a string that may be split over CONTINUE boundaries, where each new
// segment starts with its own width flag byte (MS-XLS 2.5.293 and 2.4.58).
QString readContinuedChars(const Record& rec, ByteCursor& c, size_t cch, bool wide);

class RecordStream {
public:
    explicit RecordStream(const QByteArray& stream) : bytes_(stream) {}
    // Positions the stream at an absolute offset (a sheet's BOF).
    void seek(size_t offset) { pos_ = offset; }
    size_t pos() const { return pos_; }
    // Next record with its CONTINUEs joined; false at the end of the stream.
    // A header that claims more bytes than remain ends the stream and sets
    // truncated().
    bool next(Record& rec);
    // Steps over the next record and its CONTINUEs exactly as next() does,
    // giving only its type.
    bool skip(uint16_t& type);
    bool truncated() const { return truncated_; }

private:
    bool readHeader(size_t at, uint16_t& type, uint16_t& size) const {
        if (at + 4 > size_t(bytes_.size())) return false;
        const auto* p = reinterpret_cast<const uint8_t*>(bytes_.constData()) + at;
        type = uint16_t(p[0] | (p[1] << 8));
        size = uint16_t(p[2] | (p[3] << 8));
        return true;
    }

    QByteArray bytes_;
    size_t pos_ = 0;
    bool truncated_ = false;
};

}  // namespace tabulon::xls

namespace tabulon::xls {
// XLUnicodeString (MS-XLS 2.5.294): 16-bit count, flags, characters.
QString readUnicodeString16(const Record& rec, ByteCursor& c);
// ShortXLUnicodeString (MS-XLS 2.5.240): 8-bit count, flags, characters.
QString readUnicodeString8(const Record& rec, ByteCursor& c);
}  // namespace tabulon::xls
