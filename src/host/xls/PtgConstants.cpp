// Constant tokens: PtgStr (2.5.198.89), PtgErr (2.5.198.57), PtgBool
// (2.5.198.43), PtgInt (2.5.198.62), PtgNum (2.5.198.80) and the array
// constant PtgArray (2.5.198.32) whose values follow the tokens in RgbExtra
// (PtgExtraArray, 2.5.198.59).
#include "host/xls/FormulaDecoder.h"
#include "host/model/NumberText.h"
#include "host/xls/PtgState.h"
#include "host/xls/Readers.h"

#include <algorithm>


namespace tabulon::xls {
namespace {

QString quoted(const QString& text) {
    const qsizetype inner = text.count(QLatin1Char('"'));
    QString out;
    out.reserve(text.size() + inner + 2);
    out += QLatin1Char('"');
    if (inner == 0) {
        out += text;
    } else {
        for (const QChar ch : text) {
            out += ch;
            if (ch == QLatin1Char('"')) out += ch;  // an inner quote is written twice
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString errorText(uint8_t code) {
    QString text = errorValueText(code);
    if (text.isEmpty())
        throw Error(err::Refused, QStringLiteral("formula error constant %1 unknown").arg(code));
    return text;
}

// One SerAr value (2.5.198.x SerNil/SerNum/SerStr/SerBool/SerErr): a type
// byte, then eight bytes except for strings.
// Excel 5.0/95 writes a string as a byte string with an 8-bit count.
QString arrayValue(ByteCursor& extra, const FormulaInput& in) {
    switch (extra.u8()) {
    case 0x00: extra.skip(8); return QString();
    case 0x01: return numberText(extra.f64());
    case 0x02:
        if (in.biff5) return quoted(biff5Chars(extra, extra.u8(), in.codePage));
        return quoted(extra.unicodeChars(extra.u16()));
    case 0x04: {
        const uint8_t b = extra.u8();
        extra.skip(7);
        return b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    case 0x10: {
        const uint8_t code = extra.u8();
        extra.skip(7);
        return errorText(code);
    }
    default:
        throw Error(err::Refused, QStringLiteral("formula array constant unreadable"));
    }
}

// {1,2;3,4}: columns separated by commas, rows by semicolons.
// Excel 5.0/95 stores the counts themselves (no columns meaning 256),
// BIFF8 each one less.
QString arrayText(ByteCursor& extra, const FormulaInput& in) {
    int columns = extra.u8() + 1;
    int rows = extra.u16() + 1;
    if (in.biff5) {
        columns = columns == 1 ? 256 : columns - 1;
        rows = std::max(1, rows - 1);
    }
    // Every value takes at least four bytes; a count the bytes cannot hold is
    // damage, refused before any work is done for it.
    if (static_cast<size_t>(columns) * static_cast<size_t>(rows) > extra.remaining() / 4)
        throw Error(err::Refused, QStringLiteral("formula array constant truncated"));
    QString text = QStringLiteral("{");
    for (int r = 0; r < rows; ++r) {
        if (r)
            text += QLatin1Char(';');
        for (int c = 0; c < columns; ++c) {
            if (c)
                text += QLatin1Char(',');
            text += arrayValue(extra, in);
        }
    }
    return text + QLatin1Char('}');
}

// A string constant, its inner quotes written twice.
void pushString(PtgState& s) {
    const size_t count = s.tokens.u8();
    s.beginOperand();
    char16_t* out = s.room(2 * count + 2);
    size_t n = 0;
    out[n++] = u'"';
    s.tokens.unicodeChars(count, [out, &n](char16_t ch) {
        out[n++] = ch;
        if (ch == u'"') out[n++] = ch;
    });
    out[n++] = u'"';
    s.used(n);
    s.endOperand();
}

}  // namespace

void pushQuotedString(PtgState& s, const QString& text) { s.pushOperand(quoted(text)); }

namespace {

void pushInteger(PtgState& s) {
    char16_t buf[20];
    s.pushOperand(QStringView(buf, putDigits(buf, s.tokens.u16())));
}

}  // namespace


bool decodeConstant(uint8_t ptg, PtgState& s) {
    if (ptg >= 0x20 && (ptg & 0x1F) == 0x00) {  // PtgArray in any class
        s.tokens.skip(7);
        s.pushOperand(arrayText(s.extra, s.input));
        return true;
    }
    switch (ptg) {
    case 0x17: pushString(s); return true;
    case 0x1C: s.pushOperand(errorText(s.tokens.u8())); return true;
    case 0x1D: s.pushOperand(s.tokens.u8() ? QStringView(u"TRUE") : QStringView(u"FALSE")); return true;
    case 0x1E: pushInteger(s); return true;
    case 0x1F: s.pushOperand(numberText(s.tokens.f64())); return true;
    default: return false;
    }
}

}  // namespace tabulon::xls
