#include "host/ooxml/drawing/DrawingMl.h"

#include "common/Error.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/drawing/ColorElement.h"
#include "host/ooxml/formula/FormulaText.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cmath>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxDrawingBytes = 256u << 20;
constexpr double kEmuPerPoint = 12700;

int dashOf(std::string_view v) {
    static constexpr std::pair<std::string_view, int> kDashes[] = {
        {"solid", 1}, {"sysDot", 2}, {"dot", 3}, {"dash", 4}, {"sysDash", 4}, {"dashDot", 5}, {"sysDashDot", 5},
        {"sysDashDotDot", 6}, {"lgDash", 7}, {"lgDashDot", 8}, {"lgDashDotDot", 9}};
    for (const auto& [name, n] : kDashes)
        if (name == v) return n;
    return 1;
}

int arrowOf(std::string_view v) {
    static constexpr std::string_view kArrows[] = {"none", "triangle", "stealth", "diamond", "oval", "arrow"};
    for (size_t i = 0; i < std::size(kArrows); ++i)
        if (kArrows[i] == v) return int(i);
    return 0;
}

// What a colour element being read is for.
enum class Target { None, Fill, Line, FillRef, LineRef };

class DrawingReader : public XmlHandler {
public:
    DrawingReader(const ColorResolver& c, std::vector<DrawnShape>& o) : colors(c), out(o) {}
    const ColorResolver& colors;
    std::vector<DrawnShape>& out;

    int depth = 0;
    int skipUntil = -1;       // skipping an mc:Fallback below this depth
    int controlChoiceDepth = -1;  // inside an mc:Choice for the 2010 drawing layer's controls
    int anchorDepth = -1;     // depth of the current anchor element
    int objectDepth = -1;     // depth of the top-level object in the anchor
    bool named = false;
    enum class Corner { None, From, To } corner = Corner::None;
    std::string_view field;   // col / colOff / row / rowOff being read
    std::string number;
    // Properties read while inside the object's own spPr / style / txBody.
    bool inSpPr = false, inLn = false, inStyle = false, inTxBody = false, inText = false;
    bool fillGiven = false, lineGiven = false, paragraphOpen = false;
    Target target = Target::None;
    ColorElement color;
    model::Color refFill, refLine;

    DrawnShape& cur() { return out.back(); }

    void start(const XmlElement& e) override {
        ++depth;
        if (skipUntil >= 0) return;
        const std::string_view n = e.local();
        if (n == "Fallback") { skipUntil = depth; return; }
        // Form controls are written as DrawingML objects for the Office 2010
        // drawing layer only; the legacy drawing holds the control itself.
        if (n == "Choice") { controlChoiceDepth = e.attr("Requires").find("a14") != std::string_view::npos ? depth : -1; return; }
        if (anchorDepth < 0) {
            if (n == "twoCellAnchor" || n == "oneCellAnchor" || n == "absoluteAnchor") {
                anchorDepth = depth;
                objectDepth = -1;
                named = false;
                out.emplace_back();
                cur().anchor.kind = n == "twoCellAnchor" ? CellAnchor::TwoCell : n == "oneCellAnchor" ? CellAnchor::OneCell : CellAnchor::Absolute;
                fillGiven = lineGiven = false;
                refFill = refLine = model::Color::automaticColor();
            }
            return;
        }
        if (depth == anchorDepth + 1) {
            if (n == "from") { corner = Corner::From; return; }
            if (n == "to") { corner = Corner::To; return; }
            if (n == "ext") { cur().anchor.cx = e.integer("cx"), cur().anchor.cy = e.integer("cy"); return; }
            if (n == "pos") { cur().anchor.dx1 = e.integer("x"), cur().anchor.dy1 = e.integer("y"); return; }
        }
        if (corner != Corner::None && depth == anchorDepth + 2) {
            field = n;
            number.clear();
            return;
        }
        if (objectDepth < 0 && (n == "sp" || n == "pic" || n == "cxnSp" || n == "grpSp" || n == "graphicFrame")) {
            startObject(e, n);
            return;
        }
        if (objectDepth < 0) return;
        model::Shape& s = cur().shape;
        if (n == "cNvPr" && !named) {
            named = true;
            s.name = e.text("name");
            s.objectId = int(e.integer("id"));
            if (controlChoiceDepth >= 0 && cur().vmlShapeId == 0) cur().vmlShapeId = s.objectId;
            if (e.flag("hidden")) s.visible = false;
            return;
        }
        if (n == "compatExt") {
            const QString spid = e.text("spid");
            cur().vmlShapeId = spid.mid(spid.lastIndexOf(u's') + 1).toInt();
            return;
        }
        if (n == "cNvSpPr" && depth == objectDepth + 2 && e.flag("txBox")) { s.kind = model::ShapeKind::TextBox; return; }
        // The object's own properties only, not those of a group's members.
        if ((n == "spPr" || n == "grpSpPr") && depth == objectDepth + 1) { inSpPr = true; return; }
        if (n == "style" && depth == objectDepth + 1) { inStyle = true; return; }
        if (n == "txBody" && depth == objectDepth + 1) { inTxBody = true; return; }
        if (n == "blip" && cur().pictureRel.isEmpty()) { cur().pictureRel = qstr(e.relAttr("embed")); return; }
        if (n == "chart" && s.kind == model::ShapeKind::Chart && cur().chartRel.isEmpty()) { cur().chartRel = qstr(e.relAttr("id")); return; }
        if (inSpPr) return spPr(e, n);
        if (inStyle) {
            if (n == "fillRef") target = e.integer("idx") > 0 ? Target::FillRef : Target::None;
            else if (n == "lnRef") target = e.integer("idx") > 0 ? Target::LineRef : Target::None;
            else colorElement(e, n);
            return;
        }
        if (inTxBody) {
            if (n == "bodyPr") {
                const std::string_view a = e.attr("anchor");
                s.textVAlign = a == "t" ? 1 : a == "ctr" ? 2 : a == "b" ? 3 : a == "just" ? 4 : a == "dist" ? 7 : 0;
            } else if (n == "p") {
                if (paragraphOpen) s.text += u'\n';
                paragraphOpen = true;
            } else if (n == "pPr" && s.textHAlign == 0) {
                const std::string_view a = e.attr("algn");
                s.textHAlign = a == "l" ? 1 : a == "ctr" ? 2 : a == "r" ? 3 : a == "just" ? 4 : a == "dist" ? 7 : 0;
            } else if (n == "br") {
                s.text += u'\n';
            } else if (n == "t") {
                inText = true;
            }
        }
    }

    void startObject(const XmlElement& e, std::string_view n) {
        objectDepth = depth;
        model::Shape& s = cur().shape;
        s.kind = n == "pic" ? model::ShapeKind::Picture : n == "grpSp" ? model::ShapeKind::Group
                 : n == "cxnSp" ? model::ShapeKind::Line : n == "graphicFrame" ? model::ShapeKind::Chart
                                                             : model::ShapeKind::AutoShape;
        s.onAction = displayFormula(e.text("macro"), {});
        paragraphOpen = false;
        if (n == "pic") s.filled = false, s.lineVisible = false;
    }

    void spPr(const XmlElement& e, std::string_view n) {
        model::Shape& s = cur().shape;
        if (n == "xfrm") {
            s.rotation = double(e.integer("rot")) / 60000.0;
            s.flipH = e.flag("flipH");
            s.flipV = e.flag("flipV");
        } else if (n == "prstGeom") {
            const std::string_view p = e.attr("prst");
            s.geometry = p == "rect" ? model::Geometry::Rectangle : p == "roundRect" ? model::Geometry::RoundedRectangle
                         : p == "ellipse" ? model::Geometry::Ellipse
                         : (p == "line" || p == "straightConnector1") ? model::Geometry::Line : model::Geometry::Other;
        } else if (n == "ln") {
            inLn = true;
            lineGiven = true;
            s.lineVisible = true;
            if (e.has("w")) s.lineWidthPt = double(e.integer("w")) / kEmuPerPoint;
        } else if (n == "noFill") {
            if (inLn) s.lineVisible = false;
            else fillGiven = true, s.filled = false;
        } else if (n == "solidFill" || n == "gs") {
            target = inLn ? Target::Line : Target::Fill;
            if (!inLn) fillGiven = true, s.filled = true;
        } else if (n == "prstDash" && inLn) {
            s.dashStyle = dashOf(e.attr("val"));
        } else if (n == "headEnd" && inLn) {
            s.arrowStart = arrowOf(e.attr("type"));
        } else if (n == "tailEnd" && inLn) {
            s.arrowEnd = arrowOf(e.attr("type"));
        } else {
            colorElement(e, n);
        }
    }

    void colorElement(const XmlElement& e, std::string_view n) {
        if (target != Target::None) color.take(e, n, colors.theme);
    }

    void finishColor() {
        if (!color.set()) return;
        model::Shape& s = cur().shape;
        const model::Color c = model::Color::of(color.take());
        switch (target) {
        case Target::Fill: s.fillColor = c; break;
        case Target::Line: s.lineColor = c; break;
        case Target::FillRef: refFill = c; break;
        case Target::LineRef: refLine = c; break;
        case Target::None: break;
        }
    }

    void end(std::string_view n) override {
        --depth;
        if (skipUntil >= 0) {
            if (depth < skipUntil) skipUntil = -1;
            return;
        }
        if (n == "Choice") controlChoiceDepth = -1;
        if (anchorDepth < 0) return;
        if (depth < anchorDepth) {  // the anchor ends
            finishShape();
            anchorDepth = -1;
            return;
        }
        if (corner != Corner::None && depth == anchorDepth + 1 && !field.empty()) {
            setCorner();
            field = {};
            return;
        }
        if (depth == anchorDepth && (n == "from" || n == "to")) corner = Corner::None;
        if (objectDepth >= 0 && depth < objectDepth) objectDepth = -2;  // the object is done; nothing after counts
        if (ColorElement::isColor(n)) finishColor();
        else if (n == "solidFill" || n == "gs" || n == "fillRef" || n == "lnRef") target = Target::None;
        else if (n == "ln") inLn = false;
        else if (n == "spPr" || n == "grpSpPr") inSpPr = false;
        else if (n == "style") inStyle = false;
        else if (n == "txBody") inTxBody = false;
        else if (n == "t") inText = false;
    }

    void text(std::string_view t) override {
        if (skipUntil >= 0) return;
        if (!field.empty()) number.append(t);
        else if (inText && !out.empty()) cur().shape.text += qstr(t);
    }

    void setCorner() {
        const long long v = QByteArray(number.data(), qsizetype(number.size())).trimmed().toLongLong();
        CellAnchor& a = cur().anchor;
        const bool from = corner == Corner::From;
        if (field == "col") (from ? a.col1 : a.col2) = int(std::clamp<long long>(v, 0, 16383));
        else if (field == "row") (from ? a.row1 : a.row2) = int(std::clamp<long long>(v, 0, 1048575));
        else if (field == "colOff") (from ? a.dx1 : a.dx2) = v;
        else if (field == "rowOff") (from ? a.dy1 : a.dy2) = v;
    }

    void finishShape() {
        model::Shape& s = cur().shape;
        // Where the shape's own properties say nothing, its style's colours hold.
        if (!fillGiven && !refFill.automatic) s.fillColor = refFill;
        if (!lineGiven && !refLine.automatic) s.lineColor = refLine;
        if (s.kind == model::ShapeKind::Line || s.geometry == model::Geometry::Line) s.filled = false;
        s.hasText = model::kindHasText(s.kind);
        if (objectDepth == -1) out.pop_back();  // an anchor without an object
    }
};

}  // namespace

std::vector<DrawnShape> readDrawingMl(const Package& package, const QString& part, const ColorResolver& colors,
                                      QStringList& warnings) {
    std::vector<DrawnShape> out;
    DrawingReader reader(colors, out);
    try {
        parsePart(package, part, reader, kMaxDrawingBytes);
    } catch (const Error& e) {
        warnings << QStringLiteral("drawing %1 read as far as it goes: %2").arg(part, e.description());
    }
    return out;
}

}  // namespace tabulon::ooxml
