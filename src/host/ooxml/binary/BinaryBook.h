#pragma once
// The workbook part of a binary workbook (MS-XLSB 2.1.7.61): the sheets in
// order with their state and relationship, the date system and code name,
// and the tables formulas resolve through — the defined names with their
// tokens, the supporting links (this workbook, add-ins, the linked books of
// the external link parts) and the Xti list — gathered into the .xls
// reader's tables (biff 12), so that one formula context serves both.
#include "host/ooxml/book/WorkbookPart.h"
#include "host/xls/Globals.h"

#include <vector>

namespace tabulon::ooxml {

class Package;

struct BinaryBook {
    std::vector<SheetEntry> sheets;
    xls::Globals tables;  // names, supBooks, xti, boundSheetNames, date1904, codeName
};

// Throws Error 1004 when the part cannot be read at all; a damaged record
// past the sheet list becomes a package warning.
BinaryBook readBinaryWorkbook(const Package& package, const QString& part);

}  // namespace tabulon::ooxml
