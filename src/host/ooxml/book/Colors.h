#pragma once
// Colours of the workbook parts resolved to RGB when they are read: rgb
// values, the numbered palette (the default one, or the workbook's own
// indexedColors), and theme colours with their tint. Fonts named by the
// theme ("+mn-lt") come out with the theme's face.
#include "host/model/Color.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tabulon::ooxml {

class XmlElement;
class Package;

struct Theme {
    // By the theme index SpreadsheetML colours use: 0 light 1, 1 dark 1,
    // 2 light 2, 3 dark 2, 4-9 accents, 10 hyperlink, 11 followed hyperlink.
    std::vector<uint32_t> colors;
    // The same by their DrawingML names (dk1, lt1, accent1, ...), in scheme order.
    std::vector<std::pair<QString, uint32_t>> schemeColors;
    QString majorFont, minorFont;        // Latin faces
    QString majorEastAsian, minorEastAsian;

    uint32_t scheme(const QString& name, uint32_t otherwise = 0) const;
};

// The theme part of the workbook part (through its relationship); the
// Office default colours when there is none.
Theme readTheme(const Package& package, const QString& workbookPart);

class ColorResolver {
public:
    ColorResolver();
    Theme theme;
    std::vector<uint32_t> palette;  // 64 entries, 0xRRGGBB

    // A <color>, <fgColor>, <bgColor> ... element: automatic when it says
    // auto or names the system colours (indexed 64, 65), or names nothing.
    model::Color resolve(const XmlElement& e) const;
    model::Color indexed(long long index) const;
};

// A colour lightened (tint > 0) or darkened (tint < 0) as the spreadsheet
// does it, through its luminance.
uint32_t applyTint(uint32_t rgb, double tint);

// "FF3366CC" / "3366CC" -> 0x3366CC.
uint32_t hexColor(QStringView text);

// A colour by the name drawings give it ("red", "Silver"), case aside:
// DrawingML's preset colours and VML's named ones share these. Nothing for a
// name not known.
std::optional<uint32_t> namedColor(QStringView name);

}  // namespace tabulon::ooxml
