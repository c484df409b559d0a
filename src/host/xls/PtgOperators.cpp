// Operator tokens (MS-XLS 2.5.198.25 PtgAdd ... 2.5.198.81 PtgUplus): binary
// and unary operators, the display parenthesis and the missing argument.
// Operators keep the order of the stream; only PtgParen adds parentheses, so
// the text shows the grouping the author typed.
#include "host/xls/PtgState.h"

namespace tabulon::xls {
namespace {

const char* binarySymbol(uint8_t ptg) {
    switch (ptg) {
    case 0x03: return "+";   // PtgAdd
    case 0x04: return "-";   // PtgSub
    case 0x05: return "*";   // PtgMul
    case 0x06: return "/";   // PtgDiv
    case 0x07: return "^";   // PtgPower
    case 0x08: return "&";   // PtgConcat
    case 0x09: return "<";   // PtgLt
    case 0x0A: return "<=";  // PtgLe
    case 0x0B: return "=";   // PtgEq
    case 0x0C: return ">=";  // PtgGe
    case 0x0D: return ">";   // PtgGt
    case 0x0E: return "<>";  // PtgNe
    case 0x0F: return " ";   // PtgIsect: the intersection operator is a space
    case 0x10: return ",";   // PtgUnion
    case 0x11: return ":";   // PtgRange
    default: return nullptr;
    }
}

void binary(const char* symbol, PtgState& s) {
    const PtgSpacing spacing = s.takeSpacing();
    PtgItem rhs = s.pop();
    PtgItem lhs = s.pop();
    lhs.text.reserve(lhs.text.size() + spacing.before.size() + 2 + rhs.text.size());
    lhs.text += spacing.before;
    lhs.text += QLatin1String(symbol);
    lhs.text += rhs.text;
    s.push(std::move(lhs.text), std::max(lhs.depth, rhs.depth) + 1);
}

void prefix(const char* symbol, PtgState& s) {
    const PtgSpacing spacing = s.takeSpacing();
    const PtgItem arg = s.pop();
    s.push(spacing.before + QLatin1String(symbol) + arg.text, arg.depth + 1);
}

void percent(PtgState& s) {
    const PtgSpacing spacing = s.takeSpacing();
    const PtgItem arg = s.pop();
    s.push(arg.text + spacing.before + QLatin1Char('%'), arg.depth + 1);
}

void paren(PtgState& s) {
    const PtgSpacing spacing = s.takeSpacing();
    const PtgItem arg = s.pop();
    s.push(spacing.before + spacing.beforeOpen + QLatin1Char('(') + arg.text +
               spacing.beforeClose + QLatin1Char(')'),
           arg.depth + 1);
}

}  // namespace

bool decodeOperator(uint8_t ptg, PtgState& s) {
    if (const char* symbol = binarySymbol(ptg)) {
        binary(symbol, s);
        return true;
    }
    switch (ptg) {
    case 0x12: prefix("+", s); return true;      // PtgUplus
    case 0x13: prefix("-", s); return true;      // PtgUminus
    case 0x14: percent(s); return true;          // PtgPercent
    case 0x15: paren(s); return true;            // PtgParen
    case 0x16: s.pushOperand(QString()); return true;  // PtgMissArg: empty argument
    default: return false;
    }
}

}  // namespace tabulon::xls
