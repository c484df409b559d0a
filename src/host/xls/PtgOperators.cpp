// Operator tokens (MS-XLS 2.5.198.25 PtgAdd ... 2.5.198.81 PtgUplus): binary
// and unary operators, the display parenthesis and the missing argument.
// Operators keep the order of the stream; only PtgParen adds parentheses, so
// the text shows the grouping the author typed.
#include "host/xls/PtgState.h"

namespace tabulon::xls {
namespace {

QStringView binarySymbol(uint8_t ptg) {
    switch (ptg) {
    case 0x03: return u"+";   // PtgAdd
    case 0x04: return u"-";   // PtgSub
    case 0x05: return u"*";   // PtgMul
    case 0x06: return u"/";   // PtgDiv
    case 0x07: return u"^";   // PtgPower
    case 0x08: return u"&";   // PtgConcat
    case 0x09: return u"<";   // PtgLt
    case 0x0A: return u"<=";  // PtgLe
    case 0x0B: return u"=";   // PtgEq
    case 0x0C: return u">=";  // PtgGe
    case 0x0D: return u">";   // PtgGt
    case 0x0E: return u"<>";  // PtgNe
    case 0x0F: return u" ";   // PtgIsect: the intersection operator is a space
    case 0x10: return u",";   // PtgUnion
    case 0x11: return u":";   // PtgRange
    default: return {};
    }
}

// Spacing announced before an operator goes before its symbol.
void binary(QStringView symbol, PtgState& s) {
    if (s.pending.empty()) {
        s.combine(2, {}, symbol, {});
        return;
    }
    const PtgSpacing spacing = s.takeSpacing();
    s.combine(2, {}, QString(spacing.before + symbol.toString()), {});
}

void prefix(QStringView symbol, PtgState& s) {
    if (s.pending.empty()) {
        s.combine(1, symbol, {}, {});
        return;
    }
    const PtgSpacing spacing = s.takeSpacing();
    s.combine(1, QString(spacing.before + symbol.toString()), {}, {});
}

void percent(PtgState& s) {
    const PtgSpacing spacing = s.takeSpacing();
    s.combine(1, {}, {}, QString(spacing.before + QLatin1Char('%')));
}

void paren(PtgState& s) {
    if (s.pending.empty()) {
        s.combine(1, u"(", {}, u")");
        return;
    }
    const PtgSpacing spacing = s.takeSpacing();
    s.combine(1, QString(spacing.before + spacing.beforeOpen + QLatin1Char('(')), {},
              QString(spacing.beforeClose + QLatin1Char(')')));
}

}  // namespace

bool decodeOperator(uint8_t ptg, PtgState& s) {
    if (const QStringView symbol = binarySymbol(ptg); !symbol.isEmpty()) {
        binary(symbol, s);
        return true;
    }
    switch (ptg) {
    case 0x12: prefix(u"+", s); return true;      // PtgUplus
    case 0x13: prefix(u"-", s); return true;      // PtgUminus
    case 0x14: percent(s); return true;           // PtgPercent
    case 0x15: paren(s); return true;             // PtgParen
    case 0x16: s.pushOperand({}); return true;    // PtgMissArg: empty argument
    default: return false;
    }
}

}  // namespace tabulon::xls
