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
#include "host/xls/ByteCursor.h"
#include "host/xls/Globals.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstring>
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
    bool announced = false;  // set with any of them: most formulas have none
    bool empty() const { return !announced; }
};

// A growing run of UTF-16 code units, written through a pointer: room()
// makes space for n more, used() counts what was written there.
class PtgText {
public:
    size_t size() const { return size_; }
    const char16_t* data() const { return store_.data(); }
    void clear() { size_ = 0; }
    void shrink(size_t n) { size_ = std::min(size_, n); }
    char16_t* room(size_t n) {
        if (size_ + n > store_.size()) store_.resize(std::max(store_.size() * 2, size_ + n + 256));
        return store_.data() + size_;
    }
    void used(size_t n) { size_ += n; }
    void append(const char16_t* chars, size_t n) {
        if (n) std::memcpy(room(n), chars, n * sizeof(char16_t));
        size_ += n;
    }
    void push(char16_t ch) {
        *room(1) = ch;
        ++size_;
    }
    void insert(size_t at, const char16_t* chars, size_t n) {
        if (!n) return;
        char16_t* base = room(n) - size_;
        std::memmove(base + at + n, base + at, (size_ - at) * sizeof(char16_t));
        std::memcpy(base + at, chars, n * sizeof(char16_t));
        size_ += n;
    }

private:
    std::vector<char16_t> store_;
    size_t size_ = 0;
};

// The reusable buffers of one thread's decoder.
struct PtgBuffers {
    PtgText text;            // "=", then every stacked item's text, in stack order
    std::u16string scratch;  // the items being combined, while they are
    std::vector<PtgItem> stack;
};

class PtgState {
public:
    PtgState(const FormulaInput& in, const FormulaContext& ctx);

    const FormulaInput& input;
    const FormulaContext& context;
    ByteCursor tokens;
    ByteCursor extra;     // RgbExtra, consumed in token order
    PtgSpacing pending;
    QString afterEquals;  // spaces a macro-sheet formula has after "="
    // Set when the caller wants the cell areas the formula refers to: each
    // cell or area reference read is added, and rangeOnly is cleared by any
    // token that is not a reference, a union, a parenthesis or a
    // memory-area wrapper.
    std::vector<Area>* areas = nullptr;
    bool rangeOnly = true;

    size_t stackSize() const { return buf_.stack.size(); }
    PtgSpacing takeSpacing();

    // An operand, with any whitespace announced before it: begin, append its
    // text, end. pushOperand does all three for a finished text.
    void beginOperand();
    void append(QStringView text) { buf_.text.append(reinterpret_cast<const char16_t*>(text.data()), size_t(text.size())); }
    void append(char16_t ch) { buf_.text.push(ch); }
    void append(const char16_t* chars, size_t n) { buf_.text.append(chars, n); }
    // Space for n characters of the operand, written directly; used(k)
    // after writing k of them.
    char16_t* room(size_t n) { return buf_.text.room(n); }
    void used(size_t n) { buf_.text.used(n); }
    void endOperand();
    void pushOperand(QStringView text);

    // Replaces the top n items (n may be 0) by head, the items joined by sep,
    // and tail, one level deeper than the deepest of them. With dropFirst the
    // first of the n items is left out of the text (it was read with
    // itemText beforehand).
    void combine(size_t n, QStringView head, QStringView sep, QStringView tail, bool dropFirst = false);
    // The text of the item n places below the top (0: the top).
    QStringView itemText(size_t n) const;
    // The formula's text, "=" and the one item left, when no whitespace was
    // announced around them; empty otherwise.
    QString plainText() const;

private:
    void combineWithoutFirst(size_t n, QStringView head, QStringView sep, QStringView tail, size_t start);
    PtgBuffers& buf_;
    size_t operandStart_ = 0;
};

// Token families. Each returns false when the token is not one of its own;
// the base code has the class bits folded away (0x20..0x3F for operands).
bool decodeOperator(uint8_t ptg, PtgState& s);
bool decodeConstant(uint8_t ptg, PtgState& s);
bool decodeReference(uint8_t base, PtgState& s);
bool decodeFunction(uint8_t ptg, uint8_t base, PtgState& s);
// The Excel 5.0/95 forms of the tokens whose layout changed in BIFF8
// (Biff5Tokens.cpp): strings, names, cell, area and 3-D references.
bool decodeBiff5Token(uint8_t ptg, PtgState& s);

// Reference texts from BIFF8-shaped fields (a row; a column word with the
// relative flags in its top bits), written into the open operand.
// offsets: relative parts are offsets from the formula's cell.
void appendCellReference(PtgState& s, uint32_t rw, uint16_t col, bool offsets);
void appendAreaReference(PtgState& s, uint32_t rwFirst, uint32_t rwLast, uint16_t colFirst, uint16_t colLast,
                         bool offsets);
// "prefix!", or "#REF!" for the empty prefix of a deleted sheet.
void appendSheetPrefixText(PtgState& s, const QString& prefix);
// A string constant's text, quoted, its inner quotes written twice.
void pushQuotedString(PtgState& s, const QString& text);


}  // namespace tabulon::xls
