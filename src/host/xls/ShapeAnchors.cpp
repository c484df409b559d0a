// Where the drawing objects of a sheet sit, for its print image: the client
// anchors of the OfficeArt records, each paired with the OBJ record that
// follows its shape.
#include "host/xls/SheetLayout.h"

namespace tabulon::xls {

namespace {

constexpr uint16_t kClientAnchor = 0xF010, kShape = 0xF00A, kOptions = 0xF00B;
constexpr uint16_t kPib = 0x0104;  // the picture's place in the BLIP store

// The pib among the shape's OfficeArtFOPT properties (6 bytes each), else 0.
int pibOf(ByteCursor c, size_t count) {
    for (size_t i = 0; i < count && c.remaining() >= 6; ++i) {
        const uint16_t id = c.u16();
        const uint32_t value = c.u32();
        if ((id & 0x3FFF) == kPib && (id & 0x8000) == 0) return int(std::min<uint32_t>(value, 0xFFFF));
    }
    return 0;
}

}  // namespace

// The OfficeArt records of one MsoDrawing record (MS-ODRAW 2.2.1 headers):
// containers are entered, atoms stepped over; a container may go on in the
// next record, which is walked on its own.
void parseShapeAnchors(const Record& rec, SheetLayout& s) {
    ByteCursor c = rec.cursor();
    int pib = 0;  // of the shape whose records are being read
    while (c.remaining() >= 8) {
        const uint16_t verInstance = c.u16();
        const uint16_t type = c.u16();
        const uint32_t length = c.u32();
        if ((verInstance & 0x000F) == 0x000F) continue;  // a container: its children follow
        if (type == kShape) pib = 0;
        if (type == kOptions) pib = pibOf(c, verInstance >> 4);
        if (type == kClientAnchor && length >= 18 && c.remaining() >= 18) {
            ShapeAnchor a;
            c.skip(2);  // move/size flags
            a.col1 = c.u16(); a.dx1 = c.u16(); a.row1 = c.u16(); a.dy1 = c.u16();
            a.col2 = c.u16(); a.dx2 = c.u16(); a.row2 = c.u16(); a.dy2 = c.u16();
            a.pib = pib;
            s.shapes.push_back(a);
            c.skip(std::min<size_t>(length - 18, c.remaining()));
            continue;
        }
        c.skip(std::min<size_t>(length, c.remaining()));
    }
}

// Obj, MS-XLS 2.4.181: its first subrecord (FtCmo) gives the object type.
void parseShapeKind(const Record& rec, SheetLayout& s) {
    if (s.shapes.empty() || s.shapes.back().kind >= 0) return;  // a child of a group: no anchor of its own
    ByteCursor c = rec.cursor();
    c.skip(4);  // ft, cb
    const int kind = c.u16();
    s.shapes.back().objectId = c.u16();
    s.shapes.back().kind = kind;
}

}  // namespace tabulon::xls
