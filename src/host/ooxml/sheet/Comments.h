#pragma once
// Cell comments of a worksheet: the legacy notes part (ECMA-376 Part 1,
// 18.7) with each note's author, and threaded comments (the 2018 format),
// whose thread replaces the placeholder note the spreadsheet writes beside
// it. Texts read as the spreadsheet shows them: a note's text begins with
// its author's line, a thread's replies follow with theirs.
#include "host/model/Book.h"

namespace tabulon::ooxml {

class Package;

// The notes of the sheet part into sheet.notes.
void readComments(const Package& package, const QString& sheetPart, const QString& workbookPart, model::Sheet& sheet,
                  QStringList& warnings);

}  // namespace tabulon::ooxml
