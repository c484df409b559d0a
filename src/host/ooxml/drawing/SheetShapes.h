#pragma once
// A sheet's shape collection put together from its drawing parts: the
// DrawingML objects in stacking order, each legacy control at the place its
// DrawingML stand-in holds (else after them), then the comment boxes; names
// and macros of controls from the sheet's control list where VML has none;
// anchors turned into the model's cell fractions; pictures into the book.
#include "host/model/Book.h"
#include "host/ooxml/drawing/DrawnShape.h"

#include <vector>

namespace tabulon::ooxml {

class Package;
struct ControlEntry;

void placeShapes(const Package& package, model::Book& book, model::Sheet& sheet, const QString& drawingPart,
                 std::vector<DrawnShape> drawing, std::vector<DrawnShape> vml,
                 const std::vector<ControlEntry>& controls, const QString& sheetPart, QStringList& warnings);

// An anchor as fractions of the cells it starts and ends in, by the sheet's
// column widths and row heights.
model::Anchor cellFractions(const CellAnchor& a, const model::SheetLayout& layout);

}  // namespace tabulon::ooxml
