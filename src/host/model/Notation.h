#pragma once
// How the spreadsheet writes cell addresses, sheet names and error values in
// formula text and in its object model's answers, whatever file format the
// workbook came in.
#include "host/model/Cells.h"

#include <QString>

namespace tabulon::model {

// "A", "Z", "AA", ... for a 0-based column.
QString a1Column(int col);
// "A1" / "$A$1" for a 0-based cell.
QString cellAddress(int row, int col, bool absolute);

// A 3-D reference's sheet prefix (without "!") quoted the way formula text
// quotes it. book is empty for this workbook, else "[Prices.xls]" or
// "C:\\data\\[Prices.xls]"; lastSheet is empty or the end of a sheet range.
// "Sheet1", "'My Sheet'", "Sheet1:Sheet3", "'C:\\data\\[Prices.xls]Sheet1'", "'It''s'".
QString sheetPrefixText(const QString& book, const QString& firstSheet, const QString& lastSheet = QString());
// A sheet name as a reference or a sheet-level name writes it ("'My Sheet'", "Sheet1").
QString quoteSheetName(const QString& name);

// The text of an error value (errorcode): "#DIV/0!", "#N/A", ...; empty for
// a code that names no error.
QString errorValueText(int code);

}  // namespace tabulon::model
