#pragma once
// One worksheet part (ECMA-376 Part 1, 18.3) streamed into the model's sheet:
// cells with their values and the formulas as the spreadsheet shows them
// (shared formulas moved into each cell, array formulas and data tables in
// every cell of their range), the used range, merged areas, columns, rows,
// page setup, breaks, header and footer, protection. What the sheet only
// points to (drawings, comments, controls) is handed back for the loader.
#include "host/model/Book.h"
#include "host/ooxml/formula/FormulaText.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace tabulon::ooxml {

class XmlHandler;

// What every sheet shares while being read: nothing in it changes.
struct SheetContext {
    // How many shared strings the workbook holds. The shared strings are read
    // beside the sheets: this waits until they are, and is asked once per
    // sheet, when its cells are settled.
    std::function<size_t()> sharedStringCount = [] { return size_t(0); };
    const std::vector<ExternalBook>* books = nullptr;
    bool date1904 = false;
};

// A form control the sheet lists (<controls>), in the order listed.
struct ControlEntry {
    int shapeId = 0;
    QString relId;   // its ctrlProp (or ActiveX) part
    QString name;
    QString macro;   // controlPr macro, as stored
};

struct SheetRefs {
    QString drawing;         // relationship ids
    QString legacyDrawing;
    std::vector<ControlEntry> controls;
    bool dialogSheet = false;
    QStringList addInFunctions;  // XLL functions its formulas call, first seen first
};

class SheetReader;

// A handler that fills `sheet` from the part's XML; finish() settles what
// can only be settled at the end (formulas of ranges, the used range).
class WorksheetParser {
public:
    WorksheetParser(const SheetContext& context, model::Sheet& sheet, SheetRefs& refs, QStringList& warnings);
    ~WorksheetParser();
    XmlHandler& handler();
    void finish();

private:
    std::unique_ptr<SheetReader> d;
};

// The cells sorted by row, then column; a cell written twice keeps the later one.
void sortCells(std::vector<model::CellData>& cells);
// The used range as the spreadsheet computes it: every cell written
// (`extent`, formatted blanks and merges included) and the stored dimension
// (-1 rows where none). The newer grid holds seventeen billion cells, which
// no chapter could walk: when the formatted blanks or the dimension reach
// past the largest sheet an .xls could hold, the range shrinks to the cells
// with a value, formula or note. Returns the warning that says so, else empty.
QString settleUsed(model::Sheet& sheet, const model::Area& extent, const model::Area& dimension);

// "B12" -> row 11, column 1; false for anything else.
bool parseCellAddress(std::string_view text, int& row, int& col);
// "A1:C3" or "B2" into an area.
bool parseAreaText(std::string_view text, model::Area& area);
// An error literal's code ("#DIV/0!" -> errorcode::Div0).
int errorCodeOf(std::string_view text);

}  // namespace tabulon::ooxml
