#include "host/xls/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, kDigits - 1).ptr;
    Decimal d;
    const char* p = buf;
    for (; p != end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits[d.count++] = *p;
    std::from_chars(p + 1 + (p[1] == '+'), end, d.exponent);
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

std::string scientific(const Decimal& d) {
    std::string text(d.digits, 1);
    if (d.count > 1) text.append(1, '.').append(d.digits + 1, size_t(d.count - 1));
    text += d.exponent < 0 ? "E-" : "E+";
    const int e = std::abs(d.exponent);
    if (e < 10) text += '0';
    text += std::to_string(e);
    return text;
}

std::string fixed(const Decimal& d) {
    const int intDigits = d.exponent + 1;
    if (intDigits <= 0)
        return "0." + std::string(size_t(-intDigits), '0') + std::string(d.digits, size_t(d.count));
    if (d.count <= intDigits)
        return std::string(d.digits, size_t(d.count)) + std::string(size_t(intDigits - d.count), '0');
    return std::string(d.digits, size_t(intDigits)) + '.' + std::string(d.digits + intDigits, size_t(d.count - intDigits));
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
    const std::string text = (value < 0 ? "-" : "") + (useScientific ? scientific(d) : fixed(d));
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

}  // namespace tabulon::xls
