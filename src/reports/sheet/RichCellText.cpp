#include "reports/sheet/RichCellText.h"

#include <QPainter>

namespace tabulon::reports::sheet {

std::unique_ptr<RichCellText> RichCellText::make(const QString& shown, const QString& raw, const model::TextRuns& runs,
                                                 const TextStyle& cellStyle,
                                                 const std::function<TextStyle(int)>& styleOf) {
    const qsizetype at = raw.isEmpty() || runs.empty() ? -1 : shown.indexOf(raw);
    if (at < 0) return nullptr;
    std::unique_ptr<RichCellText> rich(new RichCellText);
    rich->text_ = shown;
    // Literals of the format and the text before the first run keep the
    // cell's font; each run lasts until the next one begins.
    const qsizetype end = at + raw.size();
    rich->runs_.push_back({0, cellStyle});
    for (const auto& run : runs) rich->runs_.push_back({std::min(at + run.first, end), styleOf(run.font)});
    rich->runs_.push_back({end, cellStyle});
    rich->width_ = TextBlock(rich->text_, rich->runs_).width();
    return rich;
}

void RichCellText::paint(QPainter& p, const QRectF& inner, int hAlign, int vAlign, bool wrap) const {
    const int flags = (hAlign == 2 ? Qt::AlignHCenter : hAlign == 3 ? Qt::AlignRight : Qt::AlignLeft) |
                      (vAlign == 1 ? Qt::AlignVCenter : vAlign == 2 ? Qt::AlignBottom : Qt::AlignTop);
    TextBlock(text_, runs_, wrap ? std::max(1.0, inner.width()) : 0).draw(p, inner, flags);
}

}  // namespace tabulon::reports::sheet
