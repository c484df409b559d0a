#pragma once
// A DrawingML colour as the drawing and chart parts nest it: one colour
// element (srgbClr, schemeClr, sysClr, prstClr) and the modifiers inside it
// (lumMod, lumOff, shade, tint), resolved to RGB through the theme.
#include <cstdint>
#include <string_view>

namespace tabulon::ooxml {

class XmlElement;
struct Theme;

class ColorElement {
public:
    // Takes a colour element or one of its modifiers, named n; false for
    // anything else.
    bool take(const XmlElement& e, std::string_view n, const Theme& theme);
    static bool isColor(std::string_view n) {
        return n == "srgbClr" || n == "schemeClr" || n == "sysClr" || n == "prstClr";
    }
    bool set() const { return set_; }
    uint32_t rgb() const { return rgb_; }
    // The colour read so far, and the reading starts again.
    uint32_t take() {
        set_ = false;
        return rgb_;
    }

private:
    uint32_t rgb_ = 0;
    bool set_ = false;
};

}  // namespace tabulon::ooxml
