// The geometry of one sheet: column widths, row heights, merged areas and
// each cell's format, read from the sheet substream with its cells.
#include "host/xls/SheetLayout.h"

#include <algorithm>

namespace tabulon::xls {

namespace {

using model::SheetLayout;

constexpr uint16_t kColInfo = 0x007D, kRow = 0x0208, kDefColWidth = 0x0055, kStandardWidth = 0x0099,
    kDefaultRowHeight = 0x0225, kMergeCells = 0x00E5, kWindow2 = 0x023E;

constexpr int kMaxRow = 65535, kMaxCol = 255;

bool before(const model::CellFormatAt& a, const model::CellFormatAt& b) {
    return a.row != b.row ? a.row < b.row : a.col < b.col;
}

}  // namespace

// ColInfo, MS-XLS 2.4.53
void parseColInfo(const Record& rec, SheetLayout& s) {
    ByteCursor c = rec.cursor();
    const int first = c.u16();
    const int last = std::min<int>(c.u16(), kMaxCol);
    const int width = c.u16();
    const int xf = c.u16();
    const bool hidden = c.u16() & 0x0001;
    if (first > last) return;
    if (s.columns.size() <= size_t(last)) s.columns.resize(size_t(last) + 1);
    for (int col = first; col <= last; ++col) s.columns[size_t(col)] = {width, hidden, xf};
}

// Row, MS-XLS 2.4.221
void parseRow(const Record& rec, SheetLayout& s) {
    ByteCursor c = rec.cursor();
    const int row = c.u16();
    c.skip(4);  // first and last column
    const int height = c.u16() & 0x7FFF;
    c.skip(4);
    const uint16_t flags = c.u16();
    model::RowFormat def;
    def.twips = height;
    def.hidden = flags & 0x0020;  // fDyZero
    s.rows[row] = def;
}

// MergeCells, MS-XLS 2.4.168
void parseMergeCells(const Record& rec, SheetLayout& s) {
    ByteCursor c = rec.cursor();
    const size_t count = c.u16();
    for (size_t i = 0; i < count && c.remaining() >= 8; ++i) {
        model::Area a;
        a.firstRow = c.u16();
        a.lastRow = c.u16();
        a.firstCol = c.u16();
        a.lastCol = c.u16();
        if (a.firstRow <= a.lastRow && a.firstCol <= a.lastCol && a.lastCol <= kMaxCol) s.merges.push_back(a);
    }
}

void addCellFormat(SheetLayout& s, int row, int col, int xf) {
    if (row < 0 || row > kMaxRow || col < 0 || col > kMaxCol) return;
    s.cellFormats.push_back({row, uint16_t(col), uint16_t(xf)});
}

namespace {

bool parseGeometryRecord(const Record& rec, SheetLayout& s) {
    switch (rec.type) {
    case kColInfo: parseColInfo(rec, s); return true;
    case kRow: parseRow(rec, s); return true;
    case kMergeCells: parseMergeCells(rec, s); return true;
    case kDefColWidth: { ByteCursor c = rec.cursor(); s.defaultColumnChars = c.u16(); return true; }  // 2.4.89
    case kStandardWidth: { ByteCursor c = rec.cursor(); s.standardWidth256 = c.u16(); return true; }  // 2.4.263
    case kDefaultRowHeight: {  // DefaultRowHeight, MS-XLS 2.4.87
        ByteCursor c = rec.cursor();
        const uint16_t flags = c.u16();
        s.defaultRowsHidden = flags & 0x0002;
        const int twips = c.i16();
        if (twips > 0) s.defaultRowTwips = twips;
        return true;
    }
    case kWindow2: { ByteCursor c = rec.cursor(); s.showZeros = c.u16() & 0x0010; return true; }  // 2.4.346
    default: return false;
    }
}

}  // namespace

void finishCellFormats(SheetLayout& s) {
    auto& cells = s.cellFormats;
    auto same = [](const model::CellFormatAt& a, const model::CellFormatAt& b) { return a.row == b.row && a.col == b.col; };
    // The spreadsheet writes cells in order; only other writers need the sort.
    if (!std::is_sorted(cells.begin(), cells.end(), before)) std::stable_sort(cells.begin(), cells.end(), before);
    if (std::adjacent_find(cells.begin(), cells.end(), same) == cells.end()) return;
    // A cell written twice keeps its last record, as the cell values do.
    std::vector<model::CellFormatAt> unique;
    unique.reserve(cells.size());
    for (size_t i = 0; i < cells.size(); ++i)
        if (i + 1 == cells.size() || !same(cells[i], cells[i + 1])) unique.push_back(cells[i]);
    cells.swap(unique);
}

bool parseLayoutRecord(const Record& rec, SheetLayout& s, bool biff5, int codePage) {
    try {
        if (biff5 && parseBiff5PageRecord(rec, s.page, codePage)) return true;
        return parseGeometryRecord(rec, s) || parsePageRecord(rec, s.page);
    } catch (const FormatError&) {
        // a damaged record: the sheet prints with the defaults it stood for
        return true;
    }
}

}  // namespace tabulon::xls
