#include "host/ooxml/drawing/ColorElement.h"

#include "host/ooxml/book/Colors.h"
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cmath>

namespace tabulon::ooxml {

bool ColorElement::take(const XmlElement& e, std::string_view n, const Theme& theme) {
    if (n == "srgbClr") rgb_ = hexColor(qstr(e.attr("val"))), set_ = true;
    else if (n == "schemeClr") rgb_ = theme.scheme(qstr(e.attr("val"))), set_ = true;
    else if (n == "sysClr") rgb_ = hexColor(qstr(e.attr("lastClr"))), set_ = true;
    else if (n == "prstClr") rgb_ = namedColor(qstr(e.attr("val"))).value_or(0), set_ = true;
    else if (set_ && (n == "lumMod" || n == "lumOff" || n == "shade" || n == "tint")) {
        const double v = double(e.integer("val")) / 100000.0;
        auto each = [&](auto f) {
            uint32_t r = 0;
            for (int shift : {16, 8, 0}) r |= uint32_t(std::clamp(std::lround(f(double((rgb_ >> shift) & 0xFF))), 0L, 255L)) << shift;
            rgb_ = r;
        };
        if (n == "lumMod" || n == "shade") each([&](double c) { return c * v; });
        else if (n == "lumOff") each([&](double c) { return c + 255 * v; });
        else each([&](double c) { return c + (255 - c) * (1 - v); });
    } else {
        return false;
    }
    return true;
}

}  // namespace tabulon::ooxml
