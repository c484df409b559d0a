#include "host/format/NumberPart.h"

#include "host/format/Digits.h"
#include "host/format/Emit.h"

#include <algorithm>
#include <cmath>

namespace tabulon::host::format {
namespace {

QString scientificText(Digits d, int maxDecimals, int minExponentDigits) {
    d = roundedToSignificant(d, maxDecimals + 1);
    const int exponent = d.digits.empty() ? 0 : d.exponent - 1;
    QString mantissa = QString::fromStdString(d.digits.empty() ? "0" : d.digits.substr(0, 1));
    if (d.digits.size() > 1) mantissa += u'.' + QString::fromStdString(d.digits.substr(1));
    return mantissa + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+"))
           + QString::number(std::abs(exponent)).rightJustified(minExponentDigits, u'0');
}

QString fixedText(const Digits& d, int decimals) {
    const std::string whole = integerDigits(d);
    std::string fraction = fractionDigits(d, decimals);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    QString text = QString::fromStdString(whole.empty() ? "0" : whole);
    if (!fraction.empty()) text += u'.' + QString::fromStdString(fraction);
    return text;
}

// What a placeholder shows where the value has no digit for it.
QString emptyPlaceholder(QChar placeholder) {
    if (placeholder == u'0') return QStringLiteral("0");
    if (placeholder == u'?') return QStringLiteral(" ");
    return {};
}

int countDigits(const QList<Token>& tokens, qsizetype from, qsizetype to) {
    int n = 0;
    for (qsizetype i = from; i < to; ++i) n += tokens[i].kind == Tok::Digit;
    return n;
}

// The layout of a plain or scientific number section.
struct Layout {
    qsizetype mantissaEnd = 0;  // index of the exponent token, or the end
    int integerPlaces = 0, decimalPlaces = 0, exponentPlaces = 0;
    bool grouping = false, integerHash = false;
    int percent = 0, scaling = 0;
};

Layout layoutOf(const QList<Token>& t) {
    Layout l;
    l.mantissaEnd = t.size();
    bool afterPoint = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        switch (t[i].kind) {
        case Tok::Exponent:
            if (l.mantissaEnd == t.size()) l.mantissaEnd = i;
            break;
        case Tok::Point:
            afterPoint = afterPoint || i < l.mantissaEnd;
            break;
        case Tok::Percent:
            ++l.percent;
            break;
        case Tok::Digit:
            if (i > l.mantissaEnd) ++l.exponentPlaces;
            else if (afterPoint) ++l.decimalPlaces;
            else {
                ++l.integerPlaces;
                l.integerHash = l.integerHash || t[i].ch == u'#';
            }
            break;
        case Tok::Comma: {
            // A comma before a digit of the integer part groups thousands;
            // commas right after the last digit divide by a thousand each.
            qsizetype next = i + 1;
            while (next < t.size() && t[next].kind == Tok::Comma) ++next;
            const bool digitBefore = i > 0 && (t[i - 1].kind == Tok::Digit || t[i - 1].kind == Tok::Comma);
            if (next < t.size() && t[next].kind == Tok::Digit && !afterPoint && digitBefore) {
                l.grouping = true;
            } else if (digitBefore) {
                l.scaling += int(next - i);
            }
            i = next - 1;
            break;
        }
        default:
            break;
        }
    }
    return l;
}

// Writes the integer digits into the integer placeholders: surplus digits
// go with the first placeholder, missing ones follow the placeholder kind.
class IntegerWriter {
public:
    IntegerWriter(std::string digits, int places, bool grouping)
        : digits_(std::move(digits)), places_(places), grouping_(grouping) {}

    void placeholder(QChar kind, Display& out) {
        const int length = int(digits_.size());
        if (index_ == 0)
            for (int pos = 0; pos < length - places_; ++pos) digit(pos, length, out);
        const int pos = length - places_ + index_;
        if (pos >= 0) {
            digit(pos, length, out);
        } else {
            out.text += emptyPlaceholder(kind);
            const int fromRight = places_ - 1 - index_;
            if (kind == u'0' && grouping_ && fromRight > 0 && fromRight % 3 == 0) out.text += u',';
        }
        ++index_;
    }
    bool started() const { return index_ > 0; }

private:
    void digit(int pos, int length, Display& out) {
        out.text += QChar(digits_[size_t(pos)]);
        const int fromRight = length - 1 - pos;
        if (grouping_ && fromRight > 0 && fromRight % 3 == 0) out.text += u',';
    }
    std::string digits_;
    int places_;
    bool grouping_;
    int index_ = 0;
};

// Decimal digits: trailing zeros follow the placeholder kind.
QString decimalDigit(const std::string& fraction, int j, QChar kind) {
    int last = int(fraction.size()) - 1;
    while (last >= 0 && fraction[size_t(last)] == '0') --last;
    if (j <= last) return QString(QChar(fraction[size_t(j)]));
    return emptyPlaceholder(kind);
}

void renderPlain(const Section& section, double value, Display& out) {
    const QList<Token>& t = section.tokens;
    const Layout l = layoutOf(t);
    Digits d = significantDigits(value);
    if (!d.digits.empty()) d.exponent += 2 * l.percent - 3 * l.scaling;

    int exponent = 0;
    const bool scientific = l.mantissaEnd < t.size();
    if (scientific && !d.digits.empty()) {
        const int lead = d.exponent - 1;  // power of ten of the first digit
        const int k = qMax(1, l.integerPlaces);
        auto place = [&](int p) {
            if (l.integerPlaces == 0) return p + 1;
            if (k > 1 && l.integerHash) return int(std::floor(double(p) / k)) * k;
            return p - (k - 1);
        };
        exponent = place(lead);
        Digits m = d;
        m.exponent -= exponent;
        const Digits r = roundedToPlaces(m, l.decimalPlaces);
        if (!r.digits.empty() && r.exponent - 1 + exponent != lead) exponent = place(lead + 1);
        d.exponent -= exponent;
    }
    d = roundedToPlaces(d, l.decimalPlaces);
    const std::string fraction = fractionDigits(d, l.decimalPlaces);
    IntegerWriter integer(integerDigits(d), l.integerPlaces, l.grouping);

    const int start = int(out.text.size());
    bool afterPoint = false;
    int decimalIndex = 0, exponentIndex = 0;
    const QString exponentText = QString::number(std::abs(exponent));
    for (qsizetype i = 0; i < t.size(); ++i) {
        const Token& token = t[i];
        if (emitCommon(out, token)) continue;
        if (i > l.mantissaEnd && token.kind == Tok::Digit) {
            // Exponent digits: at least as many as placeholders.
            const int surplus = int(exponentText.size()) - l.exponentPlaces;
            if (exponentIndex == 0 && surplus > 0) out.text += exponentText.left(surplus);
            const int pos = int(exponentText.size()) - l.exponentPlaces + exponentIndex++;
            out.text += pos >= 0 ? QString(exponentText[pos]) : QStringLiteral("0");
            continue;
        }
        switch (token.kind) {
        case Tok::Digit:
            if (afterPoint) out.text += decimalDigit(fraction, decimalIndex++, token.ch);
            else integer.placeholder(token.ch, out);
            break;
        case Tok::Point:
            if (i > l.mantissaEnd) break;
            if (l.integerPlaces == 0 && !integer.started())
                out.text += QString::fromStdString(integerDigits(d));
            out.text += u'.';
            afterPoint = true;
            break;
        case Tok::Percent: out.text += u'%'; break;
        case Tok::Exponent:
            out.text += u'E';
            if (exponent < 0) out.text += u'-';
            else if (token.text == u'+') out.text += u'+';
            afterPoint = true;
            break;
        case Tok::Slash: out.text += u'/'; break;
        default: break;
        }
    }
    applyDigitForm(out, section.dbNum, !l.grouping, start);
}

// ---- Fractions ---------------------------------------------------------

struct Fraction {
    double whole = 0;
    long long numerator = 0, denominator = 1;
    double bigNumerator = 0;  // an improper numerator too large for numerator

    QString numeratorText() const {
        if (bigNumerator == 0) return QString::number(numerator);
        return QString::fromStdString(integerDigits(roundedToPlaces(significantDigits(bigNumerator), 0)));
    }
    bool zero() const { return numerator == 0 && bigNumerator == 0; }
};

// The fraction nearest to x (0 <= x < 1) whose denominator is at most max:
// the last continued-fraction convergent within the bound, or the
// semiconvergent past it when that is closer.
void boundedApproximation(double x, long long max, long long& num, long long& den) {
    long long p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    double r = x;
    for (int step = 0; step < 64; ++step) {
        const double a = std::floor(r);
        if (a > double(max)) break;
        const long long ai = static_cast<long long>(a);
        const long long q2 = ai * q1 + q0;
        if (q2 > max) break;
        const long long p2 = ai * p1 + p0;
        p0 = p1; q0 = q1; p1 = p2; q1 = q2;
        if (r - a < 1e-12) break;
        r = 1 / (r - a);
    }
    if (q1 == 0) { num = 0; den = 1; return; }
    const long long k = (max - q0) / q1;
    const long long ps = p0 + k * p1, qs = q0 + k * q1;
    const bool semi = qs > 0 && std::fabs(x - double(ps) / double(qs)) < std::fabs(x - double(p1) / double(q1));
    num = semi ? ps : p1;
    den = semi ? qs : q1;
}

Fraction nearestFraction(double x, bool withWhole, long long maxDenominator, long long fixed) {
    Fraction f;
    f.whole = withWhole ? std::floor(x) : 0;
    const double rest = x - f.whole;
    if (!withWhole && x * double(qMax(fixed, maxDenominator)) > 1e15) {
        // Beyond the digits a double holds a fraction part means nothing:
        // the value over the fixed denominator, or over 1.
        f.denominator = qMax(1LL, fixed);
        f.bigNumerator = std::floor(x * double(f.denominator) + 0.5);
        return f;
    }
    if (fixed > 0) {
        f.denominator = fixed;
        f.numerator = static_cast<long long>(std::floor(rest * double(fixed) + 0.5));
    } else if (withWhole) {
        boundedApproximation(rest, qMax(1LL, maxDenominator), f.numerator, f.denominator);
    } else {
        // An improper fraction: the whole number goes into the numerator.
        const double whole = std::floor(rest);
        boundedApproximation(rest - whole, qMax(1LL, maxDenominator), f.numerator, f.denominator);
        f.numerator += static_cast<long long>(whole) * f.denominator;
    }
    if (withWhole && f.numerator == f.denominator) { f.whole += 1; f.numerator = 0; }
    return f;
}

void renderFraction(const Section& section, double value, qsizetype slash, Display& out) {
    const QList<Token>& t = section.tokens;
    qsizetype numeratorStart = slash;
    while (numeratorStart > 0 && t[numeratorStart - 1].kind == Tok::Digit) --numeratorStart;
    const int integerPlaces = countDigits(t, 0, numeratorStart);
    const bool fixed = slash + 1 < t.size() && t[slash + 1].kind == Tok::Denominator;
    qsizetype denominatorEnd = slash + 1;
    while (denominatorEnd < t.size() && t[denominatorEnd].kind == Tok::Digit) ++denominatorEnd;
    const int denominatorPlaces = int(denominatorEnd - slash - 1);
    long long maxDenominator = 1;
    for (int i = 0; i < qMin(denominatorPlaces, 6); ++i) maxDenominator *= 10;

    const Fraction f = nearestFraction(std::fabs(value), integerPlaces > 0, maxDenominator - 1,
                                       fixed ? t[slash + 1].count : 0);
    const bool showFraction = !f.zero() || integerPlaces == 0;
    std::string whole = integerDigits(roundedToPlaces(significantDigits(f.whole), 0));
    if (whole.empty() && !showFraction) whole.push_back('0');
    IntegerWriter integer(whole, integerPlaces, false);
    const QString numerator = f.numeratorText();
    const QString denominator = QString::number(f.denominator);

    const int start = int(out.text.size());
    int numeratorIndex = 0, denominatorIndex = 0;
    const int numeratorPlaces = int(slash - numeratorStart);
    for (qsizetype i = 0; i < t.size(); ++i) {
        const Token& token = t[i];
        const bool fractionToken = i >= numeratorStart && (i < denominatorEnd || (fixed && i == slash + 1));
        if (fractionToken && !showFraction) {
            out.text += QString(token.kind == Tok::Denominator ? denominator.size() : 1, u' ');
            continue;
        }
        if (emitCommon(out, token)) continue;
        if (token.kind == Tok::Digit && i < numeratorStart) {
            integer.placeholder(token.ch, out);
        } else if (token.kind == Tok::Digit && i < slash) {
            if (numeratorIndex == 0 && numerator.size() > numeratorPlaces)
                out.text += numerator.left(numerator.size() - numeratorPlaces);
            const int pos = int(numerator.size()) - numeratorPlaces + numeratorIndex++;
            out.text += pos >= 0 ? QString(numerator[pos]) : emptyPlaceholder(token.ch);
        } else if (token.kind == Tok::Digit && i < denominatorEnd) {
            const int pos = denominatorIndex++;
            out.text += pos < denominator.size() ? QString(denominator[pos]) : emptyPlaceholder(token.ch);
            if (i + 1 == denominatorEnd && denominator.size() > denominatorPlaces)
                out.text += denominator.mid(denominatorPlaces);
        } else if (token.kind == Tok::Slash) {
            out.text += u'/';
        } else if (token.kind == Tok::Denominator) {
            out.text += denominator;
        } else if (token.kind == Tok::Point) {
            out.text += u'.';
        } else if (token.kind == Tok::Percent) {
            out.text += u'%';
        }
    }
    applyDigitForm(out, section.dbNum, false, start);
}

}  // namespace

QString generalDigits(double value) {
    const Digits d = significantDigits(value);
    if (d.digits.empty()) return QStringLiteral("0");
    const int lead = d.exponent - 1;
    if (lead >= 11 || lead < -9) return scientificText(d, 5, 2);
    // Fixed: 11 characters at most, the point included.
    const int decimals = lead >= 0 ? qMax(0, 10 - (lead + 1)) : 9;
    const Digits fixed = roundedToPlaces(d, decimals);
    if (fixed.exponent > 11) return scientificText(d, 5, 2);
    // Small values: scientific when it shows more of the value's digits.
    if (lead <= -5 && roundedToSignificant(d, 6).digits.size() > fixed.digits.size())
        return scientificText(d, 5, 2);
    return fixedText(fixed, decimals);
}

void renderNumberSection(const Section& section, double value, Display& out) {
    for (qsizetype i = 0; i < section.tokens.size(); ++i) {
        if (section.tokens[i].kind != Tok::Slash) continue;
        const bool digitsAround = i > 0 && section.tokens[i - 1].kind == Tok::Digit && i + 1 < section.tokens.size()
                                  && (section.tokens[i + 1].kind == Tok::Digit
                                      || section.tokens[i + 1].kind == Tok::Denominator);
        if (digitsAround) return renderFraction(section, value, i, out);
    }
    renderPlain(section, value, out);
}

void renderGeneralSection(const Section& section, double value, Display& out) {
    const int start = int(out.text.size());
    for (const Token& token : section.tokens) {
        if (emitCommon(out, token)) continue;
        if (token.kind == Tok::General) out.text += generalDigits(value);
    }
    applyDigitForm(out, section.dbNum, true, start);
}

}  // namespace tabulon::host::format
