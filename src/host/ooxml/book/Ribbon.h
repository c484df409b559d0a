#pragma once
// The workbook's own ribbon (customUI, the Office 2007 and 2010 forms): the
// procedures its controls call when clicked (onAction), workbook-level entry
// points of the macros like a shape's macro.
#include "host/model/Book.h"

namespace tabulon::ooxml {

class Package;

std::vector<model::RibbonAction> readRibbonActions(const Package& package, QStringList& warnings);

}  // namespace tabulon::ooxml
