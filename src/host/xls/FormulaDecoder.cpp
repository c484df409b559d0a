// The token loop: reads the Rgce (MS-XLS 2.5.198.104) token by token and hands
// each to its family; the result is the one text left on the stack.
#include "host/xls/FormulaDecoder.h"

#include "host/xls/PtgState.h"

#include <algorithm>

namespace tabulon::xls {
namespace {

// Formulas the spreadsheet can hold nest a few dozen levels at most; a
// deeper stream was made to exhaust the machine.
constexpr int kMaxDepth = 512;

[[noreturn]] void refuse(const QString& what) {
    throw Error(err::Refused, QStringLiteral("formula %1").arg(what));
}

// PtgMemArea, PtgMemErr, PtgMemNoMem, PtgMemFunc (2.5.198.70-2.5.198.73) and
// their BIFF5 N forms only announce the size of the subexpression that
// follows; the subexpression itself is ordinary tokens. PtgMemArea's cached
// areas sit in RgbExtra (PtgExtraMem) and are stepped over there.
// A binary workbook counts the areas in 32 bits and stores each in 16 bytes.
bool skipMemToken(uint8_t base, PtgState& s) {
    switch (base) {
    case 0x26: {
        s.tokens.skip(6);
        const size_t areas = s.input.biff12 ? s.extra.u32() : s.extra.u16();
        const size_t each = s.input.biff12 ? 16 : 8;
        if (areas > s.extra.remaining() / each) s.extra.skip(s.extra.remaining() + 1);  // truncated
        s.extra.skip(areas * each);
        return true;
    }
    case 0x27:
    case 0x28: s.tokens.skip(6); return true;
    case 0x29:
    case 0x2E:
    case 0x2F: s.tokens.skip(2); return true;
    default: return false;
    }
}

// The tokens a range is made of: PtgUnion, PtgParen, the memory wrappers
// PtgMemArea/PtgMemErr/PtgMemFunc, PtgRef/PtgArea and their 3-D forms.
bool isRangeToken(uint8_t ptg) {
    const uint8_t base = ptg < 0x20 ? ptg : static_cast<uint8_t>((ptg & 0x1F) | 0x20);
    switch (base) {
    case 0x10: case 0x15: case 0x24: case 0x25: case 0x26: case 0x27: case 0x29: case 0x3A: case 0x3B:
        return true;
    default: return false;
    }
}

// Each token goes straight to its family: below 0x20 the operators, the
// constants and the attributes; above, the operand classes of arrays,
// calls, and references.
void decodeToken(PtgState& s) {
    const uint8_t ptg = s.tokens.u8();
    bool known = false;
    if (s.input.biff5 && decodeBiff5Token(ptg, s)) {
        known = true;
    } else if (ptg < 0x20) {
        if (ptg == 0x01 || ptg == 0x02)  // PtgExp/PtgTbl: the reader resolves these
            refuse(QStringLiteral("refers to a shared or table formula"));
        if (ptg == 0x19) known = decodeFunction(ptg, ptg, s);
        else if (ptg == 0x17 || ptg >= 0x1C) known = decodeConstant(ptg, s);
        else known = decodeOperator(ptg, s);
    } else {
        const uint8_t base = static_cast<uint8_t>((ptg & 0x1F) | 0x20);
        if (base == 0x20) known = decodeConstant(ptg, s);
        else if (base == 0x21 || base == 0x22) known = decodeFunction(ptg, base, s);
        else known = skipMemToken(base, s) || decodeReference(base, s);
    }
    if (!known)
        refuse(QStringLiteral("token 0x%1 unknown").arg(ptg, 2, 16, QLatin1Char('0')));
    if (s.areas && !isRangeToken(ptg)) s.rangeOnly = false;
}

void copyChars(char16_t* out, QStringView text) {
    const QChar* in = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) out[i] = in[i].unicode();
}

PtgBuffers& threadBuffers() {
    thread_local PtgBuffers buffers;
    return buffers;
}

}  // namespace

PtgState::PtgState(const FormulaInput& in, const FormulaContext& ctx)
    : input(in), context(ctx), tokens("formula tokens", in.rgce, in.cce),
      extra("formula constants", in.extra, in.extraSize), buf_(threadBuffers()) {
    buf_.text.clear();
    buf_.text.push(u'=');
    buf_.stack.clear();
}

PtgSpacing PtgState::takeSpacing() {
    if (pending.empty()) return {};
    PtgSpacing taken = std::move(pending);
    pending = PtgSpacing{};
    return taken;
}

void PtgState::beginOperand() {
    operandStart_ = buf_.text.size();
    if (pending.empty()) return;
    append(pending.before);
    append(pending.beforeOpen);
}

void PtgState::endOperand() {
    if (!pending.empty()) append(takeSpacing().beforeClose);
    buf_.stack.push_back(PtgItem{operandStart_, 0});
}

void PtgState::pushOperand(QStringView text) {
    beginOperand();
    append(text);
    endOperand();
}

void PtgState::combine(size_t n, QStringView head, QStringView sep, QStringView tail, bool dropFirst) {
    std::vector<PtgItem>& stack = buf_.stack;
    if (n > stack.size())
        refuse(QStringLiteral("has an operator without operands"));
    const size_t first = stack.size() - n;
    int depth = 0;
    for (size_t i = first; i < stack.size(); ++i) depth = std::max(depth, stack[i].depth);
    if (depth + 1 > kMaxDepth)
        refuse(QStringLiteral("nested too deeply"));
    PtgText& text = buf_.text;
    const size_t start = n ? stack[first].start : text.size();
    if (dropFirst) {
        combineWithoutFirst(n, head, sep, tail, start);
    } else {
        // The items move right, the last first, each by the head and the
        // separators before it; head, separators and tail then fill the gaps.
        const size_t headSize = size_t(head.size()), sepSize = size_t(sep.size()), tailSize = size_t(tail.size());
        const size_t growth = headSize + (n ? (n - 1) * sepSize : 0) + tailSize;
        char16_t* base = text.room(growth) - text.size();
        const size_t oldEnd = text.size();
        size_t end = oldEnd;
        for (size_t i = n; i-- > 0;) {
            const size_t from = stack[first + i].start;
            const size_t to = from + headSize + i * sepSize;
            if (to != from)
                for (size_t k = end - from; k-- > 0;) base[to + k] = base[from + k];
            if (i > 0) copyChars(base + to - sepSize, sep);
            end = from;
        }
        copyChars(base + start, head);
        copyChars(base + oldEnd + growth - tailSize, tail);
        text.used(growth);
    }
    stack.resize(first);
    stack.push_back(PtgItem{start, depth + 1});
}

// A user-defined call: the first item is the function's name, already
// read, and leaves the text.
void PtgState::combineWithoutFirst(size_t n, QStringView head, QStringView sep, QStringView tail, size_t start) {
    std::vector<PtgItem>& stack = buf_.stack;
    PtgText& text = buf_.text;
    const size_t first = stack.size() - n;
    const size_t from = start;
    std::u16string& moved = buf_.scratch;
    moved.assign(text.data() + from, text.size() - from);
    text.shrink(from);
    append(head);
    for (size_t i = 1; i < n; ++i) {
        const size_t b = stack[first + i].start - from;
        const size_t e = (i + 1 < n ? stack[first + i + 1].start : from + moved.size()) - from;
        if (i > 1) append(sep);
        text.append(moved.data() + b, e - b);
    }
    append(tail);
}

QStringView PtgState::itemText(size_t n) const {
    const std::vector<PtgItem>& stack = buf_.stack;
    if (n >= stack.size())
        refuse(QStringLiteral("has an operator without operands"));
    const size_t i = stack.size() - 1 - n;
    const size_t end = i + 1 < stack.size() ? stack[i + 1].start : buf_.text.size();
    return QStringView(buf_.text.data() + stack[i].start, qsizetype(end - stack[i].start));
}

QString PtgState::plainText() const {
    if (buf_.stack.size() != 1 || !pending.empty() || !afterEquals.isEmpty()) return QString();
    return QString(reinterpret_cast<const QChar*>(buf_.text.data()), qsizetype(buf_.text.size()));
}

std::optional<std::vector<Area>> formulaAreas(const FormulaInput& in, const FormulaContext& ctx) {
    std::vector<Area> areas;
    PtgState s(in, ctx);
    s.areas = &areas;
    try {
        while (!s.tokens.atEnd() && s.rangeOnly)
            decodeToken(s);
    } catch (const Error&) {
        return std::nullopt;
    }
    if (!s.rangeOnly || areas.empty()) return std::nullopt;
    return areas;
}

QString decodeFormula(const FormulaInput& in, const FormulaContext& ctx) {
    PtgState s(in, ctx);
    while (!s.tokens.atEnd())
        decodeToken(s);
    if (s.stackSize() == 0 && in.cce == 0)
        return QStringLiteral("=");
    if (s.stackSize() != 1)
        refuse(QStringLiteral("leaves %1 values instead of one").arg(s.stackSize()));
    if (QString plain = s.plainText(); !plain.isEmpty()) return plain;
    // Whitespace after the last token (before nothing) is kept where typed.
    const PtgSpacing trailing = s.takeSpacing();
    const QStringView body = s.itemText(0);
    QString text;
    text.reserve(1 + s.afterEquals.size() + body.size() + trailing.before.size() + trailing.beforeClose.size());
    text += QLatin1Char('=');
    text += s.afterEquals;
    text += body;
    text += trailing.before;
    text += trailing.beforeClose;
    return text;
}

}  // namespace tabulon::xls
