#pragma once
// The drawing layer of a sheet: the OfficeArt drawing (MS-ODRAW) that BIFF8
// spreads over MSODRAWING records, with the OBJ record that follows each
// shape's client data and the TXO record that follows each client text box.
// The sheet reader hands these records over in file order; the drawing layer
// turns them into the sheet's shape collection.
#include "host/model/Shapes.h"
#include "host/xls/Readers.h"
#include "host/xls/RecordStream.h"

#include <cstdint>
#include <map>
#include <vector>

namespace tabulon::xls {

class FormulaContext;

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

// The object's kind in the model.
model::ShapeKind shapeKindOf(int ot);

// The line, fill and flips of a shape from its OfficeArt properties (MS-ODRAW
// 2.3) and FSP flags, into the look fields of shape; colours through the
// workbook's palette.
void applyShapeLook(const std::map<int, uint32_t>& props, uint32_t fspFlags, model::Shape& shape,
                    const std::vector<uint32_t>& palette);
// The outline of an MSOSPT shape type (MS-ODRAW 2.4.24).
model::Geometry geometryOf(int shapeType);

struct ObjEntry {
    ObjInfo info;
    bool damaged = false;  // unreadable: its shape shows as an object of no known kind
};

struct TxoEntry {
    QString text;
    TxoLook look;
    bool damaged = false;  // unreadable: its shape has no text
};

// The drawing records of one sheet in file order, each read once as it
// comes: the OfficeArt bytes of the MSODRAWING records, the OBJ and TXO
// records, and the text of each comment (the TXO that follows a comment's
// OBJ, which the comment's NOTE names).
class DrawingRecords {
public:
    // Takes MSODRAWING, OBJ and TXO records (a macro is decoded through
    // ctx); ignores every other type. A damaged OBJ or TXO keeps its place
    // and throws its FormatError.
    void add(const Record& rec, const FormulaContext& ctx);
    bool empty() const { return drawing_.empty(); }
    // Comment object id -> its text.
    const std::map<int, QString>& commentTexts() const { return commentTexts_; }

    std::vector<uint8_t> drawing_;   // the OfficeArt bytes of every MSODRAWING, joined
    std::vector<ObjEntry> objs_;     // OBJ records in order
    std::vector<TxoEntry> txos_;     // TXO records in order

private:
    void addObj(const Record& rec, const FormulaContext& ctx);
    void addTxo(const Record& rec);
    // Drawing pieces in the CONTINUE records joined to rec after its own
    // bytes, which end at ownEnd.
    void takeDrawingAfter(const Record& rec, size_t ownEnd);
    std::map<int, QString> commentTexts_;
    int lastComment_ = -1;           // the id of the comment whose OBJ came last
};

// Builds sheet.shapes from the records, each with its anchor and picture.
// Damage ends the walk with a warning; the shapes read up to then are kept.
void readDrawing(const DrawingRecords& records, model::Sheet& sheet, const Globals& book, WarningLog& log);

// Obj, MS-XLS 2.4.181: object type, id and the macro of FtMacro. The
// second form fills info as far as the record can be read.
ObjInfo parseObjInfo(const Record& rec, const FormulaContext& ctx);
void readObjInfo(const Record& rec, const FormulaContext& ctx, ObjInfo& info);
// TxO, MS-XLS 2.4.329: the text, its alignment and its formatting runs
// (their fonts as model font numbers) into out. Returns where the TXO's own
// bytes end in the record joined with its CONTINUEs.
size_t readTxo(const Record& rec, TxoEntry& out);

// An OfficeArt lineDashing value with its lineEndCapStyle (MS-ODRAW 2.3.8,
// default 2 flat) as the Office dash style number.
int dashStyleFor(uint32_t lineDashing, uint32_t endCap = 2);

}  // namespace tabulon::xls
