#pragma once
// Numbers as the spreadsheet writes them in formula text and in the Formula
// property of a constant cell.
#include <QString>
#include <cstdint>

namespace tabulon::model {

// Up to 15 significant digits, rounded; no trailing zeros; "0.5", "-0.25",
// "100000", "123456789012345". Scientific form "1E+15", "1.5E-16" (at least
// two exponent digits) once the integer part needs more than 15 digits or the
// last significant digit would lie beyond the 15th decimal place.
// Infinities and NaNs, which a valid file never holds, come back as
// "#NUM!".
QString numberText(double value);

// The decimal digits of value written at out (room for 20); returns how many.
constexpr int putDigits(char16_t* out, uint64_t value) {
    int n = 0;
    for (uint64_t rest = value; n == 0 || rest > 0; rest /= 10) ++n;
    for (int i = n - 1; i >= 0; --i, value /= 10) out[i] = char16_t(u'0' + value % 10);
    return n;
}

}  // namespace tabulon::model
