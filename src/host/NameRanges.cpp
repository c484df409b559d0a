#include "host/NameRanges.h"

#include "host/xls/ByteCursor.h"
#include "host/xls/SheetState.h"

namespace tabulon::host {

using xls::Area;

namespace {
constexpr int kLastRow = 65535;
constexpr int kLastCol = 255;
}  // namespace

bool isWholeRows(const Area& a) { return a.firstCol == 0 && a.lastCol == kLastCol; }
bool isWholeColumns(const Area& a) { return a.firstRow == 0 && a.lastRow == kLastRow && !isWholeRows(a); }

QString areaAddress(const Area& a) {
    if (isWholeRows(a))
        return QStringLiteral("$%1:$%2").arg(a.firstRow + 1).arg(a.lastRow + 1);
    if (isWholeColumns(a))
        return QStringLiteral("$%1:$%2").arg(xls::a1Column(a.firstCol), xls::a1Column(a.lastCol));
    const QString first = xls::cellAddress(a.firstRow, a.firstCol, true);
    if (a.firstRow == a.lastRow && a.firstCol == a.lastCol) return first;
    return first + QLatin1Char(':') + xls::cellAddress(a.lastRow, a.lastCol, true);
}

// Ptg tokens, MS-XLS 2.5.198: the low five bits name the token, bits 5-6 its
// class; 3-D references carry an XTI index first.
std::optional<std::vector<Area>> nameAreas(const xls::NameModel& name) {
    std::vector<Area> areas;
    xls::ByteCursor c(name.rgce.data(), name.rgce.size());
    try {
        while (!c.atEnd()) {
            const uint8_t ptg = c.u8();
            const uint8_t base = (ptg & 0x60) ? uint8_t((ptg & 0x1F) | 0x20) : ptg;
            switch (base) {
            case 0x10:  // PtgUnion
            case 0x15:  // PtgParen
                break;
            case 0x29:  // PtgMemFunc: cce, then the tokens of the area expression
                c.skip(2);
                break;
            case 0x26:  // PtgMemArea: unused, cce
            case 0x27:  // PtgMemErr
                c.skip(6);
                break;
            case 0x3A:  // PtgRef3d
            case 0x24: {  // PtgRef
                if (base == 0x3A) c.skip(2);
                const int row = c.u16();
                const int col = c.u16() & 0x00FF;
                areas.push_back({row, row, col, col});
                break;
            }
            case 0x3B:  // PtgArea3d
            case 0x25: {  // PtgArea
                if (base == 0x3B) c.skip(2);
                Area a;
                a.firstRow = c.u16();
                a.lastRow = c.u16();
                a.firstCol = c.u16() & 0x00FF;
                a.lastCol = c.u16() & 0x00FF;
                areas.push_back(a);
                break;
            }
            default:
                return std::nullopt;
            }
        }
    } catch (const xls::FormatError&) {
        return std::nullopt;
    }
    if (areas.empty()) return std::nullopt;
    return areas;
}

}  // namespace tabulon::host
