#include "host/format/NumberFormat.h"

#include "host/format/DatePart.h"
#include "host/format/Emit.h"
#include "host/format/FormatCode.h"
#include "host/format/NumberPart.h"
#include "host/format/Palette.h"

#include <cmath>

namespace tabulon::host::format {
namespace {

// What the cell shows when its value cannot be shown through the format: a
// date out of range, a number no section takes. The renderer fills the cell.
Display unshowable() {
    Display d;
    d.text = QStringLiteral("#");
    d.fill = u'#';
    d.fillAt = 0;
    d.rightAligned = true;
    return d;
}

void setColor(Display& out, int paletteIndex) {
    if (paletteIndex == 0) return;
    out.colorIndex = paletteIndex;
    out.color = defaultPaletteColor(paletteIndex);
}

}  // namespace

Display formatNumber(double value, const QString& formatCode, bool date1904) {
    if (!std::isfinite(value)) {
        Display d;
        d.text = QStringLiteral("#NUM!");
        return d;
    }
    const auto code = parseFormatCode(formatCode.trimmed().isEmpty() ? QStringLiteral("General") : formatCode);
    Display out;
    out.rightAligned = true;
    if (code->numberSections.isEmpty()) {  // "@" alone: numbers as General
        out.text = (value < 0 ? QStringLiteral("-") : QString()) + generalDigits(value);
        return out;
    }
    const Choice choice = chooseSection(*code, value);
    if (!choice.section) return unshowable();
    const Section& section = *choice.section;
    setColor(out, section.colorIndex);
    const double shown = choice.dropSign ? std::fabs(value) : value;
    if (section.kind == SectionKind::Date) {
        if (!renderDateSection(section, shown, date1904, out)) return unshowable();
        return out;
    }
    if (shown < 0) out.text += u'-';
    if (section.kind == SectionKind::General) renderGeneralSection(section, std::fabs(shown), out);
    else renderNumberSection(section, std::fabs(shown), out);
    return out;
}

Display formatText(const QString& text, const QString& formatCode) {
    Display out;
    const auto code = parseFormatCode(formatCode);
    if (!code->textSection) {
        out.text = text;
        return out;
    }
    const Section& section = *code->textSection;
    setColor(out, section.colorIndex);
    for (const Token& token : section.tokens) {
        if (emitCommon(out, token)) continue;
        if (token.kind == Tok::Text || token.kind == Tok::General) out.text += text;
    }
    return out;
}

Display formatBool(bool value) {
    Display d;
    d.text = value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return d;
}

}  // namespace tabulon::host::format
