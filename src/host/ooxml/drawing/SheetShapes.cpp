#include "host/ooxml/drawing/SheetShapes.h"

#include "common/Error.h"
#include "host/ooxml/formula/FormulaText.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxPictureBytes = 64u << 20;
constexpr uint64_t kMaxControlBytes = 1u << 20;
constexpr double kEmuPerPixel = 9525;
// The width of "0" in pixels in the default font, which column widths count in.
constexpr double kDigitPixels = 7;

double columnPixels(const model::SheetLayout& l, int col) {
    const model::ColumnFormat& c = l.column(col);
    if (c.hidden) return 0;
    const int w256 = c.width256 >= 0 ? c.width256 : l.standardWidth256 >= 0 ? l.standardWidth256
                                                                            : int((l.defaultColumnChars + 5 / kDigitPixels) * 256);
    return std::floor(w256 / 256.0 * kDigitPixels);
}

double rowPixels(const model::SheetLayout& l, int row) {
    const auto it = l.rows.find(row);
    if (it != l.rows.end() && it->second.hidden) return 0;
    const int twips = it != l.rows.end() && it->second.twips >= 0 ? it->second.twips : l.defaultRowTwips;
    return twips / 15.0;  // 20 twips a point, 96 pixels an inch
}

double fraction(double offset, double cell) { return cell > 0 ? std::clamp(offset / cell, 0.0, 1.0) : 0; }

// Walks from a cell by `pixels` to the cell the distance ends in.
void walk(const model::SheetLayout& l, bool columns, int& index, double& pixels) {
    for (int guard = 0; guard < 20000; ++guard) {
        const double size = columns ? columnPixels(l, index) : rowPixels(l, index);
        if (pixels < size || index >= (columns ? 16383 : 1048575)) return;
        pixels -= size;
        ++index;
    }
}

model::Picture::Kind pictureKind(const QByteArray& b) {
    if (b.startsWith("\x89PNG")) return model::Picture::Png;
    if (b.startsWith("\xFF\xD8")) return model::Picture::Jpeg;
    if (b.startsWith("BM")) return model::Picture::Bmp;
    if (b.size() > 44 && b.mid(40, 4) == " EMF") return model::Picture::Emf;
    if (b.startsWith("\xD7\xCD\xC6\x9A") || b.startsWith(QByteArray("\x01\x00\x09\x00", 4)) ||
        b.startsWith(QByteArray("\x02\x00\x09\x00", 4)))
        return model::Picture::Wmf;
    // A Macintosh picture file: 512 bytes for the application, then the
    // picture's size and frame and the version 2 opcode.
    if (b.size() > 526 && b.mid(522, 4) == QByteArray("\x00\x11\x02\xFF", 4)) return model::Picture::Pict;
    return model::Picture::Other;
}

// The check state and macro a control's properties part gives (Excel 2010 on).
class ControlProps : public XmlHandler {
public:
    QString macro;
    int checked = -1;
    void start(const XmlElement& e) override {
        if (!e.is("formControlPr")) return;
        macro = e.text("fmlaMacro");
        const std::string_view c = e.attr("checked");
        checked = c == "Checked" ? 1 : c == "Mixed" ? 2 : c == "Unchecked" ? 0 : -1;
    }
};

}  // namespace

model::Anchor cellFractions(const CellAnchor& a, const model::SheetLayout& l) {
    const double unit = a.pixels ? 1 : kEmuPerPixel;
    model::Anchor out;
    if (a.kind == CellAnchor::Absolute) {
        double x = double(a.dx1) / unit, y = double(a.dy1) / unit;
        walk(l, true, out.col1, x);
        walk(l, false, out.row1, y);
        out.dx1 = fraction(x, columnPixels(l, out.col1)), out.dy1 = fraction(y, rowPixels(l, out.row1));
    } else {
        out.col1 = a.col1, out.row1 = a.row1;
        out.dx1 = fraction(double(a.dx1) / unit, columnPixels(l, a.col1));
        out.dy1 = fraction(double(a.dy1) / unit, rowPixels(l, a.row1));
    }
    if (a.kind == CellAnchor::TwoCell) {
        out.col2 = a.col2, out.row2 = a.row2;
        out.dx2 = fraction(double(a.dx2) / unit, columnPixels(l, a.col2));
        out.dy2 = fraction(double(a.dy2) / unit, rowPixels(l, a.row2));
        return out;
    }
    // One cell and a size: the far corner is where the size ends.
    double x = out.dx1 * columnPixels(l, out.col1) + double(a.cx) / kEmuPerPixel;
    double y = out.dy1 * rowPixels(l, out.row1) + double(a.cy) / kEmuPerPixel;
    out.col2 = out.col1, out.row2 = out.row1;
    walk(l, true, out.col2, x);
    walk(l, false, out.row2, y);
    out.dx2 = fraction(x, columnPixels(l, out.col2)), out.dy2 = fraction(y, rowPixels(l, out.row2));
    return out;
}

void placeShapes(const Package& package, model::Book& book, model::Sheet& sheet, const QString& drawingPart,
                 std::vector<DrawnShape> drawing, std::vector<DrawnShape> vml,
                 const std::vector<ControlEntry>& controls, const QString& sheetPart, QStringList& warnings) {
    std::map<int, const ControlEntry*> controlById;
    for (const ControlEntry& c : controls) controlById[c.shapeId] = &c;
    // Controls whose legacy shape has no number of the usual form take the
    // sheet's control list's numbers in order.
    std::vector<int> unused;
    for (const ControlEntry& c : controls)
        if (std::none_of(vml.begin(), vml.end(), [&](const DrawnShape& v) { return v.vmlShapeId == c.shapeId; })) unused.push_back(c.shapeId);
    size_t nextUnused = 0;
    for (DrawnShape& v : vml)
        if (v.vmlShapeId == 0 && !v.shape.isComment() && nextUnused < unused.size()) {
            v.vmlShapeId = unused[nextUnused++];
            v.shape.objectId = v.vmlShapeId & 0x3FF;
        }
    // The rest are numbered by their place in the legacy drawing.
    for (size_t i = 0; i < vml.size(); ++i)
        if (vml[i].vmlShapeId == 0) vml[i].shape.objectId = int(i + 1);
    std::map<int, DrawnShape*> vmlById;
    for (DrawnShape& v : vml)
        if (v.vmlShapeId > 0) vmlById[v.vmlShapeId] = &v;

    auto finishControl = [&](DrawnShape& v, const QString& standInName) {
        model::Shape& s = v.shape;
        if (const auto it = controlById.find(v.vmlShapeId); it != controlById.end()) {
            const ControlEntry& c = *it->second;
            if (!c.name.isEmpty()) s.name = c.name;
            if (s.onAction.isEmpty() && !c.macro.isEmpty()) s.onAction = displayFormula(c.macro, {});
            const Relationship* r = c.relId.isEmpty() ? nullptr : package.relationshipById(sheetPart, c.relId);
            if (r && r->kind() == u"ctrlProp" && package.hasPart(r->part)) {
                ControlProps props;
                try {
                    parsePart(package, r->part, props, kMaxControlBytes);
                } catch (const Error& e) {
                    warnings << e.description();
                }
                if (s.onAction.isEmpty() && !props.macro.isEmpty()) s.onAction = displayFormula(props.macro, {});
                if (s.checked <= 0 && props.checked >= 0 &&
                    (s.kind == model::ShapeKind::CheckBox || s.kind == model::ShapeKind::OptionButton))
                    s.checked = props.checked;
            }
        } else if (!standInName.isEmpty()) {
            s.name = standInName;
        }
    };

    std::vector<DrawnShape> placed;
    for (DrawnShape& d : drawing) {
        if (d.vmlShapeId > 0) {
            const auto it = vmlById.find(d.vmlShapeId);
            if (it == vmlById.end()) continue;  // a stand-in whose control is gone
            DrawnShape v = std::move(*it->second);
            vmlById.erase(it);
            finishControl(v, d.shape.name);
            placed.push_back(std::move(v));
            continue;
        }
        placed.push_back(std::move(d));
    }
    for (DrawnShape& v : vml) {
        const auto it = vmlById.find(v.vmlShapeId);
        if (v.vmlShapeId > 0 && (it == vmlById.end() || it->second != &v)) continue;  // placed above
        if (!v.shape.isComment()) finishControl(v, QString());
        placed.push_back(std::move(v));
    }

    for (DrawnShape& d : placed) {
        model::Shape& s = d.shape;
        if (d.anchor.kind != CellAnchor::None) s.anchor = cellFractions(d.anchor, sheet.layout);
        if (!d.pictureRel.isEmpty()) {
            const Relationship* r = package.relationshipById(d.pictureRels.isEmpty() ? drawingPart : d.pictureRels, d.pictureRel);
            if (r && !r->external && package.hasPart(r->part)) {
                try {
                    model::Picture p;
                    p.data = package.read(r->part, kMaxPictureBytes);
                    p.kind = pictureKind(p.data);
                    book.pictures.push_back(std::move(p));
                    s.picture = int(book.pictures.size() - 1);
                } catch (const Error& e) {
                    warnings << e.description();
                }
            }
        }
        if (s.isComment()) {
            const auto note = sheet.notes.find({d.noteRow, d.noteCol});
            if (note != sheet.notes.end()) s.text = note->second.text;
        }
        if (s.name.isEmpty()) s.name = model::defaultShapeName(s.kind, s.objectId);
        sheet.shapes.push_back(std::move(s));
    }
}

}  // namespace tabulon::ooxml
