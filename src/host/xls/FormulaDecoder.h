#pragma once
// Turns a parsed formula (an Rgce token array, with its trailing RgbExtra for
// array constants) of an .xls (BIFF8, or Excel 5.0/95) or of a binary
// workbook (.xlsb, whose tokens are the BIFF8 ones with 32-bit rows, 14-bit
// columns and UTF-16 strings) into the text the spreadsheet's Formula/RefersTo
// property shows: "=" followed by the expression in A1 style, English function
// names, the author's spaces and line breaks, sheet and book names quoted the
// way the spreadsheet quotes them.
#include "host/model/Notation.h"
#include "host/model/NumberText.h"
#include "host/xls/Globals.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tabulon::xls {

// What the decoder needs to know about the rest of the workbook. The reader
// implements it over its SUPBOOK/EXTERNSHEET/NAME tables.
class FormulaContext {
public:
    virtual ~FormulaContext() = default;
    // Text placed before "!" for a 3-D reference through XTI index ixti, without
    // the "!" and already quoted where needed: "Sheet1", "'My Sheet'",
    // "Sheet1:Sheet3", "'C:\\data\\[Prices.xls]Sheet1'", "[1]Sheet1" never.
    // Empty text means the reference is to a deleted sheet (#REF!).
    virtual QString externSheetPrefix(int ixti) const = 0;
    // Name of the defined name with 1-based index into the NAME records.
    virtual QString definedName(int nameIndex) const = 0;
    // The same name as a formula on sheet `formulaSheet` writes it: a name
    // that belongs to another sheet carries that sheet ("Defines!Rate").
    virtual QString definedNameOn(int nameIndex, const QString* formulaSheet) const {
        (void)formulaSheet;
        return definedName(nameIndex);
    }
    // PtgNameX: the name at 1-based index in the supporting book of ixti,
    // with its book prefix when it is an external name ("Book.xls!Name",
    // add-in functions come back bare).
    virtual QString externName(int ixti, int nameIndex) const = 0;
    // Excel 5.0/95 3-D references into this workbook name their sheets by
    // position (0-based, in BOUNDSHEET order): the quoted prefix without
    // "!", empty for a deleted sheet.
    virtual QString ownSheetsPrefix(int firstTab, int lastTab) const {
        (void)firstTab;
        (void)lastTab;
        return QString();
    }
};

enum class FormulaKind {
    Cell,       // FORMULA record: relative refs are absolute cell refs
    Shared,     // SHRFMLA/ARRAY body decoded for one cell: RefN/AreaN are offsets
    Name,       // NAME record: RefN/AreaN are offsets from A1 (wrapping)
};

struct FormulaInput {
    const uint8_t* rgce = nullptr;
    size_t cce = 0;             // bytes of tokens
    const uint8_t* extra = nullptr;  // RgbExtra (array constants), may be null
    size_t extraSize = 0;
    int row = 0;                // 0-based position of the cell the text is for
    int col = 0;
    FormulaKind kind = FormulaKind::Cell;
    const QString* sheetName = nullptr;  // the sheet the formula is on, where known
    bool biff5 = false;         // the older Excel 5.0/95 token forms
    bool biff12 = false;        // the binary workbook's (.xlsb) wider forms
    int codePage = 1252;        // their byte strings' code page
};

// Returns the formula text starting with "=". Throws tabulon::Error (1004)
// on a token stream it cannot read (truncated, unknown token); never reads
// outside the given buffers.
QString decodeFormula(const FormulaInput& in, const FormulaContext& ctx);

// The cell areas a formula covers when it is a range: nothing but cell and
// area references (3-D ones too), joined by unions, in parentheses or
// memory-area wrappers. Nothing for any other formula or an unreadable one.
std::optional<std::vector<Area>> formulaAreas(const FormulaInput& in, const FormulaContext& ctx);

// The spreadsheet's notation for sheet prefixes, error values and numbers.
using model::errorValueText;
using model::numberText;
using model::putDigits;
using model::sheetPrefixText;

}  // namespace tabulon::xls
