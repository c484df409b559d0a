#pragma once
// Half-up rounding used by the progress percentages and the processing-time
// estimate. The value is first taken as a fixed-point currency amount with
// four decimals (as the old runtime passed it), then rounded at `digits`
// decimals (negative digits round to tens, hundreds, ...). Halves always go
// towards plus infinity: 2.5 -> 3, -2.5 -> -2.
namespace tabulon::intake {

// Throws tabulon::Error 6 (overflow) when |value| exceeds the currency range.
double roundHalfUp(double value, int digits);

}  // namespace tabulon::intake
