#pragma once
// A value's decimal digits as the spreadsheet keeps them (15 significant
// digits), rounded half away from zero on the decimal digits themselves, so
// that 1.005 to two places is 1.01 as it is shown, not 1.00 as its binary
// value would round.
#include <string>

namespace tabulon::host::format {

struct Digits {
    std::string digits;  // significant digits, no leading zero; empty for zero
    int exponent = 0;    // value = 0.d1d2d3... * 10^exponent
};

// |value| to 15 significant digits.
Digits significantDigits(double value);

// Rounded to `decimals` places after the point (decimals may be negative).
Digits roundedToPlaces(Digits d, int decimals);
// Rounded to n significant digits.
Digits roundedToSignificant(Digits d, int n);

// The integer part as a digit string ("" for zero) and `decimals` fraction
// digits, zero-padded. The Digits must already be rounded to those places.
std::string integerDigits(const Digits& d);
std::string fractionDigits(const Digits& d, int decimals);

}  // namespace tabulon::host::format
