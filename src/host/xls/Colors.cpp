// Colours as the spreadsheet resolves them: the fixed colours, the
// workbook's palette and the desktop's system colours.
#include "host/xls/Colors.h"

#include "host/format/Palette.h"

#include <iterator>

namespace tabulon::xls {

namespace {

// Windows system colours (COLOR_* indexes) of the standard desktop scheme the
// spreadsheet ran under, as 0xRRGGBB.
constexpr uint32_t kSystemColors[] = {
    0xD4D0C8, 0x3A6EA5, 0x0A246A, 0x808080, 0xD4D0C8, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x0A246A, 0xFFFFFF, 0xD4D0C8,
    0x808080, 0x808080, 0x000000, 0xD4D0C8, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000,
    0xFFFFE1, 0xB5B5B5, 0x0000FF, 0xA6CAF0, 0xC0C0C0};

uint32_t systemColor(int index) {
    return index >= 0 && index < int(std::size(kSystemColors)) ? kSystemColors[index] : 0;
}

// A PALETTE entry, 0x00BBGGRR, as 0xRRGGBB.
uint32_t fromLongRgb(uint32_t bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); }

}  // namespace

// Palette, MS-XLS 2.4.188: ccv LongRGB entries, 0x00BBGGRR
void parsePalette(const Record& rec, Globals& book) {
    ByteCursor c = rec.cursor();
    const size_t count = c.u16();
    book.palette.clear();
    for (size_t i = 0; i < count && i < 56; ++i) book.palette.push_back(c.u32() & 0xFFFFFF);
}

// The eight fixed colours are the palette's first eight. Drawing objects use
// one system colour more than cells do: 0x43, the face of a button.
uint32_t icvRgb(int icv, const std::vector<uint32_t>& palette) {
    if (icv < 0) return 0;
    if (icv < 8) return *host::format::defaultPaletteColor(icv + 1);
    if (icv < 64) {
        const size_t i = size_t(icv - 8);
        if (i < palette.size()) return fromLongRgb(palette[i]);
        return *host::format::defaultPaletteColor(int(i) + 1);
    }
    switch (icv) {
    case 0x40: case 0x4D: case 0x4F: case 0x51: case 0x7FFF: return systemColor(8);   // window text
    case 0x41: case 0x4E: return systemColor(5);                                        // window
    case 0x43: return systemColor(15);                                                  // button face
    case 0x50: return systemColor(24);                                                  // tooltip background
    default: return 0;
    }
}

model::Color cellColor(int icv, const std::vector<uint32_t>& palette) {
    if (icv == 64 || icv == 65 || icv == 0x7FFF || icv < 0) return model::Color::automaticColor();
    return model::Color::of(icvRgb(icv, palette));
}

// OfficeArtCOLORREF, MS-ODRAW 2.2.2: red, green, blue, then flags. The
// spreadsheet writes most colours as a scheme index holding an icv.
model::Color artColor(uint32_t colorRef, const std::vector<uint32_t>& palette) {
    const uint8_t flags = uint8_t(colorRef >> 24);
    if (flags & 0x10) return model::Color::of(systemColor(colorRef & 0xFF));                  // fSysIndex
    if (flags & (0x08 | 0x01)) return model::Color::of(icvRgb(int(colorRef & 0xFFFF), palette));  // fSchemeIndex, fPaletteIndex
    const uint32_t r = colorRef & 0xFF, g = (colorRef >> 8) & 0xFF, b = (colorRef >> 16) & 0xFF;
    return model::Color::of((r << 16) | (g << 8) | b);
}

std::vector<uint32_t> paletteRgb(const std::vector<uint32_t>& palette) {
    std::vector<uint32_t> out;
    if (palette.empty()) return out;
    for (int icv = 8; icv < 64; ++icv) out.push_back(icvRgb(icv, palette));
    return out;
}

}  // namespace tabulon::xls
