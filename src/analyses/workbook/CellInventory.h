#pragma once
// The cell and formula inventory: cell by cell, the formulas, the comments,
// or the cells that carry both, of every documented sheet or of the one sheet
// chosen, into T_XlCalc.
#include "analyses/workbook/WorkbookRun.h"

namespace tabulon::store {
class Database;
class Table;
}  // namespace tabulon::store

namespace tabulon::analyses::workbook {

struct CellOptions {
    intake::CellOption cellOption = intake::CellOption::Both;
    intake::SheetSelection sheetSelection = intake::SheetSelection::AllSheets;
    QString selectedSheet;     // the sheet chosen for the selected-sheet list
    int cellMark = 0;          // the done marks and the sheet remembered at
    int sheetMark = 0;         // the last completed selected-sheet run
    QString rememberedSheet;
};

// The fields of a T_XlCalc row as the lists store them.
struct CalcRow {
    int label = 0;
    QString sheetMei;
    qint64 objectNo = 0;
    QString stCell, calcName, noteName;
};
// Appends rows to T_XlCalc (the cell list and the link-destination search).
class CalcRows {
public:
    explicit CalcRows(store::Database& db);
    ~CalcRows();
    void add(const CalcRow& row);
    qint64 written() const { return written_; }

private:
    std::unique_ptr<store::Table> table_;
    qint64 written_ = 0;
};

// The formula text a cell list stores: trimmed of blanks on both sides.
QString storedFormula(const host::Cell& cell);
// The address as stored: "$AB$7" -> "AB7".
QString storedAddress(const host::Cell& cell);

// The outcome's doneMark is the cell mark; the sheet mark and the remembered
// sheet come back through `sheetMark` and `remembered`.
CodeOutcome runCellInventory(const WorkbookContext& ctx, const CellOptions& options, int& sheetMark,
                             QString& remembered);

}  // namespace tabulon::analyses::workbook
