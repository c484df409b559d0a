// One sheet substream, read once: from its BOF to the matching EOF, skipping
// the substreams of embedded charts in between. Each record goes to the
// layout, the drawing layer or the cells (a cell record gives its value and
// its cell format).
#include "host/xls/BookContext.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/Readers.h"
#include "host/xls/SheetLayout.h"
#include "host/xls/SheetState.h"

#include <algorithm>

namespace tabulon::xls {

namespace {

// Settings records of a worksheet that are not its page setup.
bool parseSheetSetting(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    switch (rec.type) {
    case rt::Protect:  // Protect, MS-XLS 2.4.207
        st.sheet.protectContents = c.u16() != 0;
        return true;
    case rt::Password:  // Password, MS-XLS 2.4.191
        st.sheet.hasPassword = c.u16() != 0;
        return true;
    case rt::WsBool: {  // WsBool, MS-XLS 2.4.351
        const uint16_t flags = c.u16();
        st.sheet.layout.page.fitToPage = flags & 0x0100;
        if ((flags & 0x0010) && st.sheet.kind == model::SheetKind::Worksheet) st.sheet.kind = model::SheetKind::Dialog;
        return true;
    }
    case rt::CodeName:  // CodeName, MS-XLS 2.4.51
        st.sheet.codeName = readUnicodeString16(rec, c);
        return true;
    default:
        return false;
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
    default: parseSheetSetting(rec, st); return;
    }
    st.stringTarget = -1;
}

void settleUsedRange(SheetState& st) {
    model::Sheet& s = st.sheet;
    if (st.extent.firstRow >= 0) {
        if (!st.hasDimensions) {
            s.used = st.extent;
        } else {  // cells beyond a stale DIMENSIONS still belong to the range
            s.used.firstRow = std::min(s.used.firstRow, st.extent.firstRow);
            s.used.lastRow = std::max(s.used.lastRow, st.extent.lastRow);
            s.used.firstCol = std::min(s.used.firstCol, st.extent.firstCol);
            s.used.lastCol = std::max(s.used.lastCol, st.extent.lastCol);
        }
    } else if (!st.hasDimensions) {
        s.used = Area{0, 0, 0, 0};
    }
}

void sortCells(model::Sheet& s) {
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

bool isChartBof(const Record& rec) {
    ByteCursor c = rec.cursor();
    if (c.remaining() < 4) return false;
    c.skip(2);
    return c.u16() == 0x20;
}

// A chart sheet shows its one chart; the embedded charts follow their OBJ
// records, so the n-th chart object shows the n-th chart.
void joinCharts(SheetJob& job) {
    model::Sheet& sheet = job.sheet;
    if (job.charts.empty()) return;
    if (sheet.kind == model::SheetKind::Chart) {
        sheet.chart = 0;
        return;
    }
    size_t next = 0;
    for (model::Shape& s : sheet.shapes)
        if (s.kind == model::ShapeKind::Chart && next < job.charts.size()) s.chart = int(next++);
}

}  // namespace

const FormulaContext& SheetState::ctx() {
    if (book.biff != 5) return bookContext;
    if (!sheetContext) sheetContext.emplace(book, job.localSupBooks, job.localXti);
    return *sheetContext;
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

size_t readSheet(const QByteArray& stream, const SheetEntry& entry, const Globals& book, const FormulaContext& ctx,
                 SheetJob& job) {
    model::Sheet& sheet = job.sheet;
    sheet.name = entry.name;
    sheet.kind = entry.kind;
    sheet.visibility = entry.visibility;
    SheetState st(job, book, ctx, size_t(stream.size()) - std::min<size_t>(size_t(stream.size()), entry.bofOffset));
    RecordStream rs(stream);
    rs.seek(entry.bofOffset);
    Record rec;
    if (!rs.next(rec) || rec.type != rt::Bof) {
        job.log.add(QStringLiteral("sheet '%1': no sheet data at offset %2").arg(sheet.name).arg(entry.bofOffset));
        sheet.used = Area{0, 0, 0, 0};
        return 0;
    }
    {
        ByteCursor c = rec.cursor();
        c.skip(2);
        const int dt = c.remaining() >= 2 ? c.u16() : 0x10;
        if (dt == 0x20) sheet.kind = model::SheetKind::Chart;
        else if (dt == 0x40) sheet.kind = model::SheetKind::MacroSheet;
    }
    const bool biff5 = book.biff == 5;
    DrawingRecords drawing;
    // The records of the chart substream being read: the chart sheet's own,
    // or an embedded chart's (the substream after its OBJ record).
    std::vector<Record> chartRecords;
    int chartDepth = sheet.kind == model::SheetKind::Chart && !biff5 ? 1 : 0;
    int depth = 1;
    while (depth > 0 && rs.next(rec)) {
        if (rec.type == rt::Bof) {
            if (++depth == 2 && chartDepth == 0 && !biff5 && isChartBof(rec)) chartDepth = 2;
            continue;
        }
        if (rec.type == rt::Eof) {
            if (depth-- == chartDepth) {
                job.charts.push_back(readChartRecords(chartRecords, book, job.log, job.chartSources, job.charts.size()));
                chartRecords.clear();
                chartDepth = 0;
            }
            continue;
        }
        if (depth == chartDepth) chartRecords.push_back(rec);
        if (depth > 1) continue;
        if (parseLayoutRecord(rec, sheet.layout, biff5, book.codePage)) continue;
        // A chart sheet's own data records are series caches, not cells.
        if (sheet.kind == model::SheetKind::Chart) continue;
        try {
            // Excel 5.0/95 has no OfficeArt drawing.
            if (!biff5 && (rec.type == rt::MsoDrawing || rec.type == rt::Obj || rec.type == rt::Txo)) {
                if (rec.type == rt::Txo) st.stringTarget = -1;
                drawing.add(rec, st.ctx());
            } else {
                dispatch(rec, st);
            }
        } catch (const FormatError& e) {
            st.warnRecord(FormatError(e.reason(), e.offset(), rec.type));
        }
    }
    if (depth > 0)
        job.log.add(QStringLiteral("sheet '%1': sheet data ends early").arg(sheet.name));
    resolvePendingFormulas(st);
    sortCells(sheet);
    finishCellFormats(sheet.layout);
    if (!drawing.empty()) readDrawing(drawing, sheet, book, job.log);
    joinCharts(job);
    attachNotes(st, drawing);
    attachBiff5Notes(st);
    settleUsedRange(st);
    return rs.pos() - std::min<size_t>(rs.pos(), entry.bofOffset);
}

}  // namespace tabulon::xls
