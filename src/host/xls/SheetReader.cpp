// One sheet substream: from its BOF to the matching EOF, skipping the
// substreams of embedded charts in between.
#include "host/xls/BookContext.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/Readers.h"
#include "host/xls/SheetState.h"

#include <algorithm>
#include <optional>

namespace tabulon::xls {

namespace {

// Settings records of a worksheet.
void parseSheetSetting(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    switch (rec.type) {
    case rt::Protect:  // Protect, MS-XLS 2.4.207
        st.sheet.protectContents = c.u16() != 0;
        break;
    case rt::Password:  // Password, MS-XLS 2.4.191
        st.sheet.hasPassword = c.u16() != 0;
        break;
    case rt::PrintHeaders:  // PrintRowCol, MS-XLS 2.4.203
        st.sheet.printHeadings = c.u16() != 0;
        break;
    case rt::WsBool: {  // WsBool, MS-XLS 2.4.351
        const uint16_t flags = c.u16();
        st.sheet.fitToPage = flags & 0x0100;
        if ((flags & 0x0010) && st.sheet.kind == SheetKind::Worksheet) st.sheet.kind = SheetKind::Dialog;
        break;
    }
    case rt::SetupRec: {  // Setup, MS-XLS 2.4.257
        c.skip(2);
        const int scale = c.u16();
        c.skip(6);
        const uint16_t flags = c.u16();
        if (!(flags & 0x0004) && scale >= 10 && scale <= 400) st.sheet.scale = scale;  // fNoPls: no settings
        break;
    }
    default:
        break;
    }
}

void dispatch(const Record& rec, SheetState& st) {
    if (st.book.biff == 5 && parseBiff5SheetRecord(rec, st)) return;
    switch (rec.type) {
    case rt::Number: parseNumber(rec, st); break;
    case rt::Rk: parseRk(rec, st); break;
    case rt::MulRk: parseMulRk(rec, st); break;
    case rt::LabelSst: parseLabelSst(rec, st); break;
    case rt::Label:
    case rt::RString: parseLabel(rec, st); break;
    case rt::BoolErr: parseBoolErr(rec, st); break;
    case rt::Blank: parseBlank(rec, st); break;
    case rt::MulBlank: parseMulBlank(rec, st); break;
    case rt::Dimensions: parseDimensions(rec, st); break;
    case rt::Formula: parseFormula(rec, st); return;  // keeps its STRING target
    case rt::StringRec: parseString(rec, st); break;
    case rt::ShrFmla: parseShrFmla(rec, st); return;
    case rt::Array: parseArray(rec, st); return;
    case rt::Table: parseTable(rec, st); return;
    case rt::Note: parseNote(rec, st); break;
    case rt::Obj: parseObj(rec, st); return;
    case rt::Txo: parseTxo(rec, st); break;
    default: parseSheetSetting(rec, st); return;
    }
    st.stringTarget = -1;
}

void settleUsedRange(SheetState& st) {
    SheetModel& s = st.sheet;
    if (st.extent.firstRow >= 0) {
        if (!s.hasDimensions) {
            s.used = st.extent;
        } else {  // cells beyond a stale DIMENSIONS still belong to the range
            s.used.firstRow = std::min(s.used.firstRow, st.extent.firstRow);
            s.used.lastRow = std::max(s.used.lastRow, st.extent.lastRow);
            s.used.firstCol = std::min(s.used.firstCol, st.extent.firstCol);
            s.used.lastCol = std::max(s.used.lastCol, st.extent.lastCol);
        }
    } else if (!s.hasDimensions) {
        s.used = Area{0, 0, 0, 0};
    }
}

void sortCells(SheetModel& s) {
    auto less = [](const CellData& a, const CellData& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; };
    auto same = [](const CellData& a, const CellData& b) { return a.row == b.row && a.col == b.col; };
    // The spreadsheet writes cells in order; only other writers need the sort.
    if (!std::is_sorted(s.cells.begin(), s.cells.end(), less))
        std::stable_sort(s.cells.begin(), s.cells.end(), less);
    if (std::adjacent_find(s.cells.begin(), s.cells.end(), same) == s.cells.end()) return;
    // A cell written twice keeps its last record.
    std::vector<CellData> unique;
    unique.reserve(s.cells.size());
    for (size_t i = 0; i < s.cells.size(); ++i)
        if (i + 1 == s.cells.size() || !same(s.cells[i], s.cells[i + 1])) unique.push_back(std::move(s.cells[i]));
    s.cells.swap(unique);
}

}  // namespace

size_t readSheet(const QByteArray& stream, SheetModel& sheet, WorkbookModel& book, const FormulaContext& ctx) {
    WarningLog log;
    const size_t spent = readSheet(stream, sheet, book, ctx, log);
    log.appendTo(book.warnings);
    return spent;
}

size_t sheetSpan(const QByteArray& stream, uint32_t bofOffset) {
    RecordStream rs(stream);
    rs.seek(bofOffset);
    uint16_t type = 0;
    if (!rs.skip(type) || type != rt::Bof) return 0;
    int depth = 1;
    while (depth > 0 && rs.skip(type)) {
        if (type == rt::Bof) ++depth;
        else if (type == rt::Eof) --depth;
    }
    return rs.pos() - std::min<size_t>(rs.pos(), bofOffset);
}

size_t readSheet(const QByteArray& stream, SheetModel& sheet, const WorkbookModel& book, const FormulaContext& ctx,
                 WarningLog& log) {
    // An Excel 5.0/95 sheet's formulas count into the sheet's own link table.
    std::optional<BookContext> local;
    if (book.biff == 5) {
        readBiff5LinkTable(stream, sheet, book);
        local.emplace(book, sheet.localSupBooks, sheet.localXti);
    }
    SheetState st{sheet, book, log, local ? *local : ctx, {}, {}, {}, -1, -1, {}, {}, {-1, -1, -1, -1}, {},
                  size_t(stream.size()) - std::min<size_t>(size_t(stream.size()), sheet.bofOffset)};
    RecordStream rs(stream);
    rs.seek(sheet.bofOffset);
    Record rec;
    if (!rs.next(rec) || rec.type != rt::Bof) {
        log.add(QStringLiteral("sheet '%1': no sheet data at offset %2").arg(sheet.name).arg(sheet.bofOffset));
        sheet.used = Area{0, 0, 0, 0};
        return 0;
    }
    {
        ByteCursor c = rec.cursor();
        c.skip(2);
        const int dt = c.remaining() >= 2 ? c.u16() : 0x10;
        if (dt == 0x20) sheet.kind = SheetKind::Chart;
        else if (dt == 0x40) sheet.kind = SheetKind::MacroSheet;
    }
    DrawingRecords drawing;
    int depth = 1;
    while (depth > 0 && rs.next(rec)) {
        if (rec.type == rt::Bof) { ++depth; continue; }
        if (rec.type == rt::Eof) { --depth; continue; }
        if (depth > 1) continue;
        // A chart sheet's own data records are series caches, not cells.
        if (sheet.kind == SheetKind::Chart) continue;
        if (book.biff != 5) drawing.add(rec);  // Excel 5.0/95 has no OfficeArt drawing
        try {
            dispatch(rec, st);
        } catch (const FormatError& e) {
            st.warnRecord(FormatError(e.reason(), e.offset(), rec.type));
        }
    }
    if (depth > 0)
        log.add(QStringLiteral("sheet '%1': sheet data ends early").arg(sheet.name));
    resolvePendingFormulas(st);
    sortCells(sheet);
    attachNotes(st);
    attachBiff5Notes(st);
    readDrawing(drawing, sheet, book, log, ctx);
    settleUsedRange(st);
    return rs.pos() - std::min<size_t>(rs.pos(), sheet.bofOffset);
}

}  // namespace tabulon::xls
