// The BIFF side of a shape: the OBJ record that says what kind of object it
// is, its id and the macro it runs, and the TXO record that holds its text.
#include "common/Error.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/FormulaDecoder.h"

#include <algorithm>

namespace tabulon::xls {

namespace {

constexpr uint16_t kFtEnd = 0x00, kFtMacro = 0x04, kFtCbls = 0x0A, kFtLbsData = 0x13, kFtCmo = 0x15;

// FtMacro, MS-XLS 2.5.155: an ObjFmla (2.5.191) whose ObjectParsedFormula
// (2.5.198.22) holds one name token; the spreadsheet shows it without "=".
QString macroText(const uint8_t* data, size_t size, size_t base, const FormulaContext& ctx) {
    ByteCursor c(data, size, base);
    const size_t cce = c.u16() & 0x7FFF;
    c.skip(4);  // unused
    FormulaInput in;
    in.rgce = c.take(cce);
    in.cce = cce;
    const QString text = decodeFormula(in, ctx);
    return text.startsWith(QLatin1Char('=')) ? text.mid(1) : text;
}

}  // namespace

void DrawingRecords::add(const Record& rec, const FormulaContext& ctx) {
    switch (rec.type) {
    case rt::MsoDrawing: drawing_.insert(drawing_.end(), rec.bytes(), rec.bytes() + rec.size()); break;
    case rt::Obj: addObj(rec, ctx); break;
    case rt::Txo: addTxo(rec); break;
    default: break;
    }
}

// A sheet with many objects (Excel does this past about 60) carries the
// drawing's pieces in CONTINUE records instead of MSODRAWING records: the
// piece that ends with a shape's client data after the TXO of the shape
// before it (or its OBJ, for a shape without text), the piece with the
// client text box after the shape's own OBJ. Joined to that record, such a
// piece begins after the record's own bytes, with an OfficeArt record header
// (MS-ODRAW 2.2.1: its type 0xF000 or above).
void DrawingRecords::takeDrawingAfter(const Record& rec, size_t ownEnd) {
    const auto from = std::lower_bound(rec.segmentStarts.begin(), rec.segmentStarts.end(), ownEnd);
    if (from == rec.segmentStarts.end()) return;
    const size_t at = *from;
    if (rec.size() - at < 8 || (rec.bytes()[at + 2] | (rec.bytes()[at + 3] << 8)) < 0xF000) return;
    drawing_.insert(drawing_.end(), rec.bytes() + at, rec.bytes() + rec.size());
}

void DrawingRecords::addObj(const Record& rec, const FormulaContext& ctx) {
    ObjEntry& entry = objs_.emplace_back();
    lastComment_ = -1;
    ObjInfo read;
    try {
        readObjInfo(rec, ctx, read);
        entry.info = read;
    } catch (const FormatError&) {
        // The shape keeps no part of a damaged OBJ; a comment still finds
        // its text when the object's type and id were read.
        entry.damaged = true;
        if (read.kind == ot::Note) lastComment_ = read.id;
        takeDrawingAfter(rec, 0);
        throw;
    }
    if (read.kind == ot::Note) lastComment_ = read.id;
    // The OBJ's own bytes are all in the record itself.
    takeDrawingAfter(rec, 0);
}

void DrawingRecords::addTxo(const Record& rec) {
    TxoEntry& entry = txos_.emplace_back();
    const int comment = lastComment_;
    lastComment_ = -1;
    size_t ownEnd = 0;
    try {
        ownEnd = readTxo(rec, entry);
    } catch (const FormatError&) {
        entry = TxoEntry{};
        entry.damaged = true;
        throw;
    }
    if (comment >= 0) commentTexts_[comment] = entry.text;
    takeDrawingAfter(rec, ownEnd);
}

ObjInfo parseObjInfo(const Record& rec, const FormulaContext& ctx) {
    ObjInfo info;
    readObjInfo(rec, ctx, info);
    return info;
}

// Obj, MS-XLS 2.4.181: FtCmo first, then sub-records up to FtEnd. A list
// box's FtLbsData does not give its true size, so the walk stops there; every
// sub-record the layer reads comes before it.
void readObjInfo(const Record& rec, const FormulaContext& ctx, ObjInfo& info) {
    ByteCursor c = rec.cursor();
    if (c.u16() != kFtCmo) throw FormatError(QStringLiteral("OBJ without FtCmo"), rec.offset + 4, rec.type);
    const size_t cmoSize = c.u16();
    const size_t cmoStart = c.pos();
    info.kind = c.u16();
    info.id = c.u16();
    c.seek(cmoStart);
    c.skip(cmoSize);
    while (c.remaining() >= 4) {
        const uint16_t ft = c.u16();
        const size_t cb = c.u16();
        if (ft == kFtEnd || ft == kFtLbsData) break;
        const size_t at = c.pos();
        const uint8_t* body = c.take(cb);
        if (ft == kFtCbls && cb >= 2) info.checked = std::min(body[0] | (body[1] << 8), 2);  // FtCbls, 2.5.137
        if (ft != kFtMacro || cb == 0) continue;
        try {
            info.macro = macroText(body, cb, rec.offset + 4 + at, ctx);
        } catch (const FormatError& e) {
            info.problem = QStringLiteral("macro formula unreadable: %1").arg(e.text());
        } catch (const Error& e) {
            info.problem = QStringLiteral("macro formula unreadable: %1").arg(e.description());
        }
    }
}

// TxO, MS-XLS 2.4.329: the alignment bits of its first word, cchText at
// offset 10 and cbRuns at 12. The characters start the first CONTINUE with
// their own width flag; the runs (TxORuns, 2.5.272: eight bytes each, the
// last one only ends the text) fill the CONTINUE after them.
size_t readTxo(const Record& rec, TxoEntry& out) {
    ByteCursor c = rec.cursor();
    const uint16_t flags = c.u16();
    out.look.hAlign = (flags >> 1) & 0x07;
    out.look.vAlign = (flags >> 4) & 0x07;
    c.seek(10);
    const size_t cch = c.u16();
    const size_t cbRuns = c.u16();
    if (cch == 0 || rec.segmentStarts.empty()) return 0;
    c.seek(rec.segmentStarts.front());
    out.text = readContinuedChars(rec, c, cch, false);
    const auto next = std::find_if(rec.segmentStarts.begin(), rec.segmentStarts.end(),
                                   [&c](size_t at) { return at >= c.pos(); });
    if (next == rec.segmentStarts.end() || cbRuns == 0) return c.pos();
    c.seek(*next);
    const size_t count = std::min(cbRuns / 8, c.remaining() / 8);
    for (size_t i = 0; i + 1 < count; ++i) {
        const uint16_t first = c.u16();
        const uint16_t font = c.u16();
        c.skip(4);
        if (first < cch && (out.look.runs.empty() || first > out.look.runs.back().first))
            out.look.runs.push_back({first, uint16_t(fontIndex(font))});
    }
    return std::min(*next + cbRuns, rec.size());
}

}  // namespace tabulon::xls
