// What a drawing object is and how it looks: its kind from the OBJ record,
// line, fill and outline from the OfficeArt properties, text alignment and
// fonts from the TXO.
#include "host/xls/Colors.h"
#include "host/xls/DrawingReader.h"

#include <iterator>

#include <algorithm>
#include <cmath>

namespace tabulon::xls {

namespace {

// OfficeArtFOPT property ids, MS-ODRAW 2.3.
constexpr int kRotation = 0x0004, kFillColor = 0x0181, kFillFlags = 0x01BF, kLineColor = 0x01C0, kLineWidth = 0x01CB,
    kLineStartArrow = 0x01D0, kLineEndArrow = 0x01D1;
// Fill Style Boolean Properties (2.3.7.43): fFilled, counted only with fUsefFilled.
constexpr uint32_t kFilled = 0x00000010, kUseFilled = 0x00100000;
constexpr uint32_t kFspFlipH = 0x0040, kFspFlipV = 0x0080;
constexpr double kEmuPerPoint = 12700;

}  // namespace

model::ShapeKind shapeKindOf(int kind) {
    using model::ShapeKind;
    switch (kind) {
    case ot::Group: return ShapeKind::Group;
    case ot::Line: return ShapeKind::Line;
    case ot::Rectangle: return ShapeKind::Rectangle;
    case ot::Oval: return ShapeKind::Oval;
    case ot::Arc: return ShapeKind::Arc;
    case ot::Chart: return ShapeKind::Chart;
    case ot::Text: return ShapeKind::TextBox;
    case ot::Button: return ShapeKind::Button;
    case ot::Picture: return ShapeKind::Picture;
    case ot::Polygon: return ShapeKind::Polygon;
    case ot::CheckBox: return ShapeKind::CheckBox;
    case ot::OptionButton: return ShapeKind::OptionButton;
    case ot::EditBox: return ShapeKind::EditBox;
    case ot::Label: return ShapeKind::Label;
    case ot::DialogFrame: return ShapeKind::DialogFrame;
    case ot::Spinner: return ShapeKind::Spinner;
    case ot::ScrollBar: return ShapeKind::ScrollBar;
    case ot::ListBox: return ShapeKind::ListBox;
    case ot::GroupBox: return ShapeKind::GroupBox;
    case ot::DropDown: return ShapeKind::DropDown;
    case ot::Note: return ShapeKind::Comment;
    case ot::OfficeArt: return ShapeKind::AutoShape;
    default: return ShapeKind::Other;
    }
}

// MSOSPT, MS-ODRAW 2.4.24: the preset shapes the print image draws itself.
model::Geometry geometryOf(int shapeType) {
    switch (shapeType) {
    case 1: case 202: return model::Geometry::Rectangle;   // rectangle, text box
    case 2: return model::Geometry::RoundedRectangle;
    case 3: return model::Geometry::Ellipse;
    case 20: case 32: return model::Geometry::Line;         // line, straight connector
    default: return model::Geometry::Other;
    }
}

// MSOLINEDASHING, MS-ODRAW 2.4.15, to the Office dash style numbers of the
// 2000 object model: 1 solid, 2 square dot, 3 round dot, 4 dash, 5 dash dot,
// 6 dash dot dot, 7 long dash, 8 long dash dot, 9 long dash dot dot. Square
// and round dots are the same dotted pattern with flat or round line ends;
// the screen-dependent ("system") patterns report their drawn equivalents.
int dashStyleFor(uint32_t lineDashing, uint32_t endCap) {
    static constexpr int styles[] = {1, 4, 2, 5, 6, 2, 4, 7, 5, 8, 9};
    constexpr uint32_t kDotSys = 2, kRoundCap = 0;
    if (lineDashing == kDotSys && endCap == kRoundCap) return 3;
    if (lineDashing < std::size(styles)) return styles[lineDashing];
    return 1;
}

void applyShapeLook(const std::map<int, uint32_t>& props, uint32_t fspFlags, model::Shape& shape,
                    const std::vector<uint32_t>& palette) {
    const auto value = [&props](int id) -> const uint32_t* {
        const auto it = props.find(id);
        return it == props.end() ? nullptr : &it->second;
    };
    if (const uint32_t* flags = value(kFillFlags); flags && (*flags & kUseFilled)) shape.filled = *flags & kFilled;
    if (const uint32_t* color = value(kLineColor)) shape.lineColor = artColor(*color, palette);
    if (const uint32_t* width = value(kLineWidth)) shape.lineWidthPt = std::min(*width / kEmuPerPoint, 100.0);
    if (const uint32_t* arrow = value(kLineStartArrow)) shape.arrowStart = int(std::min<uint32_t>(*arrow, 255));
    if (const uint32_t* arrow = value(kLineEndArrow)) shape.arrowEnd = int(std::min<uint32_t>(*arrow, 255));
    // A 16.16 fixed-point number of degrees.
    if (const uint32_t* turn = value(kRotation)) shape.rotation = std::fmod(int32_t(*turn) / 65536.0, 360.0);
    shape.flipH = fspFlags & kFspFlipH;
    shape.flipV = fspFlags & kFspFlipV;
}

}  // namespace tabulon::xls
