#pragma once
// The drawing layer of a sheet: the OfficeArt drawing (MS-ODRAW) that BIFF8
// spreads over MSODRAWING records, with the OBJ record that follows each
// shape's client data and the TXO record that follows each client text box.
// The sheet reader hands these records over in file order; the drawing layer
// turns them into the sheet's shape collection.
#include "host/xls/Model.h"
#include "host/xls/Readers.h"
#include "host/xls/RecordStream.h"

#include <cstdint>
#include <map>
#include <vector>

namespace tabulon::xls {

class FormulaContext;

namespace rt {
constexpr uint16_t MsoDrawing = 0x00EC, Palette = 0x0092;
}

// OBJ object types (MS-XLS 2.5.143, FtCmo ot) the layer tells apart.
namespace ot {
constexpr int Group = 0x00, Line = 0x01, Rectangle = 0x02, Oval = 0x03, Arc = 0x04, Chart = 0x05,
    Text = 0x06, Button = 0x07, Picture = 0x08, Polygon = 0x09, CheckBox = 0x0B, OptionButton = 0x0C,
    EditBox = 0x0D, Label = 0x0E, DialogFrame = 0x0F, Spinner = 0x10, ScrollBar = 0x11, ListBox = 0x12,
    GroupBox = 0x13, DropDown = 0x14, Note = 0x19, OfficeArt = 0x1E;
}

// What one OBJ record says about its shape.
struct ObjInfo {
    int kind = -1;
    int id = 0;
    QString macro;        // the assigned macro as the spreadsheet shows it, no "="
    QString problem;      // why the macro could not be read, empty when it could
    int checked = -1;     // FtCbls of a check box or option button: 0, 1, 2 mixed; -1 none
};

// What a TXO record says about the look of its text.
struct TxoLook {
    int hAlign = 0, vAlign = 0;  // 1 left / top, 2 centre, 3 right / bottom, 4 justify, 7 distributed; 0 not given
    TextRuns runs;
};

// The line, fill and flips of a shape from its OfficeArt properties (MS-ODRAW
// 2.3) and FSP flags, into the look fields of shape.
void applyShapeLook(const std::map<int, uint32_t>& props, uint32_t fspFlags, ShapeModel& shape,
                    const WorkbookModel& book);

// The drawing records of one sheet in file order.
class DrawingRecords {
public:
    // Takes MSODRAWING, OBJ and TXO records; ignores every other type.
    void add(const Record& rec);
    bool empty() const { return drawing_.empty(); }

    std::vector<uint8_t> drawing_;   // the OfficeArt bytes of every MSODRAWING, joined
    std::vector<Record> objs_;       // OBJ records in order
    std::vector<Record> txos_;       // TXO records in order
};

// Builds sheet.shapes from the records. Damage ends the walk with a warning;
// the shapes read up to then are kept.
void readDrawing(const DrawingRecords& records, SheetModel& sheet, const WorkbookModel& book,
                 WarningLog& log, const FormulaContext& ctx);

// Obj, MS-XLS 2.4.181: object type, id and the macro of FtMacro.
ObjInfo parseObjInfo(const Record& rec, const FormulaContext& ctx);
// TxO, MS-XLS 2.4.329: the text, which lives in the CONTINUE after the record.
QString parseTxoText(const Record& rec);
// TxO, MS-XLS 2.4.329: the alignment and the formatting runs of the text.
TxoLook parseTxoLook(const Record& rec);

// Palette, MS-XLS 2.4.188.
void parsePalette(const Record& rec, WorkbookModel& book);
// An OfficeArtCOLORREF (MS-ODRAW 2.2.2) as the RGB number the spreadsheet
// reports, palette and system colours resolved.
int colorRgb(uint32_t colorRef, const WorkbookModel& book);
// An OfficeArt lineDashing value with its lineEndCapStyle (MS-ODRAW 2.3.8,
// default 2 flat) as the Office dash style number.
int dashStyleFor(uint32_t lineDashing, uint32_t endCap = 2);
// The name the spreadsheet gives an object of this kind that was never
// renamed: "Rectangle 2", "Button 1", ...; isOle marks an embedded object.
QString defaultShapeName(int kind, int id, bool isOle);
// Whether the kind has a character text the spreadsheet lets one read.
bool kindHasText(int kind);

}  // namespace tabulon::xls
