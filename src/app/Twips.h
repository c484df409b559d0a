#pragma once
// Window positions and the progress gauge are kept in twips, the unit of the
// settings file: 1440 per inch, so 15 per pixel on a 96 dpi screen.
#include <cmath>

namespace tabulon::app {

inline int twipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips / 15.0 * dpi / 96.0));
}

inline long pixelsToTwips(int pixels, double dpi) {
    return std::lround(pixels * 15.0 * 96.0 / dpi);
}

}  // namespace tabulon::app
