// Function calls and attribute tokens: PtgFunc (2.5.198.62), PtgFuncVar
// (2.5.198.63) and PtgAttr* (2.5.198.33-2.5.198.41). The attributes that
// steer evaluation (IF/CHOOSE jumps, volatility) leave no text; PtgAttrSum is
// SUM with one argument and PtgAttrSpace carries the author's whitespace.
#include "host/xls/FunctionTable.h"
#include "host/xls/PtgState.h"

#include <QVarLengthArray>
#include <type_traits>

namespace tabulon::xls {
namespace {

// The call's text: name, "(", the top count items joined by commas, ")".
// With dropFirst the first of them is the name itself (a user-defined call)
// and is left out of the arguments.
template <class Name>
void pushCall(PtgState& s, Name name, QStringView suffix, size_t count, bool dropFirst = false) {
    QVarLengthArray<char16_t, 64> head;
    auto add = [&head](QStringView text) { head.append(reinterpret_cast<const char16_t*>(text.data()), text.size()); };
    if (s.pending.empty()) {
        if constexpr (std::is_same_v<Name, QLatin1String>) {
            for (char ch : name) head.append(char16_t(uchar(ch)));
        } else {
            add(name);
        }
        add(suffix);
        head.append(u'(');
        s.combine(count, QStringView(head.data(), head.size()), u",", u")", dropFirst);
        return;
    }
    const PtgSpacing spacing = s.takeSpacing();
    QString full = spacing.before + spacing.beforeOpen;
    if constexpr (std::is_same_v<Name, QLatin1String>) full += name; else full += name.toString();
    full += suffix.toString() + QLatin1Char('(');
    s.combine(count, full, u",", QString(spacing.beforeClose + QLatin1Char(')')), dropFirst);
}

[[noreturn]] void refuse(const QString& what) {
    throw Error(err::Refused, QStringLiteral("formula %1").arg(what));
}

void fixedCall(PtgState& s) {
    const int index = s.tokens.u16();
    const FunctionInfo* f = builtinFunction(index, s.input.biff12);
    if (!f || f->minArgs != f->maxArgs)
        refuse(QStringLiteral("function %1 unknown").arg(index));
    pushCall(s, QLatin1String(f->name), {}, static_cast<size_t>(f->minArgs));
}

// The argument count travels with the call. Function 255 calls the add-in or
// user-defined function whose name is its first argument (a name operand).
void variableCall(PtgState& s) {
    const uint8_t params = s.tokens.u8();
    const uint16_t tab = s.tokens.u16();
    const size_t count = params & 0x7F;
    const QStringView prompt = (params & 0x80) ? QStringView(u"?") : QStringView();
    if (tab & 0x8000)
        refuse(QStringLiteral("macro command %1 not supported").arg(tab & 0x7FFF));
    if (tab == kUserDefinedFunction) {
        if (count == 0)
            refuse(QStringLiteral("user-defined call without a name"));
        // The name is the first argument, pushed first: the deepest of them.
        const QString name = s.itemText(count - 1).toString();
        pushCall(s, QStringView(name), prompt, count, true);
        return;
    }
    const FunctionInfo* f = builtinFunction(tab, s.input.biff12);
    if (!f)
        refuse(QStringLiteral("function %1 unknown").arg(tab));
    pushCall(s, QLatin1String(f->name), prompt, count);
}

// PtgAttrSpaceType (2.5.198.40): where the characters go and whether they
// are spaces or line breaks.
void space(PtgState& s) {
    const uint8_t type = s.tokens.u8();
    const int count = s.tokens.u8();
    const QString text(count, (type & 1) && type != 6 ? QLatin1Char('\n') : QLatin1Char(' '));
    switch (type) {
    case 0: case 1: s.pending.before += text; s.pending.announced = true; break;
    case 2: case 3: s.pending.beforeOpen += text; s.pending.announced = true; break;
    case 4: case 5: s.pending.beforeClose += text; s.pending.announced = true; break;
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
        pushCall(s, QLatin1String("SUM"), {}, 1);
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
