// The Excel 5.0/95 (BIFF5) forms of formula tokens that BIFF8 changed. A
// cell address is a 16-bit row, whose top two bits are the relative flags
// of row and column, and an 8-bit column. 3-D references carry a signed
// EXTERNSHEET index: negative for this workbook, whose sheets the token then
// names by position; positive (1-based) for another book. String constants
// are byte strings in the workbook's code page; name tokens are padded.
// The reference text itself is written by the BIFF8 code.
#include "host/xls/PtgState.h"
#include "host/xls/Readers.h"

namespace tabulon::xls {
namespace {

constexpr uint16_t kLastRow5 = 0x3FFF;  // row 16384, the last of an Excel 5.0/95 sheet

struct Address5 {
    uint16_t row = 0;  // as BIFF8 stores it
    uint16_t col = 0;  // column, relative flags in bits 14 and 15
};

// A relative row read as an offset is a signed 14-bit number: it is widened
// to the 16 bits the BIFF8 code reads.
Address5 readAddress(uint8_t col, uint16_t rw, bool offsets) {
    Address5 a;
    a.row = rw & 0x3FFF;
    if (offsets && (rw & 0x8000) && (rw & 0x2000)) a.row |= 0xC000;
    a.col = uint16_t(col | (rw & 0xC000));
    return a;
}

void cell(PtgState& s, ByteCursor& t, bool offsets) {
    const uint16_t rw = t.u16();
    const Address5 a = readAddress(t.u8(), rw, offsets);
    appendCellReference(s, a.row, a.col, offsets);
}

// A whole column runs to row 16384 in Excel 5.0/95: it keeps the "A:A" form.
void area(PtgState& s, ByteCursor& t, bool offsets) {
    const uint16_t rw1 = t.u16();
    const uint16_t rw2 = t.u16();
    const uint8_t col1 = t.u8();
    const uint8_t col2 = t.u8();
    const Address5 a = readAddress(col1, rw1, offsets);
    Address5 b = readAddress(col2, rw2, offsets);
    if (!offsets && a.row == 0 && b.row == kLastRow5) b.row = 0xFFFF;
    appendAreaReference(s, a.row, b.row, a.col, b.col, offsets);
}

// The sheet part of a 3-D reference: its text before "!".
QString sheetPrefix(PtgState& s, int ixals, int firstTab, int lastTab) {
    if (ixals < 0) return s.context.ownSheetsPrefix(firstTab, lastTab);
    return s.context.externSheetPrefix(ixals - 1);
}

void reference3d(PtgState& s, bool isArea, bool isError) {
    ByteCursor& t = s.tokens;
    const int ixals = t.i16();
    t.skip(8);
    const int firstTab = t.i16();
    const int lastTab = t.i16();
    const QString prefix = sheetPrefix(s, ixals, firstTab, lastTab);
    const bool offsets = s.input.kind == FormulaKind::Name;
    s.beginOperand();
    if (isError) {
        t.skip(isArea ? 6 : 3);
        if (!prefix.isEmpty()) {
            s.append(prefix);
            s.append(u'!');
        }
        s.append(u"#REF!");
    } else {
        appendSheetPrefixText(s, prefix);
        isArea ? area(s, t, offsets) : cell(s, t, offsets);
    }
    s.endOperand();
}

void operand(PtgState& s, void (*read)(PtgState&, ByteCursor&, bool), bool offsets) {
    s.beginOperand();
    read(s, s.tokens, offsets);
    s.endOperand();
}

}  // namespace

bool decodeBiff5Token(uint8_t ptg, PtgState& s) {
    ByteCursor& t = s.tokens;
    if (ptg == 0x17) {  // string constant: 8-bit count, bytes
        const size_t cch = t.u8();
        const uint8_t* p = t.take(cch);
        ByteCursor bytes(p, cch);
        pushQuotedString(s, biff5Chars(bytes, cch, s.input.codePage));
        return true;
    }
    if (ptg < 0x20) return false;
    switch ((ptg & 0x1F) | 0x20) {
    case 0x23: {  // name: index, twelve unused bytes
        const int index = t.u16();
        t.skip(12);
        s.pushOperand(s.context.definedNameOn(index, s.input.sheetName));
        return true;
    }
    case 0x24: operand(s, cell, false); return true;
    case 0x25: operand(s, area, false); return true;
    case 0x2A: t.skip(3); s.pushOperand(u"#REF!"); return true;
    case 0x2B: t.skip(6); s.pushOperand(u"#REF!"); return true;
    case 0x2C: operand(s, cell, true); return true;
    case 0x2D: operand(s, area, true); return true;
    case 0x39: {  // external name: EXTERNSHEET index, name index
        const int ixals = t.i16();
        t.skip(8);
        const int index = t.u16();
        t.skip(12);
        s.pushOperand(ixals < 0 ? s.context.definedName(index) : s.context.externName(ixals - 1, index));
        return true;
    }
    case 0x3A: reference3d(s, false, false); return true;
    case 0x3B: reference3d(s, true, false); return true;
    case 0x3C: reference3d(s, false, true); return true;
    case 0x3D: reference3d(s, true, true); return true;
    default: return false;
    }
}

}  // namespace tabulon::xls
