#pragma once
// What one sheet substream's parse functions share while the sheet is read:
// the model being filled, and the pieces that can only be put together at the
// end (shared formula bodies, note texts found in later records).
#include "host/xls/BookContext.h"
#include "host/xls/Readers.h"
#include "host/xls/RecordStream.h"

#include <map>
#include <optional>
#include <utility>

namespace tabulon::xls {

class DrawingRecords;

// Where a stored shared/array/table body sits and what it holds.
struct SharedBody {
    Area area;
    std::vector<uint8_t> rgce;
    std::vector<uint8_t> extra;
    bool isArray = false;
};

struct TableBody {
    Area area;
    uint16_t flags = 0;
    int rowInputRow = 0, rowInputCol = 0, colInputRow = 0, colInputCol = 0;
};

struct PendingFormula {
    size_t cell = 0;     // index in sheet.cells
    int anchorRow = 0, anchorCol = 0;
    bool table = false;
};

struct NoteAnchor {
    int row = 0, col = 0, objId = 0;
    bool shown = false;  // kept in view
    QString author;
};

struct SheetState {
    SheetState(SheetJob& job, const Globals& book, const FormulaContext& bookContext, size_t bytesLeft)
        : sheet(job.sheet), job(job), book(book), log(job.log), bookContext(bookContext), bytesLeft(bytesLeft) {}

    model::Sheet& sheet;
    SheetJob& job;
    const Globals& book;
    WarningLog& log;
    const FormulaContext& bookContext;
    std::map<std::pair<int, int>, SharedBody> bodies;  // by anchor (row, col)
    std::map<std::pair<int, int>, TableBody> tables;
    std::vector<PendingFormula> pending;
    long long stringTarget = -1;   // cell waiting for its STRING record
    std::vector<NoteAnchor> noteAnchors;
    bool hasDimensions = false;     // DIMENSIONS gave the used range
    Area extent{ -1, -1, -1, -1 };  // cells actually present, blanks included
    // Excel 5.0/95 notes: (row, column) and the text's bytes, in file order
    std::vector<std::pair<std::pair<int, int>, QByteArray>> noteBytes;
    size_t bytesLeft = 0;           // stream bytes from this sheet's BOF on: bounds what DIMENSIONS may reserve
    std::optional<BookContext> sheetContext;  // Excel 5.0/95: over the sheet's own link table

    // What the sheet's formulas resolve names and sheets through: the
    // workbook's tables, or in an Excel 5.0/95 sheet its own link table,
    // complete once the first formula comes (the table stands before the
    // cells).
    const FormulaContext& ctx();

    void touch(int row, int col);
    CellData& addCell(int row, int col, CellType type);
    // The cell's format (its ixfe) into the sheet's layout.
    void format(int row, int col, int xf);
    // Keeps text among the sheet's own texts as the cell's text value or
    // formula text.
    void setText(CellData& cell, QString text);
    void setFormula(CellData& cell, QString text);
    void warnRecord(const FormatError& e);
    void warnText(const QString& text);
};

// The head of a cell record (Cell, MS-XLS 2.5.19): row, column and the
// cell's format, which goes into the layout. Returns the row.
int readCellHead(ByteCursor& c, SheetState& st, int& col);
// Cell records, MS-XLS 2.4.*: each reads one record into state.
void parseNumber(const Record& rec, SheetState& st);
void parseRk(const Record& rec, SheetState& st);
void parseMulRk(const Record& rec, SheetState& st);
void parseLabelSst(const Record& rec, SheetState& st);
void parseLabel(const Record& rec, SheetState& st);
void parseBoolErr(const Record& rec, SheetState& st);
void parseBlank(const Record& rec, SheetState& st);
void parseMulBlank(const Record& rec, SheetState& st);
void parseDimensions(const Record& rec, SheetState& st);
// The used range DIMENSIONS gives: first row and column, one past the last.
void setDimensions(SheetState& st, uint32_t rwMic, uint32_t rwMac, uint32_t colMic, uint32_t colMac);
// Formula records.
void parseFormula(const Record& rec, SheetState& st);
void parseString(const Record& rec, SheetState& st);
void parseShrFmla(const Record& rec, SheetState& st);
void parseArray(const Record& rec, SheetState& st);
void parseTable(const Record& rec, SheetState& st);
void resolvePendingFormulas(SheetState& st);
// Comments: NOTE, then each note gets the text of its object and its
// comment shape whether it stays in view.
void parseNote(const Record& rec, SheetState& st);
void attachNotes(SheetState& st, const DrawingRecords& drawing);
// Excel 5.0/95: the records whose layout differs (Biff5Records.cpp); false
// for a record read the BIFF8 way.
bool parseBiff5SheetRecord(const Record& rec, SheetState& st);
void attachBiff5Notes(SheetState& st);

// Decodes tokens into formula text; damage becomes a warning and empty text.
QString formulaText(SheetState& st, const uint8_t* rgce, size_t cce, const uint8_t* extra,
                    size_t extraSize, int row, int col, bool shared);

}  // namespace tabulon::xls
