// Excel 5.0/95 (BIFF5) workbooks: the records whose layout differs from
// BIFF8. Texts are byte strings in the workbook's code page (CODEPAGE, read
// before any of them); there is no shared string table, and each sheet keeps
// its own link table for its formulas.
#include "host/CodePage.h"
#include "host/xls/BookContext.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/SheetState.h"

#include <QFileInfo>

namespace tabulon::xls {

namespace {

// Byte strings with an 8-bit or a 16-bit count.
QString byteString8(ByteCursor& c, int codePage) { return biff5Chars(c, c.u8(), codePage); }
QString byteString16(ByteCursor& c, int codePage) { return biff5Chars(c, c.u16(), codePage); }

// EXTERNSHEET, BIFF5: one record per referenced sheet, an encoded name whose
// first character says what it is: 0x01 another document ("path[Book.xls]Sheet"
// in the VirtualPath encoding), 0x02 the sheet itself, 0x03 a sheet of this
// workbook by name, 0x04 this workbook. DDE and OLE links hold server and
// topic separated by 0x03.
void addExternSheet(const QString& raw, const Globals& book, std::vector<SupBookModel>& supBooks,
                    std::vector<XtiModel>& xti) {
    SupBookModel sb;
    XtiModel x{int(supBooks.size()), -1, -1};
    const char16_t kind = raw.isEmpty() ? 0 : raw.at(0).unicode();
    if (kind == 0x01 && raw.mid(1) == QLatin1String(":")) {
        sb.kind = SupBookKind::AddIn;
    } else if (kind == 0x01) {
        QString path = raw;
        const qsizetype close = path.lastIndexOf(QLatin1Char(']'));
        if (close >= 0) {
            sb.sheetNames << path.mid(close + 1);
            path.truncate(close);
            const qsizetype open = path.lastIndexOf(QLatin1Char('['));
            if (open >= 0) path.remove(open, 1);
            x.firstTab = x.lastTab = 0;
        }
        sb.kind = SupBookKind::External;
        sb.path = decodeVirtualPath(path, QFileInfo(book.path).absolutePath());
    } else if (kind == 0x03) {
        x.firstTab = x.lastTab = int(book.boundSheetNames.indexOf(raw.mid(1)));
    } else if (kind != 0x02 && kind != 0x04 && raw.indexOf(QChar(3)) > 0) {
        const qsizetype sep = raw.indexOf(QChar(3));
        sb.kind = SupBookKind::OleDde;
        sb.path = raw.left(sep) + QLatin1Char('|') + raw.mid(sep + 1);
    }
    supBooks.push_back(std::move(sb));
    xti.push_back(x);
}

void parseExternSheet5(const Record& rec, const Globals& book, std::vector<SupBookModel>& supBooks,
                       std::vector<XtiModel>& xti) {
    ByteCursor c = rec.cursor();
    const size_t cch = c.u8();
    // The count leaves out the kind character in some writers: the record
    // holds nothing but the name, so all of it is read.
    addExternSheet(biff5Chars(c, std::max(cch, c.remaining()), book.codePage), book, supBooks, xti);
}

// EXTERNNAME, BIFF5: flags, four unused bytes, the name as a byte string.
void parseExternName5(const Record& rec, int codePage, std::vector<SupBookModel>& supBooks) {
    if (supBooks.empty()) throw FormatError(QStringLiteral("EXTERNNAME without EXTERNSHEET"), rec.offset);
    ByteCursor c = rec.cursor();
    c.skip(6);
    supBooks.back().names.push_back(ExternNameModel{byteString8(c, codePage)});
}

// NAME, BIFF5: the BIFF8 header (MS-XLS 2.4.150), but the name is a byte
// string without a flag byte, and the menu, description, help and status
// texts follow the formula.
void parseName5(const Record& rec, Globals& book) {
    ByteCursor c = rec.cursor();
    NameHeader h = readNameHeader(c);
    if (h.name.builtin) {
        h.name.name = h.cch ? builtinNameText(c.peek()) : QString();
        c.skip(h.cch);
    } else {
        h.name.name = biff5Chars(c, h.cch, book.codePage);
    }
    takeNameFormula(c, h.name, h.cce, h.textLengths);
    book.names.push_back(std::move(h.name));
}

// LABEL and RSTRING, BIFF5: row, column, XF, then a byte string with a
// 16-bit count (RSTRING's formatting runs follow it).
void parseLabel5(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    const QString text = byteString16(c, st.book.codePage);
    if (col > 255) throw FormatError(QStringLiteral("cell outside the sheet"), rec.offset);
    st.setText(st.addCell(row, col, CellType::Text), text);
}

// DIMENSIONS, BIFF5: 16-bit rows.
void parseDimensions5(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    const uint32_t rwMic = c.u16(), rwMac = c.u16();
    const uint32_t colMic = c.u16(), colMac = c.u16();
    setDimensions(st, rwMic, rwMac, colMic, colMac);
}

// STRING, BIFF5: the text result of the formula before it.
void parseString5(const Record& rec, SheetState& st) {
    if (st.stringTarget < 0) return;
    ByteCursor c = rec.cursor();
    st.sheet.texts[st.sheet.cells[size_t(st.stringTarget)].text] = byteString16(c, st.book.codePage);
}

// NOTE, BIFF5: the text is in the record. The first gives row, column and
// the whole length; a longer text goes on in NOTE records whose row is
// 0xFFFF. The bytes are joined before they are decoded, so that a
// double-byte character split between two records reads whole.
void parseNote5(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    const int row = c.u16(), col = c.u16();
    const size_t cch = c.u16();
    const size_t held = std::min(cch, c.remaining());
    const QByteArray bytes(reinterpret_cast<const char*>(c.take(held)), qsizetype(held));
    if (row == 0xFFFF) {
        if (st.noteBytes.empty()) throw FormatError(QStringLiteral("NOTE continuation without a note"), rec.offset);
        st.noteBytes.back().second.append(bytes);
        return;
    }
    if (row > 16383 || col > 255) throw FormatError(QStringLiteral("note outside the sheet"), rec.offset);
    st.noteBytes.emplace_back(std::make_pair(row, col), bytes);
}

// The macro of a BIFF5 object: a formula of cbMacro bytes (a 16-bit token
// count, four unused bytes, one name token) that follows fields whose size
// depends on the object type. It is found as the one place after the fixed
// part where such a formula of exactly that size begins.
QString objMacro5(const Record& rec, size_t cbMacro, SheetState& st) {
    constexpr size_t kFixed = 34;  // count, type, id, flags, anchor, cbMacro, reserved
    if (cbMacro < 7 || rec.size() < kFixed + cbMacro) return QString();
    const uint8_t* b = rec.bytes();
    for (size_t p = kFixed; p + cbMacro <= rec.size(); ++p) {
        const size_t cce = size_t(b[p] | (b[p + 1] << 8));
        const uint8_t ptg = b[p + 6];
        const bool nameToken = (ptg & 0x9F) == 0x19 || (ptg & 0x9F) == 0x03;  // PtgNameX / PtgName, any class
        if (cce == 0 || cce + 6 > cbMacro || cce + 7 < cbMacro || !nameToken) continue;
        FormulaInput in;
        in.rgce = b + p + 6;
        in.cce = cce;
        in.biff5 = true;
        in.codePage = st.book.codePage;
        try {
            const QString text = decodeFormula(in, st.ctx());
            return text.startsWith(QLatin1Char('=')) ? text.mid(1) : text;
        } catch (const Error&) {
            // not the formula: the search goes on
        }
    }
    return QString();
}

// OBJ, BIFF5: a four-byte count, then the object type and id. The object
// keeps the name the spreadsheet gives an object of its kind (an own name
// sits in the type-specific part, which is not read) and runs its macro.
void parseObj5(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    c.skip(4);
    model::Shape shape;
    shape.kind = shapeKindOf(c.u16());
    shape.objectId = c.u16();
    c.skip(2 + 16);  // flags, anchor
    const size_t cbMacro = c.u16();
    shape.name = model::defaultShapeName(shape.kind, shape.objectId);
    shape.hasText = model::kindHasText(shape.kind);
    shape.onAction = objMacro5(rec, cbMacro, st);
    st.sheet.shapes.push_back(std::move(shape));
}

}  // namespace

QString biff5Chars(ByteCursor& c, size_t cch, int codePage) {
    const uint8_t* p = c.take(cch);
    bool ascii = true;
    for (size_t i = 0; i < cch && ascii; ++i) ascii = p[i] < 0x80;
    if (ascii) return QString::fromLatin1(reinterpret_cast<const char*>(p), qsizetype(cch));
    return host::decodeCodePage(QByteArray(reinterpret_cast<const char*>(p), qsizetype(cch)), codePage);
}

bool parseBiff5GlobalRecord(const Record& rec, Globals& book) {
    switch (rec.type) {
    case rt::BoundSheet8: {  // BOUNDSHEET: offset, state, type, byte-string name
        ByteCursor c = rec.cursor();
        const uint32_t bof = c.u32();
        const int state = c.u8() & 0x03;
        const int dt = c.u8();
        addBoundSheet(book, bof, state, dt, byteString8(c, book.codePage));
        return true;
    }
    case rt::Lbl: parseName5(rec, book); return true;
    case rt::ExternSheet: parseExternSheet5(rec, book, book.supBooks, book.xti); return true;
    case rt::ExternName: parseExternName5(rec, book.codePage, book.supBooks); return true;
    default: return false;
    }
}

void parseBiff5LinkRecord(const Record& rec, const Globals& book, SheetJob& job) {
    try {
        if (rec.type == rt::ExternSheet) parseExternSheet5(rec, book, job.localSupBooks, job.localXti);
        else parseExternName5(rec, book.codePage, job.localSupBooks);
    } catch (const FormatError&) {
        // a damaged entry: references through it show #REF!
    }
}

// The other books an Excel 5.0/95 workbook links to are named in its
// sheets' own link tables: they join the workbook's list once each, after
// the globals' own (which the names' formulas count into), so they are
// listed as link sources.
void gatherBiff5Links(const std::vector<SheetJob>& jobs, Globals& book) {
    QStringList known;
    for (const SupBookModel& sb : book.supBooks) known << sb.path;
    for (const SheetJob& job : jobs) {
        for (const SupBookModel& sb : job.localSupBooks) {
            if (sb.kind != SupBookKind::External && sb.kind != SupBookKind::OleDde) continue;
            if (known.contains(sb.path)) continue;
            known << sb.path;
            book.supBooks.push_back(sb);
        }
    }
}

bool parseBiff5SheetRecord(const Record& rec, SheetState& st) {
    switch (rec.type) {
    case rt::Label:
    case rt::RString: parseLabel5(rec, st); break;
    case rt::StringRec: parseString5(rec, st); break;
    case rt::Dimensions: parseDimensions5(rec, st); break;
    case rt::Note: parseNote5(rec, st); break;
    case rt::Obj: parseObj5(rec, st); return true;
    case rt::ExternSheet:
    case rt::ExternName:  // the link table, which stands before the cells
        if (!st.sheetContext) parseBiff5LinkRecord(rec, st.book, st.job);
        return true;
    default: return false;
    }
    st.stringTarget = -1;
    return true;
}

void attachBiff5Notes(SheetState& st) {
    for (const auto& [cell, bytes] : st.noteBytes)
        st.sheet.notes[cell] = model::Note{host::decodeCodePage(bytes, st.book.codePage), QString()};
}

}  // namespace tabulon::xls
