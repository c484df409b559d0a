// A sheet's page setup: paper, scale, margins, centring, header and footer,
// manual page breaks, and what prints besides the cells.
#include "host/xls/SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace tabulon::xls {

namespace {

constexpr uint16_t kHeader = 0x0014, kFooter = 0x0015, kVerticalBreaks = 0x001A, kHorizontalBreaks = 0x001B,
    kLeftMargin = 0x0026, kRightMargin = 0x0027, kTopMargin = 0x0028, kBottomMargin = 0x0029,
    kPrintGrid = 0x002B, kHCenter = 0x0083, kVCenter = 0x0084;

// A margin in inches; nonsense values keep the default.
void readMargin(const Record& rec, double& into) {
    ByteCursor c = rec.cursor();
    const double v = c.f64();
    if (std::isfinite(v) && v >= 0 && v < 50) into = v;
}

// HorizontalPageBreaks 2.4.122 / VerticalPageBreaks 2.4.350: the first row
// (column) of each new page, then the span it applies to.
std::vector<int> readBreaks(const Record& rec) {
    ByteCursor c = rec.cursor();
    const size_t count = c.u16();
    std::vector<int> breaks;
    for (size_t i = 0; i < count && c.remaining() >= 6; ++i) {
        breaks.push_back(c.u16());
        c.skip(4);
    }
    std::sort(breaks.begin(), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    return breaks;
}

// Header 2.4.136 / Footer 2.4.124: empty record for none.
QString readHeaderFooter(const Record& rec) {
    if (rec.size() == 0) return QString();
    ByteCursor c = rec.cursor();
    return readUnicodeString16(rec, c);
}

// Setup, MS-XLS 2.4.257
void parseSetup(const Record& rec, model::PageSetup& page) {
    ByteCursor c = rec.cursor();
    const int paper = c.u16();
    const int scale = c.u16();
    const int pageStart = c.i16();
    const int fitWidth = c.u16();
    const int fitHeight = c.u16();
    const uint16_t flags = c.u16();
    c.skip(4);  // resolutions
    const double header = c.f64();
    const double footer = c.f64();
    const bool noPrinterSettings = flags & 0x0004;
    page.downThenOver = !(flags & 0x0001);
    if (flags & 0x0080) page.firstPageNumber = pageStart;
    page.blackAndWhite = flags & 0x0008;
    page.fitWidth = fitWidth;
    page.fitHeight = fitHeight;
    if (std::isfinite(header) && header >= 0 && header < 50) page.header = header;
    if (std::isfinite(footer) && footer >= 0 && footer < 50) page.footer = footer;
    if (flags & 0x0020) page.comments = flags & 0x0200 ? 2 : 1;  // fNotes, fEndNotes
    if (noPrinterSettings) return;
    if (paper > 0) page.paperSize = paper;
    if (scale >= 10 && scale <= 400) page.scale = scale;
    page.landscape = !(flags & 0x0040) && !(flags & 0x0002);
}

}  // namespace

bool parsePageRecord(const Record& rec, model::PageSetup& page) {
    switch (rec.type) {
    case rt::SetupRec: parseSetup(rec, page); break;
    case kLeftMargin: readMargin(rec, page.left); break;
    case kRightMargin: readMargin(rec, page.right); break;
    case kTopMargin: readMargin(rec, page.top); break;
    case kBottomMargin: readMargin(rec, page.bottom); break;
    case kHCenter: { ByteCursor c = rec.cursor(); page.hCenter = c.u16() != 0; break; }  // 2.4.135
    case kVCenter: { ByteCursor c = rec.cursor(); page.vCenter = c.u16() != 0; break; }  // 2.4.342
    case kHeader: page.headerText = readHeaderFooter(rec); break;
    case kFooter: page.footerText = readHeaderFooter(rec); break;
    case kHorizontalBreaks: page.rowBreaks = readBreaks(rec); break;
    case kVerticalBreaks: page.colBreaks = readBreaks(rec); break;
    case kPrintGrid: { ByteCursor c = rec.cursor(); page.gridlines = c.u16() != 0; break; }  // 2.4.202
    case rt::PrintHeaders: { ByteCursor c = rec.cursor(); page.headings = c.u16() != 0; break; }  // 2.4.203
    default: return false;
    }
    return true;
}

}  // namespace tabulon::xls
