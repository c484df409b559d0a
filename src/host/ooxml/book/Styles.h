#pragma once
// The styles part (ECMA-376 Part 1, 18.8): number formats, fonts, fills,
// borders and the cell formats (cellXfs) that combine them, into the model's
// formats with every colour resolved. Built-in number format ids take their
// codes from the Japanese table the .xls reader uses too.
#include "host/model/Formats.h"
#include "host/ooxml/book/Colors.h"

#include <QString>
#include <map>
#include <string_view>
#include <vector>

namespace tabulon::ooxml {

// The tables a styles part holds, as read from either form of it (XML or
// the binary workbook's records); formatsOf combines them.
struct StyleFill {
    int pattern = 0;
    model::Color fore, back;
};

struct StyleBorder {
    model::BorderLine left, right, top, bottom, diagonal;
    bool up = false, down = false;
};

struct StyleXf {
    int numFmt = 0, font = 0, fill = 0, border = 0;
    int hAlign = 0, vAlign = 2, indent = 0, rotation = 0;
    bool wrap = false, shrink = false;
};

struct StyleTables {
    std::map<int, QString> numFmts;
    std::vector<model::Font> fonts;
    std::vector<StyleFill> fills;
    std::vector<StyleBorder> borders;
    std::vector<StyleXf> xfs;  // the cell formats (cellXfs)
};

// The model's formats: each cell format with its font, number format code,
// border and fill; unknown numbers fall back to the first of each.
model::Formats formatsOf(const StyleTables& tables);

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
