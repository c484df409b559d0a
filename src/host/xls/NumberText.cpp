#include "host/xls/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tabulon::xls {
namespace {

constexpr int kDigits = 15;

// The value rounded to 15 significant digits: digit string without trailing
// zeros and the decimal exponent of its first digit. to_chars rounds exactly
// as printf does, without printf's multi-precision path.
struct Decimal {
    char digits[kDigits + 1];
    int count = 0;
    int exponent = 0;
};

Decimal toDecimal(double magnitude) {
    char buf[40];
    // The shortest text that reads back as the value is found much faster.
    // When it has at most 15 digits it is also the value rounded to 15: a
    // normal double lies within 1.2e-16 of it (relative), well inside half a
    // step of the 15th digit (5e-16). Subnormals are coarser: they take the
    // rounding path.
    const char* end = buf;
    if (magnitude >= std::numeric_limits<double>::min())
        end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific).ptr;
    if (end == buf || std::find<const char*>(buf, end, 'e') - buf > kDigits + 1)  // more than 15 digits and the point
        end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, kDigits - 1).ptr;
    Decimal d;
    const char* p = buf;
    for (; p != end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits[d.count++] = *p;
    std::from_chars(p + 1 + (p[1] == '+'), end, d.exponent);
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

// The writers put at most 22 characters: 15 digits, a point, and either
// the leading zeros of a small number (15 decimals at most) or an exponent.
int putScientific(char* out, const Decimal& d) {
    int n = 0;
    out[n++] = d.digits[0];
    if (d.count > 1) {
        out[n++] = '.';
        std::memcpy(out + n, d.digits + 1, size_t(d.count - 1));
        n += d.count - 1;
    }
    out[n++] = 'E';
    out[n++] = d.exponent < 0 ? '-' : '+';
    const int e = std::abs(d.exponent);
    if (e < 10) out[n++] = '0';
    return int(std::to_chars(out + n, out + n + 4, e).ptr - out);
}

int putFixed(char* out, const Decimal& d) {
    const int intDigits = d.exponent + 1;
    int n = 0;
    if (intDigits <= 0) {
        out[n++] = '0';
        out[n++] = '.';
        std::memset(out + n, '0', size_t(-intDigits));
        n += -intDigits;
        std::memcpy(out + n, d.digits, size_t(d.count));
        return n + d.count;
    }
    if (d.count <= intDigits) {
        std::memcpy(out, d.digits, size_t(d.count));
        std::memset(out + d.count, '0', size_t(intDigits - d.count));
        return intDigits;
    }
    std::memcpy(out, d.digits, size_t(intDigits));
    n = intDigits;
    out[n++] = '.';
    std::memcpy(out + n, d.digits + intDigits, size_t(d.count - intDigits));
    return n + d.count - intDigits;
}

}  // namespace

QString numberText(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == 0.0)
        return QStringLiteral("0");
    const Decimal d = toDecimal(std::fabs(value));
    const int lastDecimalPlace = d.count - 1 - d.exponent;
    const bool useScientific = d.exponent >= kDigits || lastDecimalPlace > kDigits;
    char text[40];
    int n = 0;
    if (value < 0) text[n++] = '-';
    n += useScientific ? putScientific(text + n, d) : putFixed(text + n, d);
    return QString::fromLatin1(text, n);
}

}  // namespace tabulon::xls
