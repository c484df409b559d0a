#pragma once
// The parts a workbook or a sheet only points to, read after the sheets:
// each sheet's comments and drawings, and the workbook's VBA project and
// ribbon.
#include "host/model/Book.h"

namespace tabulon::ooxml {

class ColorResolver;
class Package;
struct SheetRefs;

void readSheetParts(const Package& package, model::Book& book, size_t sheet, const QString& sheetPart,
                    const SheetRefs& refs, const ColorResolver& colors, QStringList& warnings);

void readBookParts(const Package& package, const QString& workbookPart, model::Book& book);

}  // namespace tabulon::ooxml
