#include "host/ooxml/book/Colors.h"

#include "common/Error.h"
#include "host/format/Palette.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxThemeBytes = 16u << 20;

// The Office theme's colours, for a workbook without a theme part.
const std::vector<std::pair<QString, uint32_t>> kOfficeScheme = {
    {QStringLiteral("dk1"), 0x000000}, {QStringLiteral("lt1"), 0xFFFFFF}, {QStringLiteral("dk2"), 0x44546A},
    {QStringLiteral("lt2"), 0xE7E6E6}, {QStringLiteral("accent1"), 0x4472C4}, {QStringLiteral("accent2"), 0xED7D31},
    {QStringLiteral("accent3"), 0xA5A5A5}, {QStringLiteral("accent4"), 0xFFC000}, {QStringLiteral("accent5"), 0x5B9BD5},
    {QStringLiteral("accent6"), 0x70AD47}, {QStringLiteral("hlink"), 0x0563C1}, {QStringLiteral("folHlink"), 0x954F72}};

void indexColors(Theme& t) {
    // SpreadsheetML numbers the first four the other way round: light before dark.
    static const char* const order[] = {"lt1", "dk1", "lt2", "dk2", "accent1", "accent2", "accent3",
                                        "accent4", "accent5", "accent6", "hlink", "folHlink"};
    t.colors.clear();
    for (const char* n : order) t.colors.push_back(t.scheme(QString::fromLatin1(n)));
}

class ThemeReader : public XmlHandler {
public:
    Theme& theme;
    explicit ThemeReader(Theme& t) : theme(t) {}
    QString slot;        // the scheme colour being read
    QString fontGroup;   // majorFont / minorFont
    int depth = 0;
    bool inScheme = false;
    void start(const XmlElement& e) override {
        if (e.is("clrScheme")) { inScheme = true; return; }
        if (inScheme && slot.isEmpty()) { slot = qstr(e.local()); return; }
        if (inScheme && e.is("srgbClr")) theme.schemeColors.push_back({slot, hexColor(qstr(e.attr("val")))});
        else if (inScheme && e.is("sysClr")) theme.schemeColors.push_back({slot, hexColor(qstr(e.attr("lastClr")))});
        if (e.is("majorFont") || e.is("minorFont")) fontGroup = qstr(e.local());
        if (!fontGroup.isEmpty() && (e.is("latin") || e.is("ea"))) {
            const bool major = fontGroup == u"majorFont";
            QString& face = e.is("latin") ? (major ? theme.majorFont : theme.minorFont)
                                          : (major ? theme.majorEastAsian : theme.minorEastAsian);
            face = e.text("typeface");
        }
    }
    void end(std::string_view local) override {
        if (local == "clrScheme") inScheme = false;
        else if (inScheme && qstr(local) == slot) slot.clear();
        if (local == "majorFont" || local == "minorFont") fontGroup.clear();
    }
};

}  // namespace

uint32_t Theme::scheme(const QString& name, uint32_t otherwise) const {
    for (const auto& [n, rgb] : schemeColors)
        if (n == name) return rgb;
    // The DrawingML aliases of the first four.
    if (name == u"tx1") return scheme(QStringLiteral("dk1"), otherwise);
    if (name == u"bg1") return scheme(QStringLiteral("lt1"), otherwise);
    if (name == u"tx2") return scheme(QStringLiteral("dk2"), otherwise);
    if (name == u"bg2") return scheme(QStringLiteral("lt2"), otherwise);
    return otherwise;
}

Theme readTheme(const Package& package, const QString& workbookPart) {
    Theme t;
    if (const Relationship* r = package.relationship(workbookPart, u"theme"); r && !r->part.isEmpty()) {
        ThemeReader reader(t);
        try {
            parsePart(package, r->part, reader, kMaxThemeBytes);
        } catch (const Error& e) {
            package.warn(e.description());
            t.schemeColors.clear();
        }
    }
    if (t.schemeColors.size() < 12) t.schemeColors = kOfficeScheme;
    indexColors(t);
    return t;
}

uint32_t hexColor(QStringView text) {
    bool ok = false;
    const uint32_t v = text.toUInt(&ok, 16);
    return ok ? (v & 0xFFFFFF) : 0;
}

std::optional<uint32_t> namedColor(QStringView name) {
    static constexpr std::pair<const char*, uint32_t> kNamed[] = {
        {"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0xFF0000},    {"green", 0x008000},
        {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF}, {"magenta", 0xFF00FF},
        {"gray", 0x808080},  {"silver", 0xC0C0C0}, {"orange", 0xFFA500}};
    for (const auto& [known, rgb] : kNamed)
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) return rgb;
    return std::nullopt;
}

uint32_t applyTint(uint32_t rgb, double tint) {
    if (tint == 0 || !std::isfinite(tint)) return rgb;
    tint = std::clamp(tint, -1.0, 1.0);
    // To hue, saturation and lightness; the tint moves the lightness only.
    const double r = ((rgb >> 16) & 0xFF) / 255.0, g = ((rgb >> 8) & 0xFF) / 255.0, b = (rgb & 0xFF) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    double h = 0, s = 0, l = (hi + lo) / 2;
    if (hi > lo) {
        const double d = hi - lo;
        s = l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
        h = hi == r ? (g - b) / d + (g < b ? 6 : 0) : hi == g ? (b - r) / d + 2 : (r - g) / d + 4;
        h /= 6;
    }
    l = std::clamp(tint < 0 ? l * (1 + tint) : l * (1 - tint) + tint, 0.0, 1.0);
    auto channel = [](double p, double q, double t) {
        if (t < 0) t += 1;
        if (t > 1) t -= 1;
        if (t < 1.0 / 6) return p + (q - p) * 6 * t;
        if (t < 0.5) return q;
        if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    double R = l, G = l, B = l;
    if (s > 0) {
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
        R = channel(p, q, h + 1.0 / 3), G = channel(p, q, h), B = channel(p, q, h - 1.0 / 3);
    }
    auto byte = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return (byte(R) << 16) | (byte(G) << 8) | byte(B);
}

ColorResolver::ColorResolver() {
    static const uint32_t basic[8] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
    for (int i = 0; i < 64; ++i)
        palette.push_back(i < 8 ? basic[i] : host::format::defaultPaletteColor(i - 7).value_or(0));
    theme.schemeColors = kOfficeScheme;
    indexColors(theme);
}

model::Color ColorResolver::indexed(long long index) const {
    if (index < 0 || index >= 64) return model::Color::automaticColor();  // 64, 65: the system's colours
    return model::Color::of(palette[size_t(index)]);
}

model::Color ColorResolver::resolve(const XmlElement& e) const {
    if (e.flag("auto")) return model::Color::automaticColor();
    model::Color c = model::Color::automaticColor();
    if (e.has("rgb")) c = model::Color::of(hexColor(qstr(e.attr("rgb"))));
    else if (e.has("theme")) {
        const long long n = e.integer("theme", -1);
        if (n >= 0 && size_t(n) < theme.colors.size()) c = model::Color::of(theme.colors[size_t(n)]);
    } else if (e.has("indexed")) {
        c = indexed(e.integer("indexed", -1));
    }
    if (!c.automatic && e.has("tint")) c = model::Color::of(applyTint(c.rgb, e.number("tint")));
    return c;
}

}  // namespace tabulon::ooxml
