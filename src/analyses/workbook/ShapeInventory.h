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
// The text the shape list writes where it does not recognise a shape's kind,
// a text it does not read, or a line style; it reaches T_XlShape and R_XlShape.
// A shape whose kind is not recognised is not listed.
inline const QString kUnrecognisedShapeText = QStringLiteral("ERROR");

using intake::ShapeSelection;

// The kind name by the first letter of the shape's name (case-sensitive),
// with "CO"/"OB" told apart upper-cased; kUnrecognisedShapeText for any other
// letter.
QString ShapeKindName(const QString& name);
// kUnrecognisedShapeText for names whose text is not read (charts, comments, lines,
// objects), else the empty text.
QString TextShapeCheck(const QString& name);
// The dash style name; a line that is not drawn is "線なし".
QString LineStyleName(int dashStyle, bool lineVisible = true);
// The procedure part of a macro assignment: the text after the last "!"
// outside quotes ("'Sales!2.xls'!Module1.Run" -> "Module1.Run").
QString macroNameOf(const QString& onAction);
// Whether a shape of this name, with this macro assignment, is listed.
bool isListed(ShapeSelection selection, const QString& name, const QString& macro);

struct ShapeRow {
    int objectNo = 0;
    QString sheetName, name, kind, macro, foreColor, lineStyle;
    bool readText = false;  // TextName is set
    QString text;
};

// The rows of one sheet, in the order of its shape collection.
std::vector<ShapeRow> shapeRows(const host::Sheet& sheet, int objectNo, ShapeSelection selection);

struct ShapeOptions {
    ShapeSelection selection = ShapeSelection::Macros;
    int tableSelection = 0; // done mark: the selection T_XlShape holds
};

// The whole command; the done mark of the outcome is the selection.
code::CodeOutcome runShapeInventory(const WorkbookContext& ctx, const ShapeOptions& options);

}  // namespace tabulon::analyses::workbook
