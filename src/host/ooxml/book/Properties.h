#pragma once
// Document properties of a package: the core properties (docProps/core.xml),
// the extended ones (app.xml) and the custom ones (custom.xml), found through
// the package relationships and placed at the positions of the spreadsheet's
// built-in document property collection (1 Title ... 30 characters with
// spaces), with the value types the .xls reader gives them.
#include <QVariant>
#include <map>

namespace tabulon::ooxml {

class Package;

void readProperties(const Package& package, std::map<int, QVariant>& out);

}  // namespace tabulon::ooxml
