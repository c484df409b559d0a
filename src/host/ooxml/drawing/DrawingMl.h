#pragma once
// A worksheet's DrawingML drawing part (ECMA-376 Part 1, 20.5 SpreadsheetML
// drawing): its top-level objects in stacking order, a group counting as one,
// each with name, kind, text, fill, line, arrows, rotation and the macro it
// runs; theme colours resolved through the workbook's theme.
#include "host/ooxml/drawing/DrawnShape.h"

#include <vector>

namespace tabulon::ooxml {

class Package;
class ColorResolver;

std::vector<DrawnShape> readDrawingMl(const Package& package, const QString& part, const ColorResolver& colors,
                                      QStringList& warnings);

}  // namespace tabulon::ooxml
