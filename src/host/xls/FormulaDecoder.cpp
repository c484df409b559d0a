// The token loop: reads the Rgce (MS-XLS 2.5.198.104) token by token and hands
// each to its family; the result is the one text left on the stack.
#include "host/xls/FormulaDecoder.h"

#include "host/xls/PtgState.h"

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
bool skipMemToken(uint8_t base, PtgState& s) {
    switch (base) {
    case 0x26: {
        s.tokens.skip(6);
        const size_t areas = s.extra.u16();
        s.extra.skip(areas * 8);
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

void decodeToken(PtgState& s) {
    const uint8_t ptg = s.tokens.u8();
    const uint8_t base = ptg >= 0x20 ? static_cast<uint8_t>((ptg & 0x1F) | 0x20) : ptg;
    if (ptg == 0x01 || ptg == 0x02)  // PtgExp/PtgTbl: the reader resolves these
        refuse(QStringLiteral("refers to a shared or table formula"));
    if (decodeOperator(ptg, s) || decodeConstant(ptg, s) || decodeFunction(ptg, base, s))
        return;
    if (ptg >= 0x20 && (skipMemToken(base, s) || decodeReference(base, s)))
        return;
    refuse(QStringLiteral("token 0x%1 unknown").arg(ptg, 2, 16, QLatin1Char('0')));
}

}  // namespace

PtgState::PtgState(const FormulaInput& in, const FormulaContext& ctx)
    : input(in), context(ctx), tokens(in.rgce, in.cce, "tokens"),
      extra(in.extra, in.extraSize, "constants") {
    stack_.reserve(8);  // most formulas never hold more operands at once
}

void PtgState::push(QString text, int depth) {
    if (depth > kMaxDepth)
        refuse(QStringLiteral("nested too deeply"));
    stack_.push_back(PtgItem{std::move(text), depth});
}

PtgItem PtgState::pop() {
    if (stack_.empty())
        refuse(QStringLiteral("has an operator without operands"));
    PtgItem item = std::move(stack_.back());
    stack_.pop_back();
    return item;
}

std::vector<PtgItem> PtgState::pop(size_t n) {
    if (n > stack_.size())
        refuse(QStringLiteral("has an operator without operands"));
    std::vector<PtgItem> items(std::make_move_iterator(stack_.end() - static_cast<std::ptrdiff_t>(n)),
                               std::make_move_iterator(stack_.end()));
    stack_.resize(stack_.size() - n);
    return items;
}

PtgSpacing PtgState::takeSpacing() {
    PtgSpacing taken = std::move(pending);
    pending = PtgSpacing{};
    return taken;
}

void PtgState::pushOperand(const QString& text) {
    if (pending.empty()) {
        push(text);
        return;
    }
    const PtgSpacing spacing = takeSpacing();
    push(spacing.before + spacing.beforeOpen + text + spacing.beforeClose);
}

QString decodeFormula(const FormulaInput& in, const FormulaContext& ctx) {
    PtgState s(in, ctx);
    while (!s.tokens.atEnd())
        decodeToken(s);
    if (s.stackSize() == 0 && in.cce == 0)
        return QStringLiteral("=");
    if (s.stackSize() != 1)
        refuse(QStringLiteral("leaves %1 values instead of one").arg(s.stackSize()));
    // Whitespace after the last token (before nothing) is kept where typed.
    const PtgSpacing trailing = s.takeSpacing();
    const QString body = s.pop().text;
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
