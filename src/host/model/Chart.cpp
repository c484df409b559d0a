// The colours the spreadsheet gives series that name none, and the names of
// the chart types.
#include "host/model/Chart.h"

namespace tabulon::model {

uint32_t defaultSeriesColor(int index, bool biff) {
    // Office Open XML: the Office theme's six accents. .xls: the palette's
    // chart fills (entries 24-31 of the default palette).
    static constexpr uint32_t kAccents[] = {0x4472C4, 0xED7D31, 0xA5A5A5, 0xFFC000, 0x5B9BD5, 0x70AD47};
    static constexpr uint32_t kBiffFills[] = {0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF};
    if (index < 0) index = 0;
    return biff ? kBiffFills[index % 8] : kAccents[index % 6];
}

QString chartTypeName(ChartType type) {
    switch (type) {
    case ChartType::Column: return QStringLiteral("縦棒");
    case ChartType::Bar: return QStringLiteral("横棒");
    case ChartType::Line: return QStringLiteral("折れ線");
    case ChartType::Area: return QStringLiteral("面");
    case ChartType::Pie: return QStringLiteral("円");
    case ChartType::Doughnut: return QStringLiteral("ドーナツ");
    case ChartType::Scatter: return QStringLiteral("散布図");
    case ChartType::Other: break;
    }
    return QStringLiteral("その他");
}

}  // namespace tabulon::model
