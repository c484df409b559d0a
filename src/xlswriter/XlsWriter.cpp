#include "xlswriter/XlsWriter.h"
#include "xlswriter/XlsWriterParts.h"

#include <QHash>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <cstring>


namespace tabulon::xlsw {
namespace detail {

void put16(QByteArray& b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
void put32(QByteArray& b, quint32 v) { put16(b, quint16(v & 0xFFFF)); put16(b, quint16(v >> 16)); }
void putDouble(QByteArray& b, double v) {
    char raw[8];
    std::memcpy(raw, &v, 8);
    b.append(raw, 8);
}

bool fitsLatin1(const QString& s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x100; });
}

// Character bytes after the flags byte: 8-bit when every character fits.
QByteArray chars(const QString& s, bool compressed) {
    QByteArray b;
    for (QChar c : s) {
        if (compressed)
            b.append(char(c.unicode()));
        else
            put16(b, c.unicode());
    }
    return b;
}

// XLUnicodeString: 16-bit count, flags, characters.
QByteArray xlString(const QString& s) {
    QByteArray b;
    bool compressed = fitsLatin1(s);
    put16(b, quint16(s.size()));
    b.append(char(compressed ? 0 : 1));
    b.append(chars(s, compressed));
    return b;
}

// ShortXLUnicodeString: 8-bit count, flags, characters.
QByteArray shortString(const QString& s) {
    QByteArray b;
    bool compressed = fitsLatin1(s);
    b.append(char(s.size()));
    b.append(char(compressed ? 0 : 1));
    b.append(chars(s, compressed));
    return b;
}

QByteArray record(quint16 type, const QByteArray& body) {
    QByteArray b;
    put16(b, type);
    put16(b, quint16(body.size()));
    return b + body;
}

}  // namespace detail

using namespace detail;

namespace {

QByteArray bof(quint16 dt) {
    QByteArray b;
    put16(b, 0x0600);
    put16(b, dt);
    put16(b, 0x0DBB);
    put16(b, 0x07CC);
    put32(b, 0x00000041);
    put32(b, 0x00000006);
    return record(0x0809, b);
}

// sstIndex maps each text to its SST position; a hash keeps large sheets
// (hundreds of thousands of texts) linear to write.
QByteArray sheetStream(const XlsSheet& sheet, const QHash<QString, int>& sstIndex, const QByteArray& drawing) {
    if (sheet.chart) return bof(0x0020) + record(0x000A, {});
    QByteArray out = bof(0x0010);
    if (sheet.protectedContents) {  // PROTECT and PASSWORD, MS-XLS 2.4.207 and 2.4.191
        QByteArray on, hash;
        put16(on, 1); put16(hash, sheet.passwordHash);
        out += record(0x0012, on);
        if (sheet.passwordHash) out += record(0x0013, hash);
    }
    int lastRow = -1, lastCol = -1, firstRow = 1 << 30, firstCol = 1 << 30;
    for (const auto& c : sheet.cells) {
        lastRow = std::max(lastRow, c.row);
        lastCol = std::max(lastCol, c.col);
        firstRow = std::min(firstRow, c.row);
        firstCol = std::min(firstCol, c.col);
    }
    QByteArray dim;
    if (lastRow < 0) {
        put32(dim, 0); put32(dim, 0); put16(dim, 0); put16(dim, 0);
    } else {
        put32(dim, quint32(firstRow)); put32(dim, quint32(lastRow + 1));
        put16(dim, quint16(firstCol)); put16(dim, quint16(lastCol + 1));
    }
    put16(dim, 0);
    out += record(0x0200, dim);

    auto cells = sheet.cells;
    std::stable_sort(cells.begin(), cells.end(), [](const XlsCell& a, const XlsCell& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    });
    for (const auto& c : cells) {
        QByteArray b;
        put16(b, quint16(c.row));
        put16(b, quint16(c.col));
        put16(b, 0x0F);  // default cell format
        switch (c.kind) {
        case XlsCell::Number:
            putDouble(b, c.number);
            out += record(0x0203, b);
            break;
        case XlsCell::Text:
            put32(b, quint32(sstIndex.value(c.text)));
            out += record(0x00FD, b);
            break;
        case XlsCell::Boolean:
            b.append(char(c.boolean ? 1 : 0)).append(char(0));
            out += record(0x0205, b);
            break;
        case XlsCell::Error:
            b.append(char(c.errorCode)).append(char(1));
            out += record(0x0205, b);
            break;
        case XlsCell::Formula: {
            if (c.errorCode >= 0) {
                b.append(char(2)).append(char(0)).append(char(c.errorCode));
                b.append(QByteArray("\0\0\0\xFF\xFF", 5));
            } else if (c.text.isNull()) {
                putDouble(b, c.number);
            } else {  // string result follows in a STRING record
                b.append(QByteArray("\0\0\0\0\0\0\xFF\xFF", 8));
            }
            put16(b, 0);
            put32(b, 0);
            put16(b, quint16(c.rgce.size()));
            b += c.rgce;
            out += record(0x0006, b);
            if (!c.text.isNull())
                out += record(0x0207, xlString(c.text));
            break;
        }
        }
    }
    out += sheet.extraRecords;
    out += drawing;
    out += record(0x000A, {});
    return out;
}

// VirtualPath (MS-XLS 2.5.277) of a Windows path: a drive or UNC server as
// a volume, folders separated by 0x0003, ".." as 0x0004.
QString virtualPath(const QString& path) {
    QString rest = path;
    QString out;
    if (rest.startsWith(QLatin1String("\\\\"))) {
        out = QStringLiteral("\x01\x01@");
        rest = rest.mid(2);
    } else if (rest.size() >= 3 && rest.at(1) == QLatin1Char(':') && rest.at(2) == QLatin1Char('\\')) {
        out = QStringLiteral("\x01\x01") + rest.at(0);
        rest = rest.mid(3);
    } else if (rest.startsWith(QLatin1Char('\\'))) {
        out = QStringLiteral("\x01\x02");
        rest = rest.mid(1);
    }
    const QStringList steps = rest.split(QLatin1Char('\\'));
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const bool last = i + 1 == steps.size();
        if (steps[i] == QLatin1String("..") && !last) out += QChar(0x0004);
        else out += steps[i] + (last ? QString() : QString(QChar(0x0003)));
    }
    return out;
}

// The macro names the shapes run, in first-use order.
QStringList buttonMacros(const std::vector<XlsSheet>& sheets) {
    QStringList macros;
    for (const auto& s : sheets)
        for (const auto& shape : s.shapes)
            if (shape.kind != XlsShape::Note && !shape.macro.isEmpty() && !macros.contains(shape.macro))
                macros << shape.macro;
    return macros;
}

// SST with CONTINUE records started at string boundaries.
QByteArray sstRecords(const QStringList& sst, int total) {
    QByteArray out;
    QByteArray body;
    put32(body, quint32(total));
    put32(body, quint32(sst.size()));
    quint16 type = 0x00FC;
    for (const QString& s : sst) {
        QByteArray one = xlString(s);
        if (body.size() + one.size() > 8224) {
            out += record(type, body);
            body.clear();
            type = 0x003C;
        }
        body += one;
    }
    return out + record(type, body);
}

}  // namespace

// --- formula tokens -------------------------------------------------------

void Rgce::row(int r) {
    if (wide_) put32(b_, quint32(r));
    else put16(b_, quint16(r));
}

Rgce& Rgce::ref(int row, int col, bool rowRel, bool colRel) {
    b_.append(char(0x24));
    this->row(row);
    put16(b_, quint16(col | (rowRel ? 0x8000 : 0) | (colRel ? 0x4000 : 0)));
    return *this;
}
Rgce& Rgce::area(int r1, int c1, int r2, int c2, bool rel) {
    quint16 flags = rel ? 0xC000 : 0;
    b_.append(char(0x25));
    row(r1); row(r2);
    put16(b_, quint16(c1 | flags)); put16(b_, quint16(c2 | flags));
    return *this;
}
Rgce& Rgce::ref3d(int ixti, int row, int col, bool rel) {
    b_.append(char(0x3A));
    put16(b_, quint16(ixti));
    this->row(row);
    put16(b_, quint16(col | (rel ? 0xC000 : 0)));
    return *this;
}
Rgce& Rgce::integer(int v) { b_.append(char(0x1E)); put16(b_, quint16(v)); return *this; }
Rgce& Rgce::number(double v) { b_.append(char(0x1F)); putDouble(b_, v); return *this; }
Rgce& Rgce::str(const QString& s) {
    b_.append(char(0x17));
    if (wide_) {
        put16(b_, quint16(s.size()));
        b_.append(chars(s, false));
        return *this;
    }
    bool compressed = fitsLatin1(s);
    b_.append(char(s.size())).append(char(compressed ? 0 : 1)).append(chars(s, compressed));
    return *this;
}
Rgce& Rgce::boolean(bool v) { b_.append(char(0x1D)).append(char(v ? 1 : 0)); return *this; }
Rgce& Rgce::name(int nameIndex) { b_.append(char(0x43)); put32(b_, quint32(nameIndex)); return *this; }
Rgce& Rgce::op(quint8 ptg) { b_.append(char(ptg)); return *this; }
Rgce& Rgce::paren() { b_.append(char(0x15)); return *this; }
Rgce& Rgce::func(int index) { b_.append(char(0x41)); put16(b_, quint16(index)); return *this; }
Rgce& Rgce::funcVar(int index, int argc) {
    b_.append(char(0x42)).append(char(argc));
    put16(b_, quint16(index));
    return *this;
}
Rgce& Rgce::space(int count) {
    b_.append(char(0x19)).append(char(0x40)).append(char(0x00)).append(char(count));
    return *this;
}

// --- sheets ---------------------------------------------------------------

XlsCell& detail::addCell(std::vector<XlsCell>& cells, int row, int col, XlsCell::Kind kind) {
    XlsCell& c = cells.emplace_back();
    c.row = row;
    c.col = col;
    c.kind = kind;
    return c;
}

XlsSheet& XlsSheet::number(int row, int col, double v) {
    addCell(cells, row, col, XlsCell::Number).number = v;
    return *this;
}
XlsSheet& XlsSheet::text(int row, int col, const QString& s) {
    addCell(cells, row, col, XlsCell::Text).text = s;
    return *this;
}
XlsSheet& XlsSheet::boolean(int row, int col, bool v) {
    addCell(cells, row, col, XlsCell::Boolean).boolean = v;
    return *this;
}
XlsSheet& XlsSheet::formula(int row, int col, const Rgce& f, double cached) {
    XlsCell& c = addCell(cells, row, col, XlsCell::Formula);
    c.number = cached;
    c.rgce = f.bytes();
    return *this;
}

XlsSheet& XlsSheet::error(int row, int col, int code) {
    addCell(cells, row, col, XlsCell::Error).errorCode = code;
    return *this;
}

XlsSheet& XlsSheet::formulaError(int row, int col, const Rgce& f, int code) {
    formula(row, col, f);
    cells.back().errorCode = code;
    return *this;
}

XlsShape& XlsSheet::note(int row, int col, const QString& author, const QString& text) {
    XlsShape s; s.kind = XlsShape::Note; s.row = row; s.col = col; s.author = author; s.text = text;
    shapes.push_back(s);
    return shapes.back();
}
XlsShape& XlsSheet::textBox(int row, int col, const QString& text) {
    XlsShape s; s.kind = XlsShape::TextBox; s.row = row; s.col = col; s.text = text;
    shapes.push_back(s);
    return shapes.back();
}
XlsShape& XlsSheet::button(int row, int col, const QString& caption, const QString& macro) {
    XlsShape s; s.kind = XlsShape::Button; s.row = row; s.col = col; s.text = caption; s.macro = macro;
    shapes.push_back(s);
    return shapes.back();
}

XlsShape& XlsSheet::picture(int row, int col) {
    XlsShape s; s.kind = XlsShape::Picture; s.row = row; s.col = col; s.lineVisible = false;
    shapes.push_back(s);
    return shapes.back();
}

XlsShape& XlsSheet::checkBox(int row, int col, const QString& label, int checked) {
    XlsShape s; s.kind = XlsShape::CheckBox; s.row = row; s.col = col; s.text = label; s.checked = checked;
    shapes.push_back(s);
    return shapes.back();
}

XlsSheet& XlsWriter::addSheet(const QString& name) {
    sheets_.push_back(XlsSheet{name, 0, false, {}, {}, {}});
    return sheets_.back();
}

void XlsWriter::addName(const QString& name, const Rgce& refersTo, int sheetIndex) {
    names_.push_back(XlsName{name, sheetIndex, refersTo.bytes()});
}

void XlsWriter::addModule(const QString& name, XlsModule::Type type, const QString& code) {
    modules_.push_back(XlsModule{name, type, code, {}, false});
}

void XlsWriter::addForm(const QString& name, const QString& caption, const QString& code) {
    modules_.push_back(XlsModule{name, XlsModule::Form, code, caption, false});
}

int XlsWriter::addExternalSheet(const QString& bookPath, const QString& sheetName) {
    auto book = std::find_if(externalBooks_.begin(), externalBooks_.end(),
                             [&](const XlsExternalBook& b) { return b.path == bookPath; });
    if (book == externalBooks_.end()) {
        externalBooks_.push_back(XlsExternalBook{bookPath, {}});
        book = std::prev(externalBooks_.end());
    }
    if (!book->sheets.contains(sheetName)) book->sheets << sheetName;
    const std::pair<int, int> xti{int(book - externalBooks_.begin()), int(book->sheets.indexOf(sheetName))};
    auto known = std::find(externalXti_.begin(), externalXti_.end(), xti);
    if (known == externalXti_.end()) {
        externalXti_.push_back(xti);
        known = std::prev(externalXti_.end());
    }
    return int(sheets_.size()) + int(known - externalXti_.begin());
}

void XlsWriter::setProperties(const QString& title, const QString& author, const QString& company) {
    title_ = title;
    author_ = author;
    company_ = company;
}

// --- workbook stream ------------------------------------------------------

QByteArray XlsWriter::workbookStream() const {
    QStringList sst;
    QHash<QString, int> sstIndex;
    int total = 0;
    for (const auto& s : sheets_)
        for (const auto& c : s.cells)
            if (c.kind == XlsCell::Text) {
                ++total;
                if (!sstIndex.contains(c.text)) {
                    sstIndex.insert(c.text, int(sst.size()));
                    sst << c.text;
                }
            }

    QByteArray globals = bof(0x0005);
    QByteArray cp;
    put16(cp, 1200);
    globals += record(0x0042, cp);
    globals += extraGlobals;

    // Self-referencing SUPBOOK with one XTI per sheet, so 3-D references
    // and sheet-level names can point at sheet i through ixti i.
    QByteArray sup;
    put16(sup, quint16(sheets_.size()));
    put16(sup, 0x0401);
    globals += record(0x01AE, sup);
    // Other workbooks: their paths and sheet names, their XTIs after ours.
    for (const auto& book : externalBooks_) {
        QByteArray ext;
        put16(ext, quint16(book.sheets.size()));
        ext += xlString(virtualPath(book.path));
        for (const QString& sheet : book.sheets) ext += xlString(sheet);
        globals += record(0x01AE, ext);
    }
    QByteArray xti;
    put16(xti, quint16(sheets_.size() + externalXti_.size()));
    for (int i = 0; i < int(sheets_.size()); ++i) {
        put16(xti, 0); put16(xti, quint16(i)); put16(xti, quint16(i));
    }
    for (const auto& [book, sheet] : externalXti_) {
        put16(xti, quint16(book + 1)); put16(xti, quint16(sheet)); put16(xti, quint16(sheet));
    }
    globals += record(0x0017, xti);

    for (const auto& n : names_) {
        QByteArray b;
        bool compressed = fitsLatin1(n.name);
        put16(b, 0);                       // flags: ordinary visible name
        b.append(char(0));                 // keyboard shortcut
        b.append(char(n.name.size()));
        put16(b, quint16(n.rgce.size()));
        put16(b, 0);
        put16(b, quint16(n.sheetIndex));
        put32(b, 0);
        b.append(char(compressed ? 0 : 1)).append(chars(n.name, compressed));
        b += n.rgce;
        globals += record(0x0018, b);
    }
    // A button's macro is a hidden name flagged as a VBA procedure, without
    // tokens; the name lists of the spreadsheet do not show it.
    const QStringList macros = buttonMacros(sheets_);
    QHash<QString, int> macroNames;
    for (const QString& m : macros) {
        QByteArray b;
        bool compressed = fitsLatin1(m);
        put16(b, 0x000D);                  // fHidden | fOB | fProc: a VBA procedure
        b.append(char(0)).append(char(m.size()));
        put16(b, 0); put16(b, 0); put16(b, 0); put32(b, 0);
        b.append(char(compressed ? 0 : 1)).append(chars(m, compressed));
        globals += record(0x0018, b);
        macroNames.insert(m, int(names_.size()) + int(macroNames.size()) + 1);
    }

    std::vector<int> offsetPos;
    for (const auto& s : sheets_) {
        QByteArray b;
        put32(b, 0);  // patched below with the sheet's BOF position
        b.append(char(s.visibility)).append(char(s.chart ? 2 : 0));
        b += shortString(s.name);
        offsetPos.push_back(globals.size() + 4);
        globals += record(0x0085, b);
    }
    globals += drawingGroup(sheets_);
    globals += sstRecords(sst, total);
    globals += record(0x000A, {});

    QByteArray stream = globals;
    int pib = 1;
    for (size_t i = 0; i < sheets_.size(); ++i) {
        qToLittleEndian<quint32>(quint32(stream.size()), stream.data() + offsetPos[i]);
        stream += sheetStream(sheets_[i], sstIndex, sheetDrawing(sheets_[i], int(i) + 1, macroNames, pib));
        for (const XlsShape& shape : sheets_[i].shapes) pib += shape.png.isEmpty() ? 0 : 1;
    }
    return stream;
}

}  // namespace tabulon::xlsw
