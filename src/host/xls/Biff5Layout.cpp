// The Excel 5.0/95 (BIFF5) forms of the format and page records: fonts and
// number formats with byte-string names, the 16-byte XF, byte-string headers
// and footers, page breaks without their span.
#include "host/xls/Readers.h"
#include "host/xls/SheetLayout.h"

#include <algorithm>

namespace tabulon::xls {

namespace {

constexpr uint16_t kHeader = 0x0014, kFooter = 0x0015, kVerticalBreaks = 0x001A, kHorizontalBreaks = 0x001B;

// The orientation of BIFF5 as the BIFF8 rotation: none, stacked, 90° counter-
// clockwise, 90° clockwise.
int rotationOf(int orientation) {
    static const int rotation[] = {0, 255, 90, 180};
    return rotation[orientation & 0x03];
}

std::vector<int> readBreaks5(const Record& rec) {
    ByteCursor c = rec.cursor();
    const size_t count = c.u16();
    std::vector<int> breaks;
    for (size_t i = 0; i < count && c.remaining() >= 2; ++i) breaks.push_back(c.u16());
    std::sort(breaks.begin(), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    return breaks;
}

QString headerFooter5(const Record& rec, int codePage) {
    if (rec.size() == 0) return QString();
    ByteCursor c = rec.cursor();
    return biff5Chars(c, c.u8(), codePage);
}

}  // namespace

// FONT, BIFF5: the BIFF8 fields, then the name as a byte string.
void parseFont5(const Record& rec, Globals& g) {
    ByteCursor c = rec.cursor();
    FontDef def = readFontFields(c);
    def.font.name = biff5Chars(c, c.u8(), g.codePage);
    g.fonts.push_back(std::move(def));
}

// FORMAT, BIFF5: index, then the code as a byte string.
void parseFormat5(const Record& rec, Globals& g) {
    ByteCursor c = rec.cursor();
    const int ifmt = c.u16();
    g.formatCodes[ifmt] = biff5Chars(c, c.u8(), g.codePage);
}

// XF, BIFF5: font, format, protection and alignment as in BIFF8; then the
// orientation, the fill (pattern colours and pattern) with the bottom
// border, and the top, left and right borders in one 32-bit field.
void parseXf5(const Record& rec, Globals& g) {
    ByteCursor c = rec.cursor();
    XfDef x;
    x.font = c.u16();
    x.format = c.u16();
    c.skip(2);
    const uint8_t align = c.u8();
    x.hAlign = align & 0x07;
    x.wrap = align & 0x08;
    x.vAlign = (align >> 4) & 0x07;
    x.rotation = rotationOf(c.u8());
    const uint32_t fill = c.u32();
    const uint32_t lines = c.u32();
    x.patternColor = fill & 0x7F;
    x.backColor = (fill >> 7) & 0x7F;
    x.pattern = int((fill >> 16) & 0x3F);
    x.bottom = {int((fill >> 22) & 0x07), int((fill >> 25) & 0x7F)};
    x.top = {int(lines & 0x07), int((lines >> 9) & 0x7F)};
    x.left = {int((lines >> 3) & 0x07), int((lines >> 16) & 0x7F)};
    x.right = {int((lines >> 6) & 0x07), int((lines >> 23) & 0x7F)};
    g.xfs.push_back(x);
}

bool parseBiff5PageRecord(const Record& rec, model::PageSetup& page, int codePage) {
    switch (rec.type) {
    case kHeader: page.headerText = headerFooter5(rec, codePage); return true;
    case kFooter: page.footerText = headerFooter5(rec, codePage); return true;
    case kHorizontalBreaks: page.rowBreaks = readBreaks5(rec); return true;
    case kVerticalBreaks: page.colBreaks = readBreaks5(rec); return true;
    default: return false;
    }
}

}  // namespace tabulon::xls
