#pragma once
// The decoder's working state, shared by the token-family units. A parsed
// formula is in reverse Polish order: operands push their text, operators
// and functions pop their operands and push the combined text.
//
// The texts on the stack live side by side in one character buffer, in
// stack order, so an operator's operands are always the buffer's tail: an
// item is only its start in the buffer. Combining items rewrites that tail
// in place, and the buffer is kept from formula to formula on each thread,
// so decoding a formula allocates nothing but its finished text.
#include "host/xls/FormulaDecoder.h"
#include "host/xls/PtgCursor.h"

#include <QString>
#include <QStringView>
#include <string>
#include <vector>

namespace tabulon::xls {

struct PtgItem {
    size_t start = 0;  // where the item's text begins in the buffer
    int depth = 0;     // nesting, to refuse streams built to exhaust the stack
};

// Whitespace the author typed, announced by PtgAttrSpace before the token it
// belongs to.
struct PtgSpacing {
    QString before;       // before the token's own text (or its operator)
    QString beforeOpen;   // before "(" of a parenthesised expression
    QString beforeClose;  // before ")" of a parenthesis or function call
    bool empty() const { return before.isEmpty() && beforeOpen.isEmpty() && beforeClose.isEmpty(); }
};

// The reusable buffers of one thread's decoder.
struct PtgBuffers {
    std::u16string text;     // every stacked item's text, in stack order
    std::u16string scratch;  // the items being combined, while they are
    std::vector<PtgItem> stack;
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

    size_t stackSize() const { return buf_.stack.size(); }
    PtgSpacing takeSpacing();

    // An operand, with any whitespace announced before it: begin, append its
    // text, end. pushOperand does all three for a finished text.
    void beginOperand();
    void append(QStringView text) { buf_.text.append(reinterpret_cast<const char16_t*>(text.data()), size_t(text.size())); }
    void append(QLatin1String text) { for (char ch : text) buf_.text.push_back(char16_t(uchar(ch))); }
    void append(char16_t ch) { buf_.text.push_back(ch); }
    void append(const char16_t* chars, size_t n) { buf_.text.append(chars, n); }
    void endOperand();
    void pushOperand(QStringView text);

    // Replaces the top n items (n may be 0) by head, the items joined by sep,
    // and tail, one level deeper than the deepest of them. With dropFirst the
    // first of the n items is left out of the text (it was read with
    // itemText beforehand).
    void combine(size_t n, QStringView head, QStringView sep, QStringView tail, bool dropFirst = false);
    // The text of the item n places below the top (0: the top).
    QStringView itemText(size_t n) const;

private:
    PtgBuffers& buf_;
    size_t operandStart_ = 0;
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
