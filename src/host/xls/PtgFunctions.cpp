// Function calls and attribute tokens: PtgFunc (2.5.198.62), PtgFuncVar
// (2.5.198.63) and PtgAttr* (2.5.198.33-2.5.198.41). The attributes that
// steer evaluation (IF/CHOOSE jumps, volatility) leave no text; PtgAttrSum is
// SUM with one argument and PtgAttrSpace carries the author's whitespace.
#include "host/xls/FunctionTable.h"
#include "host/xls/PtgState.h"

#include <QStringList>

namespace tabulon::xls {
namespace {

void pushCall(PtgState& s, const QString& name, const std::vector<PtgItem>& args) {
    const PtgSpacing spacing = s.takeSpacing();
    qsizetype size = spacing.before.size() + spacing.beforeOpen.size() + name.size() + spacing.beforeClose.size() + 2;
    for (const PtgItem& a : args) size += a.text.size() + 1;
    QString text;
    text.reserve(size);
    text += spacing.before;
    text += spacing.beforeOpen;
    text += name;
    text += QLatin1Char('(');
    int depth = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i) text += QLatin1Char(',');
        text += args[i].text;
        depth = std::max(depth, args[i].depth);
    }
    text += spacing.beforeClose;
    text += QLatin1Char(')');
    s.push(std::move(text), depth + 1);
}

[[noreturn]] void refuse(const QString& what) {
    throw Error(err::Refused, QStringLiteral("formula %1").arg(what));
}

void fixedCall(PtgState& s) {
    const int index = s.tokens.u16();
    const FunctionInfo* f = builtinFunction(index);
    if (!f || f->minArgs != f->maxArgs)
        refuse(QStringLiteral("function %1 unknown").arg(index));
    pushCall(s, QLatin1String(f->name), s.pop(static_cast<size_t>(f->minArgs)));
}

// The argument count travels with the call. Function 255 calls the add-in or
// user-defined function whose name is its first argument (a name operand).
void variableCall(PtgState& s) {
    const uint8_t params = s.tokens.u8();
    const uint16_t tab = s.tokens.u16();
    const size_t count = params & 0x7F;
    const QString prompt = (params & 0x80) ? QStringLiteral("?") : QString();
    if (tab & 0x8000)
        refuse(QStringLiteral("macro command %1 not supported").arg(tab & 0x7FFF));
    std::vector<PtgItem> args = s.pop(count);
    if (tab == kUserDefinedFunction) {
        if (args.empty())
            refuse(QStringLiteral("user-defined call without a name"));
        const QString name = args.front().text;
        args.erase(args.begin());
        pushCall(s, name + prompt, args);
        return;
    }
    const FunctionInfo* f = builtinFunction(tab);
    if (!f)
        refuse(QStringLiteral("function %1 unknown").arg(tab));
    pushCall(s, QLatin1String(f->name) + prompt, args);
}

// PtgAttrSpaceType (2.5.198.40): where the characters go and whether they
// are spaces or line breaks.
void space(PtgState& s) {
    const uint8_t type = s.tokens.u8();
    const int count = s.tokens.u8();
    const QString text(count, (type & 1) && type != 6 ? QLatin1Char('\n') : QLatin1Char(' '));
    switch (type) {
    case 0: case 1: s.pending.before += text; break;
    case 2: case 3: s.pending.beforeOpen += text; break;
    case 4: case 5: s.pending.beforeClose += text; break;
    case 6: s.afterEquals += text; break;
    default: break;  // unknown placement: the characters are dropped
    }
}

void attribute(PtgState& s) {
    const uint8_t kind = s.tokens.u8();
    switch (kind) {
    case 0x01:  // PtgAttrSemi: volatile
    case 0x02:  // PtgAttrIf: jump over the true branch
    case 0x08:  // PtgAttrGoto: jump to the end of IF/CHOOSE
    case 0x20:  // PtgAttrBaxcel: macro-sheet assignment marker
        s.tokens.skip(2);
        return;
    case 0x04:  // PtgAttrChoose: jump table of cOffset + 1 entries
        s.tokens.skip((static_cast<size_t>(s.tokens.u16()) + 1) * 2);
        return;
    case 0x10:  // PtgAttrSum
        s.tokens.skip(2);
        pushCall(s, QStringLiteral("SUM"), s.pop(1));
        return;
    case 0x40:  // PtgAttrSpace
    case 0x41:  // PtgAttrSpaceSemi
        space(s);
        return;
    default:
        refuse(QStringLiteral("attribute 0x%1 unknown").arg(kind, 2, 16, QLatin1Char('0')));
    }
}

}  // namespace

bool decodeFunction(uint8_t ptg, uint8_t base, PtgState& s) {
    if (ptg == 0x19) {
        attribute(s);
        return true;
    }
    if (ptg < 0x20)
        return false;
    switch (base) {
    case 0x21: fixedCall(s); return true;
    case 0x22: variableCall(s); return true;
    default: return false;
    }
}

}  // namespace tabulon::xls
