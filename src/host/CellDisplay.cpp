#include "host/CellDisplay.h"

namespace tabulon::host {

format::Display cellDisplay(const QVariant& value, bool isError, const QString& formatCode, bool date1904,
                            bool showZeros) {
    if (!value.isValid()) return {};
    if (isError) {
        format::Display d;
        d.text = value.toString();
        return d;
    }
    switch (value.typeId()) {
    case QMetaType::Bool: return format::formatBool(value.toBool());
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (v == 0 && !showZeros) return {};
        return format::formatNumber(v, formatCode, date1904);
    }
    default: return format::formatText(value.toString(), formatCode);
    }
}

}  // namespace tabulon::host
