#pragma once
// The record streams a binary workbook's parts are made of (MS-XLSB 2.1.4):
// each record is a type in one or two bytes and a size in one to four, seven
// bits a byte, then that many bytes of data. The data are read through the
// one checked byte cursor the .xls reader uses, and so are the strings,
// colours and cell areas most records share.
#include "host/model/Cells.h"
#include "host/model/Color.h"
#include "host/xls/ByteCursor.h"

#include <QByteArray>
#include <QString>

namespace tabulon::ooxml {

class ColorResolver;

struct BinaryRecord {
    uint32_t type = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0;  // of the record's data in its part
    xls::ByteCursor cursor() const { return xls::ByteCursor(data, size, offset); }
};

class RecordReader {
public:
    // `part` names the part in the reader's refusals; the bytes must outlive it.
    RecordReader(const QByteArray& bytes, const QString& part);
    // The next record; false at the end of the part. A header cut short, or a
    // record claiming more bytes than the part has left, throws Error 1004
    // naming the part and the offset: what came before it stays read.
    bool next(BinaryRecord& record);
    size_t offset() const { return pos_; }

private:
    [[noreturn]] void damaged(const QString& what) const;
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    QString part_;
};

// XLWideString: a 32-bit count of UTF-16 characters, then the characters.
QString wideString(xls::ByteCursor& c);
// XLNullableWideString: the same, 0xFFFFFFFF standing for no string.
QString nullableWideString(xls::ByteCursor& c);

// RichStr: a text with its formatting runs (each run's font a number into
// the styles part's fonts); phonetic runs are not part of the text.
struct RichText {
    QString text;
    model::TextRuns runs;
};
RichText richText(xls::ByteCursor& c);

// UncheckedRfX / RfX: first and last row, first and last column, 32 bits each.
model::Area readArea(xls::ByteCursor& c);

// BrtColor (8 bytes): automatic, a palette index, an RGB value or a theme
// colour with its tint, resolved as the XML parts' colours are.
model::Color readColor(xls::ByteCursor& c, const ColorResolver& colors);

}  // namespace tabulon::ooxml
