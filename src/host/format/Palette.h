#pragma once
#include <optional>

namespace tabulon::host::format {

// The RGB (0xRRGGBB) of colour n (1..56) of the spreadsheet's default
// palette, as "[Color n]" in a format code names it; palette index n + 7.
std::optional<unsigned> defaultPaletteColor(int n);

}  // namespace tabulon::host::format
