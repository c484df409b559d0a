#pragma once
// A drawing object as the drawing parts describe it, before it is placed on
// its sheet: the model's shape (name, kind, text, fill, line, macro) with
// the anchor in the units its part gives, and what joins it to other parts.
#include "host/model/Shapes.h"

#include <QString>
#include <cstdint>

namespace tabulon::ooxml {

struct CellAnchor {
    enum Kind { None, TwoCell, OneCell, Absolute } kind = None;
    int col1 = 0, row1 = 0, col2 = 0, row2 = 0;
    int64_t dx1 = 0, dy1 = 0, dx2 = 0, dy2 = 0;  // DrawingML: EMU; VML: pixels
    int64_t cx = 0, cy = 0;                     // OneCell / Absolute: the extent in EMU
    bool pixels = false;                        // offsets in pixels (VML) rather than EMU
};

struct DrawnShape {
    model::Shape shape;
    CellAnchor anchor;
    QString pictureRel;   // a picture: the relationship of its image
    QString pictureRels;  // the part whose relationships name it; empty: the drawing part
    QString chartRel;     // DrawingML chart frame: the relationship of its chart part
    int vmlShapeId = 0;   // a DrawingML stand-in for a legacy control: the VML shape it stands for
    int noteRow = -1, noteCol = -1;  // a VML comment box: its cell
};

}  // namespace tabulon::ooxml
