#include "host/xls/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tabulon::xls {
namespace {

constexpr int kDigits = 15;

// The value rounded to 15 significant digits: digit string without trailing
// zeros and the decimal exponent of its first digit.
struct Decimal {
    QString digits;
    int exponent = 0;
};

Decimal toDecimal(double magnitude) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", kDigits - 1, magnitude);
    Decimal d;
    const char* e = std::strchr(buf, 'e');
    d.exponent = e ? std::atoi(e + 1) : 0;
    for (const char* p = buf; p != e && *p; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits += QLatin1Char(*p);
    }
    while (d.digits.size() > 1 && d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
    return d;
}

QString scientific(const Decimal& d) {
    QString text = d.digits.left(1);
    if (d.digits.size() > 1)
        text += QLatin1Char('.') + d.digits.mid(1);
    text += QLatin1String(d.exponent < 0 ? "E-" : "E+");
    text += QString::number(std::abs(d.exponent)).rightJustified(2, QLatin1Char('0'));
    return text;
}

QString fixed(const Decimal& d) {
    const int intDigits = d.exponent + 1;
    if (intDigits <= 0)
        return QStringLiteral("0.") + QString(-intDigits, QLatin1Char('0')) + d.digits;
    if (d.digits.size() <= intDigits)
        return d.digits + QString(intDigits - d.digits.size(), QLatin1Char('0'));
    return d.digits.left(intDigits) + QLatin1Char('.') + d.digits.mid(intDigits);
}

}  // namespace

QString numberText(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == 0.0)
        return QStringLiteral("0");
    const Decimal d = toDecimal(std::fabs(value));
    const int lastDecimalPlace = static_cast<int>(d.digits.size()) - 1 - d.exponent;
    const bool useScientific = d.exponent >= kDigits || lastDecimalPlace > kDigits;
    const QString text = useScientific ? scientific(d) : fixed(d);
    return value < 0 ? QStringLiteral("-") + text : text;
}

}  // namespace tabulon::xls
