#pragma once
// A worksheet's legacy VML drawing: the form controls of the spreadsheet's
// older drawing layer (buttons, check boxes, drop-downs ...) with the macro
// each runs (FmlaMacro) and its state, and the boxes of the cell comments.
// Excel's VML is not always well-formed XML; it is read leniently.
#include "host/ooxml/drawing/DrawnShape.h"

#include <vector>

namespace tabulon::ooxml {

class Package;

std::vector<DrawnShape> readVml(const Package& package, const QString& part, QStringList& warnings);

// "#ffffe1", "#fff", "infoBackground [80]", "red" as RGB; nothing for "none"
// or a colour not known.
std::optional<uint32_t> vmlColor(QStringView text);

}  // namespace tabulon::ooxml
