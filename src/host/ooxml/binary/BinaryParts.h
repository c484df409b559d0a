#pragma once
// The parts of a binary workbook (.xlsb) beside its workbook and sheets:
// styles, shared strings and comments, read from their record streams into
// the same model the XML parts fill.
#include "host/model/Book.h"
#include "host/ooxml/book/SharedStrings.h"

#include <map>

namespace tabulon::ooxml {

class ColorResolver;
class Package;

// The styles part through the workbook part's relationship: number formats
// (built-in ids through the Japanese table), fonts, fills, borders and the
// cell formats. Damage becomes a package warning; what was read stays.
model::Formats readBinaryStyles(const Package& package, const QString& workbookPart, ColorResolver& colors);

// The shared strings part, each rich string with its runs.
SharedStrings readBinarySharedStrings(const Package& package, const QString& workbookPart);

// A comments part: each note's text and author, by (row, column).
void readBinaryComments(const Package& package, const QString& part, std::map<std::pair<int, int>, model::Note>& notes,
                        QStringList& warnings);

}  // namespace tabulon::ooxml
