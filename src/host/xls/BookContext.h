#pragma once
// What formulas need from the rest of the workbook, answered from the loaded
// SUPBOOK, EXTERNSHEET and NAME tables, with names quoted the way the
// spreadsheet quotes them in formula text.
#include "host/xls/FormulaDecoder.h"
#include "host/xls/Model.h"

namespace tabulon::xls {

class BookContext : public FormulaContext {
public:
    explicit BookContext(const WorkbookModel& book) : book_(book) {}
    QString externSheetPrefix(int ixti) const override;
    QString definedName(int nameIndex) const override;
    QString externName(int ixti, int nameIndex) const override;

private:
    const WorkbookModel& book_;
};

// True when a sheet name must be put in single quotes in a reference: it holds
// anything but letters, digits, "_" and ".", starts with a digit, or could be
// read as a cell reference.
bool sheetNeedsQuotes(const QString& name);
// The name quoted when needed, inner quotes doubled.
QString quoteSheetName(const QString& name);

}  // namespace tabulon::xls
