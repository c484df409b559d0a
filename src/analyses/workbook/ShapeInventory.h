#pragma once
// The shapes and controls of every sheet (buttons, text boxes, auto shapes,
// pictures, comments, ...) with the macro each one runs, its fill colour,
// line style and text, one T_XlShape row per listed shape. The shape option
// chooses which shapes are listed.
#include "analyses/workbook/WorkbookRun.h"

#include <vector>

namespace tabulon::analyses::workbook {

inline const QString ShapePlace = QStringLiteral("場所:図形情報");
inline const QString ShapeCollectingText = QStringLiteral("図形情報　取得中");
// The text the shape list writes for a line style it does not know; it
// reaches T_XlShape and R_XlShape.
inline const QString kUnrecognisedShapeText = QStringLiteral("ERROR");

using intake::ShapeSelection;

// The kind name of a shape by what it is: the object type the reader
// delivers (button, text box, picture, check box, comment, chart, group, ...)
// and, for a drawing of the Office shapes, its shape type (rectangle, oval,
// line, ...). The name plays no part: a renamed shape keeps its kind.
QString ShapeKindName(const model::Shape& shape);
// Whether the shape's own text is listed: kinds that hold a character text,
// except comments (their text is the cell note, listed with the cells).
bool readsShapeText(const model::Shape& shape);
// The dash style name; a line that is not drawn is "線なし".
QString LineStyleName(int dashStyle, bool lineVisible = true);
// The procedure part of a macro assignment: the text after the last "!"
// outside quotes ("'Sales!2.xls'!Module1.Run" -> "Module1.Run").
QString macroNameOf(const QString& onAction);
// Whether a shape with this macro assignment is listed under the selection.
bool isListed(ShapeSelection selection, const model::Shape& shape, const QString& macro);
// A colour as the shape list prints it: "#RRGGBB".
QString colorText(const model::Color& color);

struct ShapeRow {
    int objectNo = 0;
    QString sheetName, name, kind, macro, foreColor, lineStyle;
    bool readText = false;  // TextName is set
    QString text;
};

// The rows of one sheet, in the order of its shape collection.
std::vector<ShapeRow> shapeRows(const host::Sheet& sheet, int objectNo, ShapeSelection selection);

// The buttons of the workbook's own ribbon tab run their onAction callback as
// a shape runs its macro, so every selection lists them, after the sheets,
// under the workbook (sheet name 「リボン」): the control's id as the name,
// its label as the text.
std::vector<ShapeRow> ribbonRows(const std::vector<model::RibbonAction>& actions, int objectNo);

struct ShapeOptions {
    ShapeSelection selection = ShapeSelection::Macros;
    int tableSelection = 0; // done mark: the selection T_XlShape holds
};

// The whole command; the done mark of the outcome is the selection.
code::CodeOutcome runShapeInventory(const WorkbookContext& ctx, const ShapeOptions& options);

}  // namespace tabulon::analyses::workbook
