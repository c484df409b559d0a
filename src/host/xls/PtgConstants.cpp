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

// One value of a binary workbook's array constant: its own type numbers, a
// boolean in one byte, an error in four, a string as UTF-16 with a 16-bit
// count.
QString wideArrayValue(ByteCursor& extra) {
    switch (extra.u8()) {
    case 0x00: return numberText(extra.f64());
    case 0x01: return quoted(extra.chars(extra.u16(), true));
    case 0x02: return extra.u8() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case 0x04: {
        const uint8_t code = extra.u8();
        extra.skip(3);
        return errorText(code);
    }
    default:
        throw Error(err::Refused, QStringLiteral("formula array constant unreadable"));
    }
}

// One SerAr value (2.5.198.x SerNil/SerNum/SerStr/SerBool/SerErr): a type
// byte, then eight bytes except for strings.
// Excel 5.0/95 writes a string as a byte string with an 8-bit count.
QString arrayValue(ByteCursor& extra, const FormulaInput& in) {
    if (in.biff12) return wideArrayValue(extra);
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
// A binary workbook stores both counts themselves in 32 bits.
QString arrayText(ByteCursor& extra, const FormulaInput& in) {
    size_t columns = 0, rows = 0;
    if (in.biff12) {
        rows = extra.u32();
        columns = extra.u32();
    } else {
        columns = size_t(extra.u8()) + 1;
        rows = size_t(extra.u16()) + 1;
    }
    if (in.biff5) {
        columns = columns == 1 ? 256 : columns - 1;
        rows = std::max<size_t>(1, rows - 1);
    }
    // Every value takes at least four bytes (two in a binary workbook); a
    // count the bytes cannot hold is damage, refused before any work is
    // done for it.
    const size_t least = in.biff12 ? 2 : 4;
    if (columns == 0 || rows == 0 || columns > extra.remaining() / least || rows > extra.remaining() / least ||
        columns * rows > extra.remaining() / least)
        throw Error(err::Refused, QStringLiteral("formula array constant truncated"));
    QString text = QStringLiteral("{");
    for (size_t r = 0; r < rows; ++r) {
        if (r)
            text += QLatin1Char(';');
        for (size_t c = 0; c < columns; ++c) {
            if (c)
                text += QLatin1Char(',');
            text += arrayValue(extra, in);
        }
    }
    return text + QLatin1Char('}');
}

// A string constant, its inner quotes written twice. A binary workbook
// counts its UTF-16 characters in 16 bits and has no flag byte.
void pushString(PtgState& s) {
    const size_t count = s.input.biff12 ? s.tokens.u16() : s.tokens.u8();
    s.beginOperand();
    char16_t* out = s.room(2 * count + 2);
    size_t n = 0;
    out[n++] = u'"';
    const auto put = [out, &n](char16_t ch) {
        out[n++] = ch;
        if (ch == u'"') out[n++] = ch;
    };
    if (s.input.biff12) {
        const QString chars = s.tokens.chars(count, true);
        for (const QChar ch : chars) put(ch.unicode());
    } else {
        s.tokens.unicodeChars(count, put);
    }
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
        s.tokens.skip(s.input.biff12 ? 14 : 7);
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
