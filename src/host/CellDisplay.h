#pragma once
// What a cell shows: its value through its number format, and the sheet's
// print layout read on demand from the workbook file.
#include "host/Workbook.h"
#include "host/format/NumberFormat.h"
#include "host/xls/SheetLayout.h"

#include <QByteArray>

namespace tabulon::host {

// A cell value (as Cell::value gives it) through a number format code. A
// zero shows as nothing when the sheet hides zeros; no "####" width rule.
format::Display cellDisplay(const QVariant& value, bool isError, const QString& formatCode, bool date1904,
                            bool showZeros = true);

// The formats of a workbook and the layouts of its sheets, read again from
// the workbook's file (the loaded model keeps only values and formulas).
class PrintSource {
public:
    // Throws tabulon::Error when the file can no longer be read.
    explicit PrintSource(const Workbook& book);
    const xls::BookFormats& formats() const { return formats_; }
    xls::SheetLayout layout(const Sheet& sheet) const;
    // The display text of a cell of the sheet, laid out as `layout`.
    format::Display display(const Cell& cell, const xls::SheetLayout& layout) const;

private:
    Workbook book_;
    QByteArray stream_;
    xls::BookFormats formats_;
};

}  // namespace tabulon::host
