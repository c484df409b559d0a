// The names the spreadsheet gives objects nobody renamed, and the kinds
// whose text it lets one read.
#include "host/model/Shapes.h"

namespace tabulon::model {

QString defaultShapeName(ShapeKind kind, int id, bool isOle) {
    const char* base = "AutoShape";
    switch (kind) {
    case ShapeKind::Group: base = "Group"; break;
    case ShapeKind::Line: base = "Line"; break;
    case ShapeKind::Rectangle: base = "Rectangle"; break;
    case ShapeKind::Oval: base = "Oval"; break;
    case ShapeKind::Arc: base = "Arc"; break;
    case ShapeKind::Chart: base = "Chart"; break;
    case ShapeKind::TextBox: base = "Text Box"; break;
    case ShapeKind::Button: base = "Button"; break;
    case ShapeKind::Picture: base = isOle ? "Object" : "Picture"; break;
    case ShapeKind::Polygon: base = "Freeform"; break;
    case ShapeKind::CheckBox: base = "Check Box"; break;
    case ShapeKind::OptionButton: base = "Option Button"; break;
    case ShapeKind::EditBox: base = "Edit Box"; break;
    case ShapeKind::Label: base = "Label"; break;
    case ShapeKind::DialogFrame: base = "Dialog Frame"; break;
    case ShapeKind::Spinner: base = "Spinner"; break;
    case ShapeKind::ScrollBar: base = "Scroll Bar"; break;
    case ShapeKind::ListBox: base = "List Box"; break;
    case ShapeKind::GroupBox: base = "Group Box"; break;
    case ShapeKind::DropDown: base = "Drop Down"; break;
    case ShapeKind::Comment: base = "Comment"; break;
    case ShapeKind::AutoShape: case ShapeKind::Other: break;
    }
    return QStringLiteral("%1 %2").arg(QLatin1String(base)).arg(id);
}

bool kindHasText(ShapeKind kind) {
    switch (kind) {
    case ShapeKind::Rectangle: case ShapeKind::Oval: case ShapeKind::TextBox: case ShapeKind::Button:
    case ShapeKind::Polygon: case ShapeKind::CheckBox: case ShapeKind::OptionButton: case ShapeKind::Label:
    case ShapeKind::DialogFrame: case ShapeKind::GroupBox: case ShapeKind::Comment: case ShapeKind::AutoShape:
        return true;
    default:
        return false;
    }
}

}  // namespace tabulon::model
