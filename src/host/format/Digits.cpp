#include "host/format/Digits.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tabulon::host::format {

Digits significantDigits(double value) {
    Digits d;
    value = std::fabs(value);
    if (value == 0 || !std::isfinite(value)) return d;
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14).ptr;
    *end = '\0';  // d.dddddddddddddde±x
    d.digits.push_back(buffer[0]);
    d.digits.append(buffer + 2, 14);
    d.exponent = std::atoi(buffer + 17) + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

Digits roundedToSignificant(Digits d, int n) {
    if (n < 0) n = 0;
    if (int(d.digits.size()) <= n) return d;
    const bool up = d.digits[size_t(n)] >= '5';
    d.digits.resize(size_t(n));
    if (up) {
        int i = n - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9') d.digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++d.digits[size_t(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
    return d;
}

Digits roundedToPlaces(Digits d, int decimals) {
    const int keep = d.exponent + decimals;
    if (keep < 0) return {};
    if (keep == 0) {
        // Only the rounding digit is left: half or more becomes one unit.
        if (!d.digits.empty() && d.digits[0] >= '5') return {"1", 1 - decimals};
        return {};
    }
    return roundedToSignificant(d, keep);
}

std::string integerDigits(const Digits& d) {
    if (d.exponent <= 0 || d.digits.empty()) return {};
    std::string out = d.digits.substr(0, size_t(d.exponent));
    out.append(size_t(d.exponent) - out.size(), '0');
    return out;
}

std::string fractionDigits(const Digits& d, int decimals) {
    std::string out;
    for (int i = 0; i < decimals; ++i) {
        const int index = d.exponent + i;
        out.push_back(index >= 0 && index < int(d.digits.size()) ? d.digits[size_t(index)] : '0');
    }
    return out;
}

}  // namespace tabulon::host::format
