#pragma once
// Drawing objects as the spreadsheet prints them: auto shapes and text boxes
// with their fill, line and text, buttons and form controls in their
// standard look. Embedded charts, groups and pictures that cannot be
// decoded stay labelled frames.
#include "reports/sheet/SheetPainter.h"

namespace tabulon::reports::sheet {

// Paints the object into frame (twips).
void paintShape(QPainter& p, const SheetContext& ctx, const model::Shape& shape, const QRectF& frame);
// A picture whose data is damaged or missing: its frame, labelled with its
// name and its size on the sheet.
void paintPictureFrame(QPainter& p, const model::Shape& shape, const QRectF& frame);

}  // namespace tabulon::reports::sheet
