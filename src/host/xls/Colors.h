#pragma once
// Colours as .xls stores them, resolved to the model's RGB: an icv (MS-XLS
// 2.5.161) through the workbook's palette, and the OfficeArtCOLORREF of a
// drawing object (MS-ODRAW 2.2.2), which mostly holds an icv as well.
#include "host/model/Color.h"
#include "host/xls/Globals.h"
#include "host/xls/RecordStream.h"

#include <cstdint>
#include <vector>

namespace tabulon::xls {

// Palette, MS-XLS 2.4.188.
void parsePalette(const Record& rec, Globals& book);

// An icv as 0xRRGGBB: the eight fixed colours, the palette (PALETTE
// entries 0x00BBGGRR from icv 8; empty: the default one), and the system
// colours the spreadsheet names by icv.
uint32_t icvRgb(int icv, const std::vector<uint32_t>& palette);
// The colour of a font, border or fill: the automatic ones (64 the window
// text, 65 the window, 0x7FFF the font's default) stay automatic.
model::Color cellColor(int icv, const std::vector<uint32_t>& palette);
// An OfficeArtCOLORREF with palette and system colours resolved.
model::Color artColor(uint32_t colorRef, const std::vector<uint32_t>& palette);
// The workbook's palette as the model keeps it: 56 colours 0xRRGGBB, or
// none for the default.
std::vector<uint32_t> paletteRgb(const std::vector<uint32_t>& palette);

}  // namespace tabulon::xls
