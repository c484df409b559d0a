// Constant cell records of a sheet substream.
#include "host/xls/Readers.h"
#include "host/xls/SheetLayout.h"
#include "host/xls/SheetState.h"

#include <cstring>

namespace tabulon::xls {

namespace {
constexpr int kMaxRow = 65535;  // BIFF8 sheet: 65,536 rows by 256 columns
constexpr int kMaxCol = 255;

void checkCell(int row, int col, size_t offset) {
    if (row > kMaxRow || col > kMaxCol)
        throw FormatError(QStringLiteral("cell outside the sheet"), offset);
}

}  // namespace

// RkNumber, MS-XLS 2.5.217
double rkValue(uint32_t rk) {
    double v;
    if (rk & 0x02) {
        v = double(int32_t(rk) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

void SheetState::touch(int row, int col) {
    if (extent.firstRow < 0) {
        extent = {row, row, col, col};
        return;
    }
    extent.firstRow = std::min(extent.firstRow, row);
    extent.lastRow = std::max(extent.lastRow, row);
    extent.firstCol = std::min(extent.firstCol, col);
    extent.lastCol = std::max(extent.lastCol, col);
}

CellData& SheetState::addCell(int row, int col, CellType type) {
    touch(row, col);
    CellData& cell = sheet.cells.emplace_back();
    cell.row = row;
    cell.col = uint16_t(col);
    cell.type = type;
    return cell;
}

void SheetState::setText(CellData& cell, QString text) {
    cell.flags |= CellData::OwnText;
    cell.text = uint32_t(sheet.texts.size());
    sheet.texts.push_back(std::move(text));
}

void SheetState::setFormula(CellData& cell, QString text) {
    cell.flags |= CellData::HasFormula;
    cell.formula = uint32_t(sheet.texts.size());
    sheet.texts.push_back(std::move(text));
}

void SheetState::format(int row, int col, int xf) { addCellFormat(sheet.layout, row, col, xf); }

int readCellHead(ByteCursor& c, SheetState& st, int& col) {
    const int row = c.u16();
    col = c.u16();
    if (c.remaining() >= 2) st.format(row, col, c.u16());
    return row;
}

void SheetState::warnRecord(const FormatError& e) { warn(log, QStringLiteral("sheet '%1'").arg(sheet.name), e); }

void SheetState::warnText(const QString& text) { log.addCapped(QStringLiteral("sheet '%1': %2").arg(sheet.name, text)); }

// Number, MS-XLS 2.4.180
void parseNumber(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    const double v = c.f64();
    checkCell(row, col, rec.offset);
    st.addCell(row, col, CellType::Number).number = v;
}

// RK, MS-XLS 2.4.220
void parseRk(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    const double v = rkValue(c.u32());
    checkCell(row, col, rec.offset);
    st.addCell(row, col, CellType::Number).number = v;
}

// MulRk, MS-XLS 2.4.175
void parseMulRk(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    const int row = c.u16();
    int col = c.u16();
    // Six bytes per cell, then the last column: the count follows the bytes.
    while (c.remaining() >= 8) {
        st.format(row, col, c.u16());
        const double v = rkValue(c.u32());
        checkCell(row, col, rec.offset);
        st.addCell(row, col, CellType::Number).number = v;
        ++col;
    }
}

// LabelSst, MS-XLS 2.4.149
void parseLabelSst(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    const uint32_t isst = c.u32();
    checkCell(row, col, rec.offset);
    if (isst >= st.book.sstCount)
        throw FormatError(QStringLiteral("shared string index %1 out of range").arg(isst), rec.offset);
    st.addCell(row, col, CellType::Text).text = isst;
}

// Label, MS-XLS 2.4.148 (also RString, 2.4.218, whose runs follow the text)
void parseLabel(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    const QString text = readUnicodeString16(rec, c);
    checkCell(row, col, rec.offset);
    CellData& cell = st.addCell(row, col, CellType::Text);
    st.setText(cell, text);
    if (rec.type == rt::RString && c.remaining() >= 2) {
        TextRuns runs = readFormatRuns(c, c.u16(), text.size());
        if (!runs.empty()) st.sheet.textRuns[cell.text] = std::move(runs);
    }
}

// BoolErr, MS-XLS 2.4.24
void parseBoolErr(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    const int value = c.u8();
    const bool isError = c.u8() != 0;
    checkCell(row, col, rec.offset);
    st.addCell(row, col, isError ? CellType::Error : CellType::Boolean).number = value;
}

// Blank, MS-XLS 2.4.20: no value, but part of the used range
void parseBlank(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    checkCell(row, col, rec.offset);
    st.touch(row, col);
}

// MulBlank, MS-XLS 2.4.174
void parseMulBlank(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    const int row = c.u16(), first = c.u16();
    const int count = int((c.remaining() >= 2 ? c.remaining() - 2 : 0) / 2);
    for (int i = 0; i < count; ++i) st.format(row, first + i, c.u16());  // one format per cell, then the last column
    if (count <= 0) return;
    checkCell(row, std::min(first + count - 1, 65535), rec.offset);
    st.touch(row, first);
    st.touch(row, first + count - 1);
}

// Dimensions, MS-XLS 2.4.90: rwMac and colMac are one past the last
void parseDimensions(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    const uint32_t rwMic = c.u32(), rwMac = c.u32();
    const uint32_t colMic = c.u16(), colMac = c.u16();
    setDimensions(st, rwMic, rwMac, colMic, colMac);
}

void setDimensions(SheetState& st, uint32_t rwMic, uint32_t rwMac, uint32_t colMic, uint32_t colMac) {
    if (rwMac <= rwMic || colMac <= colMic) return;  // an empty sheet
    st.hasDimensions = true;
    // Room for the cells the range announces, but never more than the
    // remaining bytes could hold at ten bytes (a BLANK record) per cell.
    const size_t announced = size_t(rwMac - rwMic) * size_t(colMac - colMic);
    st.sheet.cells.reserve(std::min(announced, st.bytesLeft / 10));
    st.sheet.used = {int(std::min<uint32_t>(rwMic, kMaxRow)), int(std::min<uint32_t>(rwMac - 1, kMaxRow)),
                     int(std::min<uint32_t>(colMic, kMaxCol)), int(std::min<uint32_t>(colMac - 1, kMaxCol))};
}

}  // namespace tabulon::xls
