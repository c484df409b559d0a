#pragma once
// Numbers as the spreadsheet writes them in formula text and in the Formula
// property of a constant cell.
#include <QString>

namespace tabulon::xls {

// Up to 15 significant digits, rounded; no trailing zeros; "0.5", "-0.25",
// "100000", "123456789012345". Scientific form "1E+15", "1.5E-16" (at least
// two exponent digits) once the integer part needs more than 15 digits or the
// last significant digit would lie beyond the 15th decimal place.
// Infinities and NaNs, which a valid file never holds, come back as
// "#NUM!".
QString numberText(double value);

}  // namespace tabulon::xls
