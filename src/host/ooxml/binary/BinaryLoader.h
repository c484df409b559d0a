#pragma once
// A binary workbook (.xlsb): the package, relationships, theme, drawings,
// VML controls, VBA project, ribbon and properties as for the XML forms;
// the workbook, sheets, shared strings, styles, comments and external links
// from their record streams.
#include "host/model/Book.h"

namespace tabulon::ooxml {

class Package;

// Fills `book` (whose path, format and grid are set) from the package whose
// main part is the binary workbook part. Throws a ReadError (Damaged) when
// the workbook part cannot be read; damage elsewhere becomes a warning.
void readBinaryPackage(const Package& package, const QString& workbookPart, model::Book& book);

}  // namespace tabulon::ooxml
