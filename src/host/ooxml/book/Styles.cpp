#include "host/ooxml/book/Styles.h"

#include "common/Error.h"
#include "host/format/NumberFormat.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

#include <map>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxStylesBytes = 256u << 20;

template <size_t N>
int codeOf(std::string_view name, const std::string_view (&names)[N], int otherwise) {
    for (size_t i = 0; i < N; ++i)
        if (names[i] == name) return int(i);
    return otherwise;
}

// Names in the order of the spreadsheet's own numbering.
constexpr std::string_view kBorderStyles[] = {"none", "thin", "medium", "dashed", "dotted", "thick", "double",
                                              "hair", "mediumDashed", "dashDot", "mediumDashDot", "dashDotDot",
                                              "mediumDashDotDot", "slantDashDot"};
constexpr std::string_view kPatterns[] = {"none", "solid", "mediumGray", "darkGray", "lightGray", "darkHorizontal",
                                          "darkVertical", "darkDown", "darkUp", "darkGrid", "darkTrellis",
                                          "lightHorizontal", "lightVertical", "lightDown", "lightUp", "lightGrid",
                                          "lightTrellis", "gray125", "gray0625"};
constexpr std::string_view kHAligns[] = {"general", "left", "center", "right", "fill", "justify", "centerContinuous",
                                         "distributed"};
constexpr std::string_view kVAligns[] = {"top", "center", "bottom", "justify", "distributed"};

using Fill = StyleFill;
using Border = StyleBorder;
using Xf = StyleXf;

class StylesReader : public XmlHandler, public StyleTables {
public:
    ColorResolver& colors;
    std::vector<uint32_t> indexedColors;

    explicit StylesReader(ColorResolver& c) : colors(c) {}

    void start(const XmlElement& e) override {
        const std::string_view n = e.local();
        if (n == "fonts" || n == "fills" || n == "borders" || n == "cellXfs" || n == "cellStyleXfs" || n == "dxfs" ||
            n == "indexedColors" || n == "numFmts") {
            section = n;
            return;
        }
        if (section == "numFmts" && n == "numFmt") {
            numFmts[int(e.integer("numFmtId", -1))] = e.text("formatCode");
        } else if (section == "indexedColors" && n == "rgbColor") {
            indexedColors.push_back(hexColor(qstr(e.attr("rgb"))));
        } else if (section == "fonts") {
            if (n == "font") fonts.emplace_back();
            else if (!fonts.empty()) applyFontProperty(e, fonts.back(), colors);
        } else if (section == "fills") {
            if (n == "fill") fills.emplace_back();
            else if (fills.empty()) return;
            else if (n == "patternFill") fills.back().pattern = codeOf(e.attr("patternType"), kPatterns, 0);
            else if (n == "fgColor") fills.back().fore = colors.resolve(e);
            else if (n == "bgColor") fills.back().back = colors.resolve(e);
            else if (n == "stop" && fills.back().pattern == 0) fills.back().pattern = 1;  // a gradient: its first colour
            else if (n == "color" && fills.back().fore.automatic) fills.back().fore = colors.resolve(e);
        } else if (section == "borders") {
            if (n == "border") {
                borders.emplace_back();
                borders.back().up = e.flag("diagonalUp");
                borders.back().down = e.flag("diagonalDown");
                side = nullptr;
            } else if (!borders.empty()) {
                Border& b = borders.back();
                model::BorderLine* s = n == "left" || n == "start" ? &b.left
                                       : n == "right" || n == "end" ? &b.right
                                       : n == "top" ? &b.top
                                       : n == "bottom" ? &b.bottom
                                       : n == "diagonal" ? &b.diagonal
                                                         : nullptr;
                if (s) {
                    side = s;
                    side->style = codeOf(e.attr("style"), kBorderStyles, 0);
                } else if (n == "color" && side) {
                    side->color = colors.resolve(e);
                }
            }
        } else if (section == "cellXfs") {
            if (n == "xf") {
                Xf x;
                x.numFmt = int(e.integer("numFmtId"));
                x.font = int(e.integer("fontId"));
                x.fill = int(e.integer("fillId"));
                x.border = int(e.integer("borderId"));
                xfs.push_back(x);
            } else if (n == "alignment" && !xfs.empty()) {
                Xf& x = xfs.back();
                x.hAlign = codeOf(e.attr("horizontal"), kHAligns, 0);
                x.vAlign = codeOf(e.attr("vertical"), kVAligns, 2);
                x.wrap = e.flag("wrapText");
                x.shrink = e.flag("shrinkToFit");
                x.indent = int(e.integer("indent"));
                x.rotation = int(e.integer("textRotation"));
            }
        }
    }
    void end(std::string_view local) override {
        if (local == section) section = {};
    }

private:
    std::string_view section;  // points at a literal above
    model::BorderLine* side = nullptr;
};

}  // namespace

void applyFontProperty(const XmlElement& e, model::Font& font, const ColorResolver& colors) {
    const std::string_view n = e.local();
    if (n == "b") font.bold = e.flag("val", true);
    else if (n == "i") font.italic = e.flag("val", true);
    else if (n == "strike") font.strike = e.flag("val", true);
    else if (n == "u") {
        const std::string_view v = e.attr("val");
        font.underline = v.empty() || v == "single" ? 1 : v == "double" ? 2 : v == "singleAccounting" ? 0x21
                         : v == "doubleAccounting" ? 0x22 : 0;
    } else if (n == "sz") {
        const double pt = e.number("val", font.points);
        if (pt >= 1 && pt <= 409) font.points = pt;
    } else if (n == "color") {
        font.color = colors.resolve(e);
    } else if (n == "name" || n == "rFont") {
        font.name = e.text("val");
    } else if (n == "scheme") {
        // A theme font: the theme's face replaces the stored name.
        const QString face = e.attr("val") == "major" ? colors.theme.majorFont : e.attr("val") == "minor" ? colors.theme.minorFont : QString();
        if (!face.isEmpty()) font.name = face;
    }
}

int fontIndex(model::Formats& formats, const model::Font& font) {
    for (size_t i = 0; i < formats.fonts.size(); ++i) {
        const model::Font& f = formats.fonts[i];
        if (f.name == font.name && f.points == font.points && f.bold == font.bold && f.italic == font.italic &&
            f.strike == font.strike && f.underline == font.underline && f.color == font.color)
            return int(i);
    }
    formats.fonts.push_back(font);
    return int(formats.fonts.size() - 1);
}

model::Formats formatsOf(const StyleTables& tables) {
    model::Formats out;
    out.fonts = tables.fonts;
    if (out.fonts.empty()) out.fonts.emplace_back();
    for (const Xf& x : tables.xfs) {
        model::CellFormat f;
        f.font = x.font >= 0 && size_t(x.font) < out.fonts.size() ? x.font : 0;
        const auto own = tables.numFmts.find(x.numFmt);
        f.numberFormat = own != tables.numFmts.end() ? own->second : host::format::builtinFormatCode(x.numFmt);
        if (f.numberFormat.isEmpty()) f.numberFormat = QStringLiteral("General");
        f.hAlign = x.hAlign, f.vAlign = x.vAlign, f.wrap = x.wrap, f.shrink = x.shrink;
        f.indent = x.indent, f.rotation = x.rotation;
        if (x.border >= 0 && size_t(x.border) < tables.borders.size()) {
            const Border& b = tables.borders[size_t(x.border)];
            f.left = b.left, f.right = b.right, f.top = b.top, f.bottom = b.bottom, f.diagonal = b.diagonal;
            f.diagonalUp = b.up, f.diagonalDown = b.down;
        }
        if (x.fill >= 0 && size_t(x.fill) < tables.fills.size()) {
            const Fill& fill = tables.fills[size_t(x.fill)];
            f.pattern = fill.pattern, f.patternColor = fill.fore, f.backColor = fill.back;
        }
        out.cellFormats.push_back(f);
    }
    if (out.cellFormats.empty()) out.cellFormats.emplace_back();
    out.defaultFormat = 0;
    return out;
}

model::Formats readStyles(const Package& package, const QString& workbookPart, ColorResolver& colors) {
    StylesReader r(colors);
    const Relationship* rel = package.relationship(workbookPart, u"styles");
    if (rel && !rel->part.isEmpty()) {
        // Colours may name the workbook's own palette, which comes late in
        // the part: a first pass takes only the palette.
        try {
            const QByteArray xml = package.read(rel->part, kMaxStylesBytes);
            if (xml.contains("indexedColors")) {
                StylesReader first(colors);
                parseXml(xml, rel->part, first);
                for (size_t i = 0; i < first.indexedColors.size() && i < colors.palette.size(); ++i)
                    colors.palette[i] = first.indexedColors[i];
            }
            parseXml(xml, rel->part, r);
        } catch (const Error& e) {
            package.warn(e.description());
        }
    }
    return formatsOf(r);
}

}  // namespace tabulon::ooxml
