#include "host/NameRanges.h"

#include "host/xls/FormulaDecoder.h"
#include "host/xls/SheetState.h"

namespace tabulon::host {

using xls::Area;

namespace {
constexpr int kLastRow = 65535;
constexpr int kLastCol = 255;
}  // namespace

bool isWholeRows(const Area& a) { return a.firstCol == 0 && a.lastCol == kLastCol; }
bool isWholeColumns(const Area& a) { return a.firstRow == 0 && a.lastRow == kLastRow && !isWholeRows(a); }

QString areaAddress(const Area& a) {
    if (isWholeRows(a))
        return QStringLiteral("$%1:$%2").arg(a.firstRow + 1).arg(a.lastRow + 1);
    if (isWholeColumns(a))
        return QStringLiteral("$%1:$%2").arg(xls::a1Column(a.firstCol), xls::a1Column(a.lastCol));
    const QString first = xls::cellAddress(a.firstRow, a.firstCol, true);
    if (a.firstRow == a.lastRow && a.firstCol == a.lastCol) return first;
    return first + QLatin1Char(':') + xls::cellAddress(a.lastRow, a.lastCol, true);
}

namespace {
// The areas need no sheet or name texts: the decoder's texts are dropped.
class NoNames : public xls::FormulaContext {
public:
    QString externSheetPrefix(int) const override { return {}; }
    QString definedName(int) const override { return {}; }
    QString externName(int, int) const override { return {}; }
};
}  // namespace

std::optional<std::vector<Area>> nameAreas(const xls::NameModel& name, bool biff5) {
    xls::FormulaInput in;
    in.rgce = name.rgce.data();
    in.cce = name.rgce.size();
    in.extra = name.extra.empty() ? nullptr : name.extra.data();
    in.extraSize = name.extra.size();
    in.kind = xls::FormulaKind::Name;
    in.biff5 = biff5;  // Excel 5.0/95 tokens
    return xls::formulaAreas(in, NoNames());
}

}  // namespace tabulon::host
