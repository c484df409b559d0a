#include "reports/sheet/RichCellText.h"

#include <QPainter>
#include <QTextCharFormat>

namespace tabulon::reports::sheet {

namespace {

// The width of a line that never wraps: far wider than any page, well inside
// what the text layout's fixed-point numbers hold.
constexpr double kOneLine = 1e6;

QTextLayout::FormatRange range(int start, int end, const RunStyle& style) {
    QTextLayout::FormatRange r;
    r.start = start;
    r.length = end - start;
    r.format.setFont(style.font);
    r.format.setForeground(style.color);
    return r;
}

}  // namespace

std::unique_ptr<RichCellText> RichCellText::make(const QString& shown, const QString& raw, const model::TextRuns& runs,
                                                 const RunStyle& cellStyle,
                                                 const std::function<RunStyle(int)>& styleOf,
                                                 const QPaintDevice* device) {
    const qsizetype at = raw.isEmpty() || runs.empty() ? -1 : shown.indexOf(raw);
    if (at < 0) return nullptr;
    std::unique_ptr<RichCellText> rich(new RichCellText);
    QString text = shown;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);  // same length: the run positions hold
    rich->layout_ = std::make_unique<QTextLayout>(text, cellStyle.font, device);
    // Literals of the format and the text before the first run keep the
    // cell's font; each run lasts until the next one begins.
    QList<QTextLayout::FormatRange> formats;
    const int begin = int(at), end = int(at + raw.size());
    auto add = [&formats](int from, int to, const RunStyle& style) {
        if (to > from) formats << range(from, to, style);
    };
    add(0, begin + runs.front().first, cellStyle);
    for (size_t i = 0; i < runs.size(); ++i) {
        const int to = i + 1 < runs.size() ? begin + runs[i + 1].first : end;
        add(begin + runs[i].first, to, styleOf(runs[i].font));
    }
    add(end, int(text.size()), cellStyle);
    rich->layout_->setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    rich->layout_->setTextOption(option);
    rich->layout_->beginLayout();
    for (QTextLine line = rich->layout_->createLine(); line.isValid(); line = rich->layout_->createLine()) {
        line.setLineWidth(kOneLine);
        rich->width_ = std::max(rich->width_, line.naturalTextWidth());
    }
    rich->layout_->endLayout();
    return rich;
}

void RichCellText::paint(QPainter& p, const QRectF& inner, int hAlign, int vAlign, bool wrap) {
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout_->setTextOption(option);
    layout_->beginLayout();
    double height = 0;
    for (QTextLine line = layout_->createLine(); line.isValid(); line = layout_->createLine()) {
        line.setLineWidth(wrap ? std::max(1.0, inner.width()) : kOneLine);
        const double w = line.naturalTextWidth();
        const double x = hAlign == 2 ? (inner.width() - w) / 2 : hAlign == 3 ? inner.width() - w : 0;
        line.setPosition(QPointF(x, height));
        height += line.height();
    }
    layout_->endLayout();
    const double y = vAlign == 1 ? (inner.height() - height) / 2 : vAlign == 2 ? inner.height() - height : 0;
    layout_->draw(&p, QPointF(inner.left(), inner.top() + y));
}

}  // namespace tabulon::reports::sheet
