#include "host/format/NumberFormat.h"

namespace tabulon::host::format {

// Placeholder until the format engine lands: General only.
QString builtinFormatCode(int id) {
    return id == 0 ? QStringLiteral("General") : QString();
}

Display formatNumber(double value, const QString&, bool) {
    Display d;
    d.text = QString::number(value, 'g', 11);
    d.rightAligned = true;
    return d;
}

Display formatText(const QString& text, const QString&) {
    Display d;
    d.text = text;
    return d;
}

Display formatBool(bool value) {
    Display d;
    d.text = value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return d;
}

}  // namespace tabulon::host::format
