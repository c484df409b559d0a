// How the spreadsheet reports a shape's look: colours as RGB numbers, the
// dash style as the Office dash style number, and the default names it gives
// objects nobody renamed.
#include "host/xls/DrawingReader.h"

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

int fromRrggbb(uint32_t rgb) {
    const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return int(r | (g << 8) | (b << 16));
}

int systemColor(int index) {
    if (index >= 0 && index < int(std::size(kSystemColors))) return fromRrggbb(kSystemColors[index]);
    return 0;
}

// An icv (MS-XLS 2.5.161): the eight fixed colours, the palette, and the
// system colours the spreadsheet names by icv. Drawing objects use one more
// than cells do: 0x43, the face of a button.
int icvColor(int icv, const WorkbookModel& book) {
    // The eight fixed colours are the palette's first eight.
    if (icv < 8) return fromRrggbb(*host::format::defaultPaletteColor(icv + 1));
    if (icv < 64) {
        const size_t i = size_t(icv - 8);
        if (i < book.palette.size()) return int(book.palette[i] & 0xFFFFFF);
        return fromRrggbb(*host::format::defaultPaletteColor(int(i) + 1));
    }
    switch (icv) {
    case 0x40: case 0x4D: case 0x4F: case 0x51: case 0x7FFF: return systemColor(8);   // window text
    case 0x41: case 0x4E: return systemColor(5);                                        // window
    case 0x43: return systemColor(15);                                                  // button face
    case 0x50: return systemColor(24);                                                  // tooltip background
    default: return 0;
    }
}

}  // namespace

// Palette, MS-XLS 2.4.188: ccv LongRGB entries, 0x00BBGGRR
void parsePalette(const Record& rec, WorkbookModel& book) {
    ByteCursor c = rec.cursor();
    const size_t count = c.u16();
    book.palette.clear();
    for (size_t i = 0; i < count && i < 56; ++i) book.palette.push_back(c.u32() & 0xFFFFFF);
}

// OfficeArtCOLORREF, MS-ODRAW 2.2.2: red, green, blue, then flags. The
// spreadsheet writes most colours as a scheme index holding an icv.
int colorRgb(uint32_t colorRef, const WorkbookModel& book) {
    const uint8_t flags = uint8_t(colorRef >> 24);
    const int index = int(colorRef & 0xFFFF);
    if (flags & 0x10) return systemColor(colorRef & 0xFF);       // fSysIndex
    if (flags & (0x08 | 0x01)) return icvColor(index, book);     // fSchemeIndex, fPaletteIndex
    return int(colorRef & 0xFFFFFF);
}

// MSOLINEDASHING, MS-ODRAW 2.4.15, to the Office dash style numbers of the
// 2000 object model: 1 solid, 2 square dot, 3 round dot, 4 dash, 5 dash dot,
// 6 dash dot dot, 7 long dash, 8 long dash dot, 9 long dash dot dot. Square
// and round dots are the same dotted pattern with flat or round line ends;
// the screen-dependent ("system") patterns report their drawn equivalents.
int dashStyleFor(uint32_t lineDashing, uint32_t endCap) {
    static constexpr int styles[] = {1, 4, 2, 5, 6, 2, 4, 7, 5, 8, 9};
    constexpr uint32_t kDotSys = 2, kRoundCap = 0;
    if (lineDashing == kDotSys && endCap == kRoundCap) return 3;
    if (lineDashing < std::size(styles)) return styles[lineDashing];
    return 1;
}

QString defaultShapeName(int kind, int id, bool isOle) {
    const char* base = "AutoShape";
    switch (kind) {
    case ot::Group: base = "Group"; break;
    case ot::Line: base = "Line"; break;
    case ot::Rectangle: base = "Rectangle"; break;
    case ot::Oval: base = "Oval"; break;
    case ot::Arc: base = "Arc"; break;
    case ot::Chart: base = "Chart"; break;
    case ot::Text: base = "Text Box"; break;
    case ot::Button: base = "Button"; break;
    case ot::Picture: base = isOle ? "Object" : "Picture"; break;
    case ot::Polygon: base = "Freeform"; break;
    case ot::CheckBox: base = "Check Box"; break;
    case ot::OptionButton: base = "Option Button"; break;
    case ot::EditBox: base = "Edit Box"; break;
    case ot::Label: base = "Label"; break;
    case ot::DialogFrame: base = "Dialog Frame"; break;
    case ot::Spinner: base = "Spinner"; break;
    case ot::ScrollBar: base = "Scroll Bar"; break;
    case ot::ListBox: base = "List Box"; break;
    case ot::GroupBox: base = "Group Box"; break;
    case ot::DropDown: base = "Drop Down"; break;
    case ot::Note: base = "Comment"; break;
    default: break;
    }
    return QStringLiteral("%1 %2").arg(QLatin1String(base)).arg(id);
}

bool kindHasText(int kind) {
    switch (kind) {
    case ot::Rectangle: case ot::Oval: case ot::Text: case ot::Button: case ot::Polygon:
    case ot::CheckBox: case ot::OptionButton: case ot::Label: case ot::DialogFrame:
    case ot::GroupBox: case ot::Note: case ot::OfficeArt:
        return true;
    default:
        return false;
    }
}

}  // namespace tabulon::xls
