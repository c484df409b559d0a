#pragma once
// The styles part (ECMA-376 Part 1, 18.8): number formats, fonts, fills,
// borders and the cell formats (cellXfs) that combine them, into the model's
// formats with every colour resolved. Built-in number format ids take their
// codes from the Japanese table the .xls reader uses too.
#include "host/model/Formats.h"
#include "host/ooxml/book/Colors.h"

#include <string_view>

namespace tabulon::ooxml {

class Package;
class XmlElement;

// Reads the workbook part's styles; colours.palette takes the workbook's own
// indexedColors when it has them (read first, as colours refer to it).
model::Formats readStyles(const Package& package, const QString& workbookPart, ColorResolver& colors);

// A font's properties as <font> and a rich text run's <rPr> write them; the
// caller hands over the child elements one by one.
void applyFontProperty(const XmlElement& e, model::Font& font, const ColorResolver& colors);

// The workbook's fonts grow by the fonts of rich text runs: the index of
// `font`, added when no equal font is there yet.
int fontIndex(model::Formats& formats, const model::Font& font);

}  // namespace tabulon::ooxml
