#include "host/model/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tabulon::model {
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

QString fromAscii(const char* text, int n) {
    char16_t wide[40];
    for (int i = 0; i < n; ++i) wide[i] = char16_t(text[i]);
    return QString(reinterpret_cast<const QChar*>(wide), n);
}

// Most numbers in a workbook have a short exact decimal form: whole
// numbers, amounts, measurements with a few decimal places. Such a value is
// m / 10^k for the smallest k at which that quotient reads back as the
// value, and then m's digits are the text. With m below 10^14 at most one
// k-place decimal reads back as the value, and that is also the value
// rounded to 15 digits, so the text is the one the general rule writes.
constexpr int kShortPlaces = 9;
constexpr double kPowers[kShortPlaces + 1] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

int putShortDecimal(double magnitude, char* out) {
    if (!(magnitude < 1e14) || magnitude < 1e-9) return 0;
    for (int k = 0; k <= kShortPlaces; ++k) {
        const double scaled = magnitude * kPowers[k];
        if (scaled >= 1e14) return 0;
        const uint64_t m = uint64_t(scaled + 0.5);  // rounded: below 10^14 adding the half is exact
        if (double(m) / kPowers[k] != magnitude) continue;
        const uint64_t unit = uint64_t(kPowers[k]);
        int n = int(std::to_chars(out, out + 20, m / unit).ptr - out);
        if (k == 0) return n;
        out[n++] = '.';
        uint64_t fraction = m % unit;
        for (int i = k - 1; i >= 0; --i, fraction /= 10) out[n + i] = char('0' + fraction % 10);
        return n + k;
    }
    return 0;
}

}  // namespace

QString numberText(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == 0.0)
        return QStringLiteral("0");
    {
        char text[40];
        const int sign = value < 0 ? 1 : 0;
        text[0] = '-';
        if (const int n = putShortDecimal(std::fabs(value), text + sign)) return fromAscii(text, sign + n);
    }
    const Decimal d = toDecimal(std::fabs(value));
    const int lastDecimalPlace = d.count - 1 - d.exponent;
    const bool useScientific = d.exponent >= kDigits || lastDecimalPlace > kDigits;
    char text[40];
    int n = 0;
    if (value < 0) text[n++] = '-';
    n += useScientific ? putScientific(text + n, d) : putFixed(text + n, d);
    return fromAscii(text, n);
}

}  // namespace tabulon::model
