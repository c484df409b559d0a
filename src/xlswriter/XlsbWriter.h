#pragma once
// A small writer of binary workbooks (.xlsb), beside the .xls writer and for
// the same uses: the benchmark workbook and the tests' crafted cases. It
// lays out the package (content types, relationships), the workbook part
// with one Xti per sheet (a 3-D reference's ixti i is sheet i, as in the
// .xls writer), the shared strings and a minimal styles part; a test adds
// its own records where its rule needs them.
#include "xlswriter/XlsWriter.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <vector>

namespace tabulon::xlsw {

// The body of one record, built field by field.
class RecordBody {
public:
    RecordBody& u8(int v) { b_.append(char(v & 0xFF)); return *this; }
    RecordBody& u16(int v) { return u8(v).u8(v >> 8); }
    RecordBody& u32(quint32 v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    RecordBody& f64(double v);
    RecordBody& wide(const QString& s);  // XLWideString
    RecordBody& bytes(const QByteArray& b) { b_.append(b); return *this; }
    // A parsed formula: the tokens' and the extra bytes' counts, then each.
    RecordBody& formula(const QByteArray& rgce, const QByteArray& extra = {});
    const QByteArray& data() const { return b_; }

private:
    QByteArray b_;
};

// One record: its type and size as the format encodes them, then the body.
QByteArray record(int type, const QByteArray& body = {});
inline QByteArray record(int type, const RecordBody& body) { return record(type, body.data()); }

struct XlsbSheet {
    QString name;
    int state = 0;                // 0 visible, 1 hidden, 2 very hidden
    std::vector<XlsCell> cells;   // in row order; Formula cells carry biff12 tokens (Rgce(true))
    QByteArray head;              // records before the cells (BrtWsProp, BrtWsDim, BrtColInfo ...)
    QByteArray data;              // records among the cells, after them (BrtShrFmla, BrtArrFmla ...)
    QByteArray tail;              // records after the cells (merges, page setup, header ...)
    QString relsXml;              // the sheet part's own <Relationship/> elements, when it has any
    XlsbSheet& number(int row, int col, double v);
    XlsbSheet& text(int row, int col, const QString& s);  // a shared string
    // `extra` holds a shared or array formula's PtgExtraCol (the first
    // cell's column) after a PtgExp; the cached result is a number.
    XlsbSheet& formula(int row, int col, const Rgce& f, double cached = 0, const QByteArray& extra = {});
};

// One more Xti after the sheets' own: a supporting link and its sheets.
struct XlsbXti {
    int supBook = 0, firstTab = 0, lastTab = 0;
};

class XlsbWriter {
public:
    XlsbSheet& addSheet(const QString& name, int state = 0);
    QByteArray workbookRecords;   // after the sheet list and the Xti list: BrtName ...
    QByteArray externals;         // more supporting links after this workbook's (BrtSupBookSrc ...)
    std::vector<XlsbXti> moreXti; // Xtis of those links, after the sheets'
    QString codeName;             // the workbook's code name, in BrtWbProp
    // Other parts: name, bytes, content type; and relationships of the workbook part.
    void part(const QString& name, const QByteArray& bytes, const QString& type = {});
    QString workbookRels;         // more <Relationship/> elements from the workbook part

    QByteArray package() const;
    bool save(const QString& path) const;

private:
    QByteArray workbookPart() const;
    QByteArray sheetPart(const XlsbSheet& sheet, QStringList& strings) const;
    std::deque<XlsbSheet> sheets_;  // a deque keeps returned references valid
    struct Part {
        QString name, type;
        QByteArray bytes;
    };
    std::vector<Part> parts_;
};

}  // namespace tabulon::xlsw
