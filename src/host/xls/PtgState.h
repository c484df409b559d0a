#pragma once
// The decoder's working state, shared by the token-family units. A parsed
// formula is in reverse Polish order: operands push their text, operators
// and functions pop their operands and push the combined text.
#include "host/xls/FormulaDecoder.h"
#include "host/xls/PtgCursor.h"

#include <QString>
#include <vector>

namespace tabulon::xls {

struct PtgItem {
    QString text;
    int depth = 0;  // nesting, to refuse streams built to exhaust the stack
};

// Whitespace the author typed, announced by PtgAttrSpace before the token it
// belongs to.
struct PtgSpacing {
    QString before;       // before the token's own text (or its operator)
    QString beforeOpen;   // before "(" of a parenthesised expression
    QString beforeClose;  // before ")" of a parenthesis or function call
    bool empty() const { return before.isEmpty() && beforeOpen.isEmpty() && beforeClose.isEmpty(); }
};

class PtgState {
public:
    PtgState(const FormulaInput& in, const FormulaContext& ctx);

    const FormulaInput& input;
    const FormulaContext& context;
    PtgCursor tokens;
    PtgCursor extra;      // RgbExtra, consumed in token order
    PtgSpacing pending;
    QString afterEquals;  // spaces a macro-sheet formula has after "="

    void push(QString text, int depth = 0);
    PtgItem pop();
    // Pops n items, returning them first-pushed first.
    std::vector<PtgItem> pop(size_t n);
    size_t stackSize() const { return stack_.size(); }
    PtgSpacing takeSpacing();
    // Pushes an operand, with any whitespace announced before it.
    void pushOperand(const QString& text);

private:
    std::vector<PtgItem> stack_;
};

// Token families. Each returns false when the token is not one of its own;
// the base code has the class bits folded away (0x20..0x3F for operands).
bool decodeOperator(uint8_t ptg, PtgState& s);
bool decodeConstant(uint8_t ptg, PtgState& s);
bool decodeReference(uint8_t base, PtgState& s);
bool decodeFunction(uint8_t ptg, uint8_t base, PtgState& s);

// Column letters for a 0-based column: 0 -> "A", 255 -> "IV".
QString columnLetters(int col);

}  // namespace tabulon::xls
