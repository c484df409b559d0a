// Where the drawing objects of a sheet sit, for its print image: the client
// anchors of the OfficeArt records, each paired with the OBJ record that
// follows its shape.
#include "host/xls/SheetLayout.h"

namespace tabulon::xls {

namespace {

constexpr uint16_t kClientAnchor = 0xF010;

}  // namespace

// The OfficeArt records of one MsoDrawing record (MS-ODRAW 2.2.1 headers):
// containers are entered, atoms stepped over; a container may go on in the
// next record, which is walked on its own.
void parseShapeAnchors(const Record& rec, SheetLayout& s) {
    ByteCursor c = rec.cursor();
    while (c.remaining() >= 8) {
        const uint16_t verInstance = c.u16();
        const uint16_t type = c.u16();
        const uint32_t length = c.u32();
        if ((verInstance & 0x000F) == 0x000F) continue;  // a container: its children follow
        if (type == kClientAnchor && length >= 18 && c.remaining() >= 18) {
            ShapeAnchor a;
            c.skip(2);  // move/size flags
            a.col1 = c.u16(); a.dx1 = c.u16(); a.row1 = c.u16(); a.dy1 = c.u16();
            a.col2 = c.u16(); a.dx2 = c.u16(); a.row2 = c.u16(); a.dy2 = c.u16();
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
