#pragma once
// The drawing objects of a sheet in the order of its shape collection (the
// stacking order): what the shape list shows of each and what its print
// image draws.
#include "host/model/Cells.h"
#include "host/model/Color.h"

#include <QString>
#include <optional>

namespace tabulon::model {

// What an object is, as the spreadsheet's object model tells them apart.
enum class ShapeKind {
    Other, Group, Line, Rectangle, Oval, Arc, Chart, TextBox, Button, Picture, Polygon, CheckBox,
    OptionButton, EditBox, Label, DialogFrame, Spinner, ScrollBar, ListBox, GroupBox, DropDown,
    Comment, AutoShape
};

// The outline a shape is drawn with, where it has one of these.
enum class Geometry { Other, Rectangle, RoundedRectangle, Ellipse, Line };

// Where an object sits: the cells of its top-left and bottom-right corners,
// with the offsets into them as a fraction of the cell's width or height.
struct Anchor {
    int col1 = 0, row1 = 0, col2 = 0, row2 = 0;
    double dx1 = 0, dy1 = 0, dx2 = 0, dy2 = 0;
    bool operator==(const Anchor&) const = default;
};

struct Shape {
    ShapeKind kind = ShapeKind::Other;
    int objectId = 0;          // the object's number on its sheet
    QString name;              // its own name, else the default the spreadsheet gives ("Button 3")
    QString onAction;          // the macro it runs as the spreadsheet shows it, no "="
    bool hasText = false;      // the kind holds a character text (text box, button, ...)
    QString text;
    TextRuns textRuns;
    int textHAlign = 0;        // 1 left, 2 centre, 3 right, 4 justify, 7 distributed; 0 not given
    int textVAlign = 0;        // 1 top, 2 middle, 3 bottom, 4 justify, 7 distributed; 0 not given
    Color fillColor = Color::of(0xFFFFFF);
    bool filled = true;
    Color lineColor = Color::of(0x000000);
    double lineWidthPt = 0.75;
    int dashStyle = 1;         // the Office dash style: 1 solid, 2 square dot, 3 round dot, 4 dash, 5 dash dot,
                               // 6 dash dot dot, 7 long dash, 8 long dash dot, 9 long dash dot dot
    bool lineVisible = true;   // the line is drawn (a picture or a borderless box has none)
    Geometry geometry = Geometry::Other;
    bool flipH = false, flipV = false;  // a line runs from the top right (H) or bottom left (V) corner
    double rotation = 0;       // degrees clockwise about the centre
    int arrowStart = 0, arrowEnd = 0;   // 0 none, 1 triangle, 2 stealth, 3 diamond, 4 oval, 5 open
    int checked = -1;          // a check box or option button: 0 off, 1 on, 2 mixed; -1 not known
    std::optional<Anchor> anchor;  // none for an object the print image cannot place
    int picture = -1;          // its picture in Book::pictures; -1 none
    int chart = -1;            // a chart: its description in Book::charts; -1 none read
    bool visible = true;       // a comment: kept in view, not only shown while pointed at

    bool isComment() const { return kind == ShapeKind::Comment; }
};

// The name the spreadsheet gives an object of this kind that was never
// renamed: "Rectangle 2", "Button 1", ...; isOle marks an embedded object.
QString defaultShapeName(ShapeKind kind, int id, bool isOle = false);
// Whether the kind has a character text the spreadsheet lets one read.
bool kindHasText(ShapeKind kind);

}  // namespace tabulon::model
