// The workbook's cell formats: fonts, number formats and XF records of the
// globals substream, and the formats the model keeps once the palette (which
// follows them in the file) is known.
#include "host/format/NumberFormat.h"
#include "host/xls/Colors.h"
#include "host/xls/SheetLayout.h"

namespace tabulon::xls {

namespace {

constexpr uint16_t kFont = 0x0031, kFormat = 0x041E, kXf = 0x00E0, kDateMode = 0x0022;

QString formatCode(const Globals& g, int ifmt) {
    const auto it = g.formatCodes.find(ifmt);
    if (it != g.formatCodes.end()) return it->second;
    const QString builtin = host::format::builtinFormatCode(ifmt);
    return builtin.isEmpty() ? QStringLiteral("General") : builtin;
}

model::BorderLine borderOf(const BorderLine& b, const std::vector<uint32_t>& palette) {
    return {b.style, cellColor(b.icv, palette)};
}

}  // namespace

// Font, MS-XLS 2.4.122: the fields before the name, which Excel 5.0/95
// writes the same way.
FontDef readFontFields(ByteCursor& c) {
    FontDef def;
    model::Font& font = def.font;
    font.points = c.u16() / 20.0;
    const uint16_t flags = c.u16();
    font.italic = flags & 0x0002;
    font.strike = flags & 0x0008;
    def.icv = c.u16();
    font.bold = c.u16() >= 600;
    c.skip(2);  // sss: super/subscript
    font.underline = c.u8();
    c.skip(3);  // family, charset, reserved
    if (font.points < 1) font.points = 10;
    return def;
}

void parseFont(const Record& rec, Globals& g) {
    ByteCursor c = rec.cursor();
    FontDef def = readFontFields(c);
    def.font.name = readUnicodeString8(rec, c);
    g.fonts.push_back(std::move(def));
}

// Format, MS-XLS 2.4.126
void parseFormat(const Record& rec, Globals& g) {
    ByteCursor c = rec.cursor();
    const int ifmt = c.u16();
    g.formatCodes[ifmt] = readUnicodeString16(rec, c);
}

// XF, MS-XLS 2.4.353; the cell and style forms share this layout in BIFF8.
void parseXf(const Record& rec, Globals& g) {
    ByteCursor c = rec.cursor();
    XfDef x;
    x.font = c.u16();
    x.format = c.u16();
    c.skip(2);  // protection, style flag, parent
    const uint8_t align = c.u8();
    x.hAlign = align & 0x07;
    x.wrap = align & 0x08;
    x.vAlign = (align >> 4) & 0x07;
    x.rotation = c.u8();
    const uint8_t indent = c.u8();
    x.indent = indent & 0x0F;
    x.shrink = indent & 0x10;
    c.skip(1);  // which attributes differ from the parent
    const uint32_t b1 = c.u32();
    const uint32_t b2 = c.u32();
    const uint16_t b3 = c.u16();
    x.left = {int(b1 & 0x0F), int((b1 >> 16) & 0x7F)};
    x.right = {int((b1 >> 4) & 0x0F), int((b1 >> 23) & 0x7F)};
    x.top = {int((b1 >> 8) & 0x0F), int(b2 & 0x7F)};
    x.bottom = {int((b1 >> 12) & 0x0F), int((b2 >> 7) & 0x7F)};
    x.diagonalDown = b1 & 0x40000000u;
    x.diagonalUp = b1 & 0x80000000u;
    x.diagonal = {int((b2 >> 21) & 0x0F), int((b2 >> 14) & 0x7F)};
    x.pattern = int((b2 >> 26) & 0x3F);
    x.patternColor = b3 & 0x7F;
    x.backColor = (b3 >> 7) & 0x7F;
    g.xfs.push_back(x);
}

bool parseFormatRecord(const Record& rec, Globals& g) {
    if (rec.type == rt::MsoDrawingGroup) {  // MsoDrawingGroup, MS-XLS 2.4.171: one OfficeArt stream when joined
        g.drawingGroup.append(reinterpret_cast<const char*>(rec.bytes()), qsizetype(rec.size()));
        return true;
    }
    if (rec.type != kFont && rec.type != kFormat && rec.type != kXf && rec.type != kDateMode) return false;
    try {
        const bool biff5 = g.biff == 5;
        switch (rec.type) {
        case kFont: biff5 ? parseFont5(rec, g) : parseFont(rec, g); break;
        case kFormat: biff5 ? parseFormat5(rec, g) : parseFormat(rec, g); break;
        case kXf: biff5 ? parseXf5(rec, g) : parseXf(rec, g); break;
        default: { ByteCursor c = rec.cursor(); g.date1904 = c.u16() != 0; break; }  // DateMode, 2.4.77
        }
    } catch (const FormatError&) {
        // A damaged record keeps its place, so later indices stay right; its
        // cells print in the default look.
        if (rec.type == kFont) g.fonts.emplace_back();
        if (rec.type == kXf) g.xfs.emplace_back();
    }
    return true;
}

model::Formats resolveFormats(const Globals& g) {
    model::Formats f;
    f.date1904 = g.date1904;
    f.defaultFormat = 15;  // the Normal style's cell XF
    f.fonts.reserve(g.fonts.size());
    for (const FontDef& def : g.fonts) {
        model::Font font = def.font;
        font.color = cellColor(def.icv, g.palette);
        f.fonts.push_back(std::move(font));
    }
    f.cellFormats.reserve(g.xfs.size());
    for (const XfDef& x : g.xfs) {
        model::CellFormat cf;
        cf.font = fontIndex(x.font);
        cf.numberFormat = formatCode(g, x.format);
        cf.hAlign = x.hAlign;
        cf.vAlign = x.vAlign;
        cf.wrap = x.wrap;
        cf.shrink = x.shrink;
        cf.indent = x.indent;
        cf.rotation = x.rotation;
        cf.left = borderOf(x.left, g.palette);
        cf.right = borderOf(x.right, g.palette);
        cf.top = borderOf(x.top, g.palette);
        cf.bottom = borderOf(x.bottom, g.palette);
        cf.diagonal = borderOf(x.diagonal, g.palette);
        cf.diagonalDown = x.diagonalDown;
        cf.diagonalUp = x.diagonalUp;
        cf.pattern = x.pattern;
        cf.patternColor = cellColor(x.patternColor, g.palette);
        cf.backColor = cellColor(x.backColor, g.palette);
        f.cellFormats.push_back(std::move(cf));
    }
    return f;
}

}  // namespace tabulon::xls
