// Reference and name operands: PtgRef/PtgArea (2.5.198.84/2.5.198.27), their
// relative forms PtgRefN/PtgAreaN used by shared formulas and names, the 3-D
// forms through the EXTERNSHEET table, the #REF! forms left by deleted cells
// or sheets, and PtgName/PtgNameX.
#include "host/model/NumberText.h"
#include "host/xls/PtgState.h"

namespace tabulon::xls {
namespace {

struct Cell {
    int row = 0;
    int col = 0;
    bool rowRelative = false;
    bool colRelative = false;
};

// How the stored row and column are to be read: as positions (RgceLoc), or,
// where flagged relative, as signed offsets from a base cell (RgceLocRel),
// wrapping around the sheet. An .xls stores 16 bits of row and the low 8
// bits of the column word as the offset; a binary workbook 32 bits of row
// and all 14 bits of the column, on its grid of 1,048,576 by 16,384 cells.
struct Frame {
    bool offsets = false;
    bool wide = false;
    int baseRow = 0;
    int baseCol = 0;
    int rows() const { return wide ? 1048576 : 65536; }
    int columns() const { return wide ? 16384 : 256; }
};

int wrap(int value, int size) { return ((value % size) + size) % size; }

Cell resolve(uint32_t rw, uint16_t colField, const Frame& f) {
    Cell c;
    c.colRelative = (colField & 0x4000) != 0;
    c.rowRelative = (colField & 0x8000) != 0;
    c.row = int(std::min<uint32_t>(rw, uint32_t(f.rows() - 1)));
    c.col = colField & 0x3FFF;
    if (f.offsets && c.rowRelative) {
        const int64_t offset = f.wide ? int64_t(int32_t(rw)) : int64_t(int16_t(rw));
        c.row = int(((f.baseRow + offset) % f.rows() + f.rows()) % f.rows());
    }
    if (f.offsets && c.colRelative) {
        const int offset = f.wide ? ((colField & 0x3FFF) ^ 0x2000) - 0x2000 : int(static_cast<int8_t>(colField & 0xFF));
        c.col = wrap(f.baseCol + offset, f.columns());
    }
    return c;
}

// Reference texts are most of a formula's text: each is put together in a
// small buffer and becomes one QString, instead of one per piece.
int putColumn(char16_t* out, int col) {
    char16_t rev[4];
    int n = 0;
    for (int v = col + 1; v > 0; v = (v - 1) / 26) rev[n++] = char16_t(u'A' + (v - 1) % 26);
    for (int i = 0; i < n; ++i) out[i] = rev[n - 1 - i];
    return n;
}

int putCell(char16_t* out, const Cell& c, bool col, bool row) {
    int n = 0;
    if (col) {
        if (!c.colRelative) out[n++] = u'$';
        n += putColumn(out + n, c.col);
    }
    if (row) {
        if (!c.rowRelative) out[n++] = u'$';
        n += putDigits(out + n, uint64_t(c.row) + 1);
    }
    return n;
}

// Reference texts go straight onto the decoder's stack.
void appendCell(PtgState& s, const Cell& c) {
    s.used(size_t(putCell(s.room(16), c, true, true)));
}

void noteArea(PtgState& s, const Cell& a, const Cell& b) {
    if (s.areas) s.areas->push_back(Area{a.row, b.row, a.col, b.col});
}

uint32_t readRow(ByteCursor& t, const Frame& f) { return f.wide ? t.u32() : t.u16(); }

Cell readCell(PtgState& s, ByteCursor& t, const Frame& f) {
    const uint32_t rw = readRow(t, f);
    const Cell c = resolve(rw, t.u16(), f);
    noteArea(s, c, c);
    return c;
}

// Whole columns show as "A:B" and whole rows as "1:2", the way the
// spreadsheet writes them back.
void appendArea(PtgState& s, uint32_t rwFirst, uint32_t rwLast, uint16_t colFirst, uint16_t colLast, const Frame& f) {
    const Cell a = resolve(rwFirst, colFirst, f);
    const Cell b = resolve(rwLast, colLast, f);
    noteArea(s, a, b);
    const bool wholeRows = a.col == 0 && b.col == f.columns() - 1;
    const bool wholeCols = !wholeRows && a.row == 0 && b.row == f.rows() - 1;
    char16_t* out = s.room(32);
    int n = putCell(out, a, !wholeRows, !wholeCols);
    out[n++] = u':';
    n += putCell(out + n, b, !wholeRows, !wholeCols);
    s.used(size_t(n));
}

void appendArea(PtgState& s, ByteCursor& t, const Frame& f) {
    const uint32_t rwFirst = readRow(t, f);
    const uint32_t rwLast = readRow(t, f);
    const uint16_t colFirst = t.u16();
    const uint16_t colLast = t.u16();
    appendArea(s, rwFirst, rwLast, colFirst, colLast, f);
}

// RefN/AreaN always hold offsets; the 3-D forms hold them in a name's formula
// (RgceLocRel, MS-XLS 2.5.198.85); plain Ref/Area never do. Shared formulas
// cannot hold 3-D references at all.
Frame frameFor(const PtgState& s, bool offsets) {
    Frame f;
    f.offsets = offsets;
    f.wide = s.input.biff12;
    if (s.input.kind != FormulaKind::Name) {
        f.baseRow = s.input.row;
        f.baseCol = s.input.col;
    }
    return f;
}

// A deleted sheet leaves an empty prefix; the spreadsheet then shows the
// reference as "#REF!A1".

}  // namespace

void appendCellReference(PtgState& s, uint32_t rw, uint16_t col, bool offsets) {
    const Cell c = resolve(rw, col, frameFor(s, offsets));
    noteArea(s, c, c);
    appendCell(s, c);
}

void appendAreaReference(PtgState& s, uint32_t rwFirst, uint32_t rwLast, uint16_t colFirst, uint16_t colLast,
                         bool offsets) {
    appendArea(s, rwFirst, rwLast, colFirst, colLast, frameFor(s, offsets));
}

void appendSheetPrefixText(PtgState& s, const QString& prefix) {
    if (prefix.isEmpty()) {
        s.append(u"#REF!");
        return;
    }
    s.append(prefix);
    s.append(u'!');
}

static void appendSheetPrefix(PtgState& s, uint16_t ixti) { appendSheetPrefixText(s, s.context.externSheetPrefix(ixti)); }

bool decodeReference(uint8_t base, PtgState& s) {
    ByteCursor& t = s.tokens;
    const bool offsets3d = s.input.kind == FormulaKind::Name;
    // A cell address takes 4 bytes in an .xls, 6 in a binary workbook.
    const size_t cellBytes = s.input.biff12 ? 6 : 4;
    switch (base) {
    case 0x23: s.pushOperand(s.context.definedNameOn(static_cast<int>(t.u32()), s.input.sheetName)); return true;  // PtgName
    case 0x2A: t.skip(cellBytes); s.pushOperand(u"#REF!"); return true;                        // PtgRefErr
    case 0x2B: t.skip(2 * cellBytes); s.pushOperand(u"#REF!"); return true;                    // PtgAreaErr
    case 0x39: {                                                                               // PtgNameX
        const uint16_t ixti = t.u16();
        s.pushOperand(s.context.externName(ixti, static_cast<int>(t.u32())));
        return true;
    }
    case 0x3C:                                                                                 // PtgRefErr3d
    case 0x3D: {                                                                               // PtgAreaErr3d
        const QString prefix = s.context.externSheetPrefix(t.u16());
        t.skip(base == 0x3C ? cellBytes : 2 * cellBytes);
        s.beginOperand();
        if (!prefix.isEmpty()) {
            s.append(prefix);
            s.append(u'!');
        }
        s.append(u"#REF!");
        s.endOperand();
        return true;
    }
    default: break;
    }
    // The cell and area forms: the operand's text is written as it is read,
    // so a truncated token leaves the operand unfinished and the formula
    // refused as a whole.
    switch (base) {
    case 0x24: s.beginOperand(); appendCell(s, readCell(s, t, frameFor(s, false))); break;  // PtgRef
    case 0x25: s.beginOperand(); appendArea(s, t, frameFor(s, false)); break;            // PtgArea
    case 0x2C: s.beginOperand(); appendCell(s, readCell(s, t, frameFor(s, true))); break;   // PtgRefN
    case 0x2D: s.beginOperand(); appendArea(s, t, frameFor(s, true)); break;             // PtgAreaN
    case 0x3A: {                                                                         // PtgRef3d
        const uint16_t ixti = t.u16();
        const Cell c = readCell(s, t, frameFor(s, offsets3d));
        s.beginOperand();
        appendSheetPrefix(s, ixti);
        appendCell(s, c);
        break;
    }
    case 0x3B: {                                                                         // PtgArea3d
        s.beginOperand();
        appendSheetPrefix(s, t.u16());
        appendArea(s, t, frameFor(s, offsets3d));
        break;
    }
    default: return false;
    }
    s.endOperand();
    return true;
}

}  // namespace tabulon::xls
