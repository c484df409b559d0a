#include "intake/Rounding.h"

#include "common/Error.h"

#include <cmath>

namespace tabulon::intake {
namespace {

using Wide = __int128;

constexpr double kCurrencyLimit = 922337203685477.5807;

// Floor of a / b for b > 0.
Wide floorDiv(Wide a, Wide b) {
    Wide q = a / b;
    if (a % b != 0 && a < 0)
        --q;
    return q;
}

Wide powerOfTen(int n) {
    Wide f = 1;
    for (int i = 0; i < n; ++i)
        f *= 10;
    return f;
}

}  // namespace

double roundHalfUp(double value, int digits) {
    if (!std::isfinite(value) || std::fabs(value) > kCurrencyLimit)
        throw Error(6, QStringLiteral("オーバーフローしました。"));
    // The amount in ten-thousandths, rounded to even like the currency type.
    const Wide units = static_cast<Wide>(std::nearbyint(value * 10000.0));
    if (digits >= 4)
        return static_cast<double>(units) / 10000.0;
    if (digits >= 1) {
        // floor(value * f + 0.5) / f  ==  floor((units * f + 5000) / 10000) / f
        const Wide f = powerOfTen(digits);
        return static_cast<double>(floorDiv(units * f + 5000, 10000)) / static_cast<double>(f);
    }
    if (-digits > 19)
        return 0.0;  // |value / f| is far below one half
    // floor(value / f + 0.5) * f  ==  floor((units + 5000 f) / (10000 f)) * f
    const Wide f = powerOfTen(-digits);
    return static_cast<double>(floorDiv(units + 5000 * f, 10000 * f) * f);
}

}  // namespace tabulon::intake
