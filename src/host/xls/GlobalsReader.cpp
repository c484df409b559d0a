// Workbook globals substream: sheets, shared strings, names and links.
#include "common/Error.h"
#include "host/xls/Readers.h"

#include <QFileInfo>
#include <algorithm>

namespace tabulon::xls {

void warn(Globals& book, const QString& where, const FormatError& e) {
    if (book.warnings.size() < kWarningCap)
        book.warnings << QStringLiteral("%1: %2").arg(where, e.text());
}

void warn(WarningLog& log, const QString& where, const FormatError& e) {
    log.addCapped(QStringLiteral("%1: %2").arg(where, e.text()));
}

void WarningLog::push(QString text, bool capped) {
    items_.emplace_back(std::move(text), capped);
    ++kept_;
}

void WarningLog::appendTo(QStringList& warnings) const {
    for (const auto& [text, capped] : items_)
        if (!capped || warnings.size() < kWarningCap) warnings << text;
}

// BoundSheet8, MS-XLS 2.4.28
void parseBoundSheet(const Record& rec, Globals& book) {
    ByteCursor c = rec.cursor();
    const uint32_t bof = c.u32();
    const int state = c.u8() & 0x03;
    const int dt = c.u8();
    addBoundSheet(book, bof, state, dt, readUnicodeString8(rec, c));
}

void addBoundSheet(Globals& book, uint32_t bof, int state, int dt, const QString& name) {
    book.boundSheetNames << name;
    if (dt == 6) {  // VB module sheet of Excel 5: no member of the sheets
        book.boundSheetToSheet.push_back(-1);
        book.vbaModuleSheets = true;
        return;
    }
    SheetEntry sheet;
    sheet.name = name;
    sheet.visibility = state == 3 ? 1 : state;
    sheet.bofOffset = bof;
    sheet.kind = dt == 2 ? model::SheetKind::Chart : dt == 1 ? model::SheetKind::MacroSheet : model::SheetKind::Worksheet;
    book.boundSheetToSheet.push_back(int(book.sheets.size()));
    book.sheets.push_back(std::move(sheet));
}

// SST, MS-XLS 2.4.265; strings are XLUnicodeRichExtendedString (2.5.293)
uint32_t sstAnnounced(const Record& rec) {
    ByteCursor c = rec.cursor();
    c.skip(4);  // cstTotal
    return c.u32();
}

void parseSstStrings(const Record& rec, SharedStrings& out) {
    ByteCursor c = rec.cursor();
    c.skip(4);  // cstTotal
    const uint32_t unique = c.u32();
    std::vector<QString>& sst = out.strings;
    // Every string takes at least three bytes: never reserve beyond that.
    sst.reserve(std::min<size_t>(unique, c.remaining() / 3));
    try {
        for (uint32_t i = 0; i < unique && !c.atEnd(); ++i) {
            const size_t cch = c.u16();
            const uint8_t flags = c.u8();
            const size_t runs = (flags & 0x08) ? c.u16() : 0;
            const size_t ext = (flags & 0x04) ? c.u32() : 0;
            sst.push_back(readContinuedChars(rec, c, cch, flags & 0x01));
            TextRuns formatting = readFormatRuns(c, runs, sst.back().size());
            if (!formatting.empty()) out.runs.emplace(uint32_t(sst.size() - 1), std::move(formatting));
            if (ext > c.remaining()) throw FormatError(QStringLiteral("phonetic block truncated"), c.pos());
            c.skip(ext);
        }
    } catch (const FormatError& e) {
        warn(out.log, QStringLiteral("SST (%1 of %2 strings read)").arg(sst.size()).arg(unique), e);
    }
}

QString builtinNameText(int code) {
    static const char* const names[] = {
        "Consolidate_Area", "Auto_Open", "Auto_Close", "Extract", "Database", "Criteria",
        "Print_Area", "Print_Titles", "Recorder", "Data_Form", "Auto_Activate",
        "Auto_Deactivate", "Sheet_Title", "_FilterDatabase"};
    if (code >= 0 && code < int(std::size(names))) return QString::fromLatin1(names[code]);
    return QStringLiteral("_Builtin%1").arg(code);
}

NameHeader readNameHeader(ByteCursor& c) {
    NameHeader h;
    const uint16_t flags = c.u16();
    c.skip(1);  // chKey
    h.cch = c.u8();
    h.cce = c.u16();
    c.skip(2);  // ixals
    h.name.sheetIndex = c.u16();
    for (int i = 0; i < 4; ++i) h.textLengths += c.u8();  // menu, description, help, status
    h.name.hidden = flags & 0x0001;
    h.name.vbaMacro = flags & 0x0004;
    h.name.builtin = flags & 0x0020;
    return h;
}

void takeNameFormula(ByteCursor& c, NameModel& name, size_t cce, size_t keep) {
    const uint8_t* tokens = c.take(cce);
    name.rgce.assign(tokens, tokens + cce);
    const size_t extraSize = c.remaining() > keep ? c.remaining() - keep : 0;
    const uint8_t* extra = c.take(extraSize);
    name.extra.assign(extra, extra + extraSize);
}

// Lbl, MS-XLS 2.4.150: the text lengths are unused in BIFF8.
void parseLbl(const Record& rec, Globals& book) {
    ByteCursor c = rec.cursor();
    NameHeader h = readNameHeader(c);
    const bool wide = c.u8() & 0x01;
    h.name.name = readContinuedChars(rec, c, h.cch, wide);
    if (h.name.builtin && !h.name.name.isEmpty()) h.name.name = builtinNameText(h.name.name.at(0).unicode());
    takeNameFormula(c, h.name, h.cce, 0);
    book.names.push_back(std::move(h.name));
}

// SupBook, MS-XLS 2.4.271
void parseSupBook(const Record& rec, Globals& book) {
    ByteCursor c = rec.cursor();
    const size_t ctab = c.u16();
    const uint16_t cch = c.u16();
    SupBookModel sb;
    if (cch == 0x0401) {
        sb.kind = SupBookKind::Self;
    } else if (cch == 0x3A01) {
        sb.kind = SupBookKind::AddIn;
    } else {
        const bool wide = c.u8() & 0x01;
        const QString raw = readContinuedChars(rec, c, cch, wide);
        for (size_t i = 0; i < ctab && !c.atEnd(); ++i) sb.sheetNames << readUnicodeString16(rec, c);
        const int sep = raw.indexOf(QChar(3));
        if (ctab == 0 && sep > 0 && !raw.startsWith(QChar(1))) {
            // DDE or OLE link: server, 0x0003, topic.
            sb.kind = SupBookKind::OleDde;
            sb.path = raw.left(sep) + QLatin1Char('|') + raw.mid(sep + 1);
        } else if (raw.size() == 1 && (raw.at(0).unicode() == 0 || raw.at(0) == QLatin1Char(' '))) {
            sb.kind = SupBookKind::Self;  // an external reference back into this workbook
        } else {
            sb.kind = SupBookKind::External;
            sb.path = decodeVirtualPath(raw, QFileInfo(book.path).absolutePath());
        }
    }
    book.supBooks.push_back(std::move(sb));
}

// ExternSheet, MS-XLS 2.4.106
void parseExternSheet(const Record& rec, Globals& book) {
    ByteCursor c = rec.cursor();
    const size_t count = c.u16();
    book.xti.reserve(std::min(count, c.remaining() / 6));
    for (size_t i = 0; i < count; ++i) {
        XtiModel x;
        x.supBook = c.u16();
        x.firstTab = c.i16();
        x.lastTab = c.i16();
        book.xti.push_back(x);
    }
}

// ExternName, MS-XLS 2.4.105: belongs to the SupBook before it.
void parseExternName(const Record& rec, Globals& book) {
    if (book.supBooks.empty()) throw FormatError(QStringLiteral("EXTERNNAME without SUPBOOK"), rec.offset);
    ByteCursor c = rec.cursor();
    c.skip(2);  // flags
    c.skip(4);  // ixals/reserved, or the add-in/DDE/OLE fields of the same size
    ExternNameModel n;
    n.name = readUnicodeString8(rec, c);
    book.supBooks.back().names.push_back(n);
}

}  // namespace tabulon::xls
