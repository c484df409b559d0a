// The look of a drawing object as the print image draws it: line and fill
// from the OfficeArt properties, text alignment and fonts from the TXO.
#include "host/xls/DrawingReader.h"

#include <algorithm>
#include <cmath>

namespace tabulon::xls {

namespace {

// OfficeArtFOPT property ids, MS-ODRAW 2.3.
constexpr int kRotation = 0x0004, kFillColor = 0x0181, kFillFlags = 0x01BF, kLineColor = 0x01C0, kLineWidth = 0x01CB,
    kLineStartArrow = 0x01D0, kLineEndArrow = 0x01D1;
// Fill Style Boolean Properties (2.3.7.43): fFilled, counted only with fUsefFilled.
constexpr uint32_t kFilled = 0x00000010, kUseFilled = 0x00100000;
constexpr uint32_t kFspFlipH = 0x0040, kFspFlipV = 0x0080;
constexpr double kEmuPerPoint = 12700;

}  // namespace

void applyShapeLook(const std::map<int, uint32_t>& props, uint32_t fspFlags, ShapeModel& shape,
                    const WorkbookModel& book) {
    const auto value = [&props](int id) -> const uint32_t* {
        const auto it = props.find(id);
        return it == props.end() ? nullptr : &it->second;
    };
    if (const uint32_t* flags = value(kFillFlags); flags && (*flags & kUseFilled)) shape.filled = *flags & kFilled;
    if (const uint32_t* color = value(kLineColor)) shape.lineColor = colorRgb(*color, book);
    if (const uint32_t* width = value(kLineWidth)) shape.lineWidthPt = std::min(*width / kEmuPerPoint, 100.0);
    if (const uint32_t* arrow = value(kLineStartArrow)) shape.arrowStart = int(std::min<uint32_t>(*arrow, 255));
    if (const uint32_t* arrow = value(kLineEndArrow)) shape.arrowEnd = int(std::min<uint32_t>(*arrow, 255));
    // A 16.16 fixed-point number of degrees.
    if (const uint32_t* turn = value(kRotation)) shape.rotation = std::fmod(int32_t(*turn) / 65536.0, 360.0);
    shape.flipH = fspFlags & kFspFlipH;
    shape.flipV = fspFlags & kFspFlipV;
}

// TxO, MS-XLS 2.4.329: the alignment bits of its first word; the runs
// (TxORuns, 2.5.272: eight bytes each, the last one only ends the text)
// fill the CONTINUE after the characters.
TxoLook parseTxoLook(const Record& rec) {
    TxoLook look;
    ByteCursor c = rec.cursor();
    const uint16_t flags = c.u16();
    look.hAlign = (flags >> 1) & 0x07;
    look.vAlign = (flags >> 4) & 0x07;
    c.seek(10);
    const size_t cch = c.u16();
    const size_t cbRuns = c.u16();
    if (cch == 0 || rec.segmentStarts.empty()) return look;
    c.seek(rec.segmentStarts.front());
    readContinuedChars(rec, c, cch, false);
    const auto next = std::find_if(rec.segmentStarts.begin(), rec.segmentStarts.end(),
                                   [&c](size_t at) { return at >= c.pos(); });
    if (next == rec.segmentStarts.end()) return look;
    c.seek(*next);
    const size_t count = std::min(cbRuns / 8, c.remaining() / 8);
    for (size_t i = 0; i + 1 < count; ++i) {
        const uint16_t first = c.u16();
        const uint16_t font = c.u16();
        c.skip(4);
        if (first < cch && (look.runs.empty() || first > look.runs.back().first)) look.runs.push_back({first, font});
    }
    return look;
}

}  // namespace tabulon::xls
