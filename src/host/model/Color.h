#pragma once
// A colour as the model keeps it: resolved to RGB when the workbook is read
// (an .xls colour index through the workbook's palette, an Office Open XML
// rgb, indexed or theme colour with its tint), or the spreadsheet's
// "automatic" colour, which the one who draws decides (window text for
// fonts and borders, the window for fills).
#include <cstdint>

namespace tabulon::model {

struct Color {
    uint32_t rgb = 0;        // 0xRRGGBB; meaningless while automatic
    bool automatic = true;

    static constexpr Color of(uint32_t rgb) { return Color{rgb & 0xFFFFFFu, false}; }
    static constexpr Color automaticColor() { return Color{}; }
    // The colour, or `fallback` (0xRRGGBB) for the automatic one.
    constexpr uint32_t rgbOr(uint32_t fallback) const { return automatic ? fallback : rgb; }
    // As the spreadsheet's object model reports a colour: R + G*256 + B*65536.
    constexpr int officeNumber() const {
        return int(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    }
    constexpr bool operator==(const Color&) const = default;
};

}  // namespace tabulon::model
