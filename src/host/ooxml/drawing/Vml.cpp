#include "host/ooxml/drawing/Vml.h"

#include "common/Error.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/formula/FormulaText.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxVmlBytes = 256u << 20;

// x:ClientData ObjectType -> the kind.
model::ShapeKind kindOf(const QString& type) {
    static const std::pair<const char*, model::ShapeKind> kKinds[] = {
        {"Button", model::ShapeKind::Button},      {"Checkbox", model::ShapeKind::CheckBox},
        {"Radio", model::ShapeKind::OptionButton}, {"Drop", model::ShapeKind::DropDown},
        {"List", model::ShapeKind::ListBox},       {"Label", model::ShapeKind::Label},
        {"GBox", model::ShapeKind::GroupBox},      {"Edit", model::ShapeKind::EditBox},
        {"Scroll", model::ShapeKind::ScrollBar},   {"Spin", model::ShapeKind::Spinner},
        {"Dialog", model::ShapeKind::DialogFrame}, {"Note", model::ShapeKind::Comment},
        {"Rect", model::ShapeKind::Rectangle},     {"Shape", model::ShapeKind::AutoShape},
        {"Pict", model::ShapeKind::Picture},       {"Group", model::ShapeKind::Group},
        {"Line", model::ShapeKind::Line},          {"Arc", model::ShapeKind::Arc},
        {"Poly", model::ShapeKind::Polygon},       {"Oval", model::ShapeKind::Oval},
        {"Text", model::ShapeKind::TextBox},       {"Movie", model::ShapeKind::Other}};
    for (const auto& [name, kind] : kKinds)
        if (type.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return kind;
    return model::ShapeKind::Other;
}

// "_x0000_s1025" -> 1025; 0 for an id of another form.
int shapeNumber(const QString& id) {
    const qsizetype s = id.lastIndexOf(QStringLiteral("_s"));
    if (!id.startsWith(QStringLiteral("_x")) || s < 0) return 0;
    return id.mid(s + 2).toInt();
}

int alignOf(const QString& v) {
    const QString a = v.trimmed().toLower();
    return a == u"left" || a == u"top" ? 1 : a == u"center" ? 2 : a == u"right" || a == u"bottom" ? 3
           : a == u"justify" ? 4 : a == u"distributed" ? 7 : 0;
}

class VmlReader : public XmlHandler {
public:
    std::vector<DrawnShape>& out;
    const QString part;
    VmlReader(std::vector<DrawnShape>& o, const QString& p) : out(o), part(p) {}
    bool inShape = false, inTextbox = false, inClient = false;
    int shapeDepth = 0, depth = 0;
    QString field, value, objectType;

    void start(const XmlElement& e) override {
        ++depth;
        const std::string_view n = e.local();
        if (!inShape && (n == "shape" || n == "rect" || n == "roundrect" || n == "oval" || n == "line")) {
            inShape = true;
            shapeDepth = depth;
            objectType.clear();
            out.emplace_back();
            model::Shape& s = out.back().shape;
            out.back().vmlShapeId = shapeNumber(e.anyAttr("spid").empty() ? e.text("id") : qstr(e.anyAttr("spid")));
            s.objectId = out.back().vmlShapeId & 0x3FF;
            if (const auto c = vmlColor(e.text("fillcolor"))) s.fillColor = model::Color::of(*c);
            if (const auto c = vmlColor(e.text("strokecolor"))) s.lineColor = model::Color::of(*c);
            if (e.has("filled")) s.filled = e.flag("filled", true);
            if (e.has("stroked")) s.lineVisible = e.flag("stroked", true);
            if (e.text("style").contains(QStringLiteral("visibility:hidden"))) s.visible = false;
            return;
        }
        if (!inShape) return;
        if (n == "stroke" && e.has("dashstyle")) {
            const std::string_view d = e.attr("dashstyle");
            out.back().shape.dashStyle = d == "solid" ? 1 : d == "dot" || d == "shortdot" ? 3 : d == "dash" || d == "shortdash" ? 4
                                         : d == "dashdot" ? 5 : d == "longdash" ? 7 : d == "longdashdot" ? 8 : 1;
        } else if (n == "imagedata" && !e.anyAttr("relid").empty()) {
            // A picture (or a camera's image of a range), named by the legacy drawing's relationships.
            out.back().pictureRel = qstr(e.anyAttr("relid"));
            out.back().pictureRels = part;
        } else if (n == "textbox") {
            inTextbox = true;
        } else if (inTextbox && (n == "div" || n == "p") && !out.back().shape.text.isEmpty()) {
            out.back().shape.text += u'\n';
        } else if (inTextbox && n == "br") {
            out.back().shape.text += u'\n';
        } else if (n == "ClientData") {
            inClient = true;
            objectType = e.text("ObjectType");
        } else if (inClient) {
            field = qstr(n);
            value.clear();
        }
    }

    void end(std::string_view n) override {
        --depth;
        if (!inShape) return;
        if (depth < shapeDepth) {
            finish();
            inShape = false;
            return;
        }
        if (n == "textbox") inTextbox = false;
        else if (n == "ClientData") inClient = false;
        else if (inClient && !field.isEmpty()) {
            clientField(field, value.trimmed());
            field.clear();
        }
    }

    void text(std::string_view t) override {
        if (!inShape) return;
        if (inClient && !field.isEmpty()) value += qstr(t);
        else if (inTextbox) out.back().shape.text += qstr(t);
    }

    void clientField(const QString& name, const QString& v) {
        DrawnShape& d = out.back();
        model::Shape& s = d.shape;
        if (name == u"Anchor") {
            const QStringList parts = v.split(u',');
            if (parts.size() == 8) {
                CellAnchor& a = d.anchor;
                a.kind = CellAnchor::TwoCell;
                a.pixels = true;
                a.col1 = parts[0].trimmed().toInt(), a.dx1 = parts[1].trimmed().toInt();
                a.row1 = parts[2].trimmed().toInt(), a.dy1 = parts[3].trimmed().toInt();
                a.col2 = parts[4].trimmed().toInt(), a.dx2 = parts[5].trimmed().toInt();
                a.row2 = parts[6].trimmed().toInt(), a.dy2 = parts[7].trimmed().toInt();
            }
        } else if (name == u"FmlaMacro") {
            s.onAction = displayFormula(v, {});
        } else if (name == u"Checked") {
            s.checked = v.toInt();
        } else if (name == u"Row") {
            d.noteRow = v.toInt();
        } else if (name == u"Column") {
            d.noteCol = v.toInt();
        } else if (name == u"Visible") {
            s.visible = v.compare(QStringLiteral("False"), Qt::CaseInsensitive) != 0;
        } else if (name == u"TextHAlign") {
            s.textHAlign = alignOf(v);
        } else if (name == u"TextVAlign") {
            s.textVAlign = alignOf(v);
        }
    }

    void finish() {
        DrawnShape& d = out.back();
        model::Shape& s = d.shape;
        s.kind = kindOf(objectType);
        s.text = s.text.trimmed();
        if (s.kind == model::ShapeKind::CheckBox || s.kind == model::ShapeKind::OptionButton) {
            if (s.checked < 0) s.checked = 0;
        } else {
            s.checked = -1;
        }
        s.hasText = model::kindHasText(s.kind);
        if (!s.hasText) s.text.clear();
    }
};

}  // namespace

std::optional<uint32_t> vmlColor(QStringView text) {
    QString t = text.trimmed().toString();
    if (const qsizetype sp = t.indexOf(u' '); sp > 0) t.truncate(sp);  // "infoBackground [80]"
    if (t.startsWith(u'#')) {
        QString hex = t.mid(1);
        if (hex.size() == 3) hex = QString(hex[0]) + hex[0] + hex[1] + hex[1] + hex[2] + hex[2];
        bool ok = false;
        const uint32_t v = hex.left(6).toUInt(&ok, 16);
        return ok ? std::optional<uint32_t>(v) : std::nullopt;
    }
    // The system colours comments and controls are drawn in, as Windows
    // shows them by default.
    static const std::pair<const char*, uint32_t> kSystem[] = {
        {"infoBackground", 0xFFFFE1}, {"infoText", 0x000000}, {"buttonFace", 0xF0F0F0},
        {"windowText", 0x000000}, {"window", 0xFFFFFF}};
    for (const auto& [name, rgb] : kSystem)
        if (t.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return rgb;
    return namedColor(t);
}

std::vector<DrawnShape> readVml(const Package& package, const QString& part, QStringList& warnings) {
    std::vector<DrawnShape> out;
    VmlReader reader(out, part);
    try {
        // Excel writes line breaks in comment and control texts as HTML does,
        // without closing them.
        QByteArray xml = package.read(part, kMaxVmlBytes);
        xml.replace("<br>", "<br/>").replace("<BR>", "<br/>");
        parseXml(xml, part, reader, true);
    } catch (const Error& e) {
        warnings << QStringLiteral("legacy drawing %1 read as far as it goes: %2").arg(part, e.description());
    }
    if (reader.inShape) reader.finish();
    // Shapes without client data are no objects of the sheet (the header
    // and footer pictures of a page layout, for one).
    std::erase_if(out, [](const DrawnShape& d) { return d.shape.kind == model::ShapeKind::Other && d.anchor.kind == CellAnchor::None; });
    return out;
}

}  // namespace tabulon::ooxml
