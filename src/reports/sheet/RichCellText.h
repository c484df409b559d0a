#pragma once
// A cell text in several fonts: the formatting runs of a rich text laid out
// as one paragraph, aligned and wrapped the way a plain cell text is.
#include "host/model/Book.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QTextLayout>
#include <functional>
#include <memory>

class QPainter;
class QPaintDevice;

namespace tabulon::reports::sheet {

struct RunStyle {
    QFont font;
    QColor color;
};

class RichCellText {
public:
    // The runs apply to `raw`, the text as stored; `shown` is the display
    // text, which holds raw somewhere (a text format may add literals
    // around it). Null when shown does not hold raw or there are no runs.
    static std::unique_ptr<RichCellText> make(const QString& shown, const QString& raw, const model::TextRuns& runs,
                                              const RunStyle& cellStyle,
                                              const std::function<RunStyle(int font)>& styleOf,
                                              const QPaintDevice* device);

    // The width of the text on one line.
    double width() const { return width_; }
    // hAlign 1 left, 2 centre, 3 right; vAlign 0 top, 1 centre, 2 bottom.
    void paint(QPainter& p, const QRectF& inner, int hAlign, int vAlign, bool wrap);

private:
    RichCellText() = default;
    std::unique_ptr<QTextLayout> layout_;
    double width_ = 0;
};

}  // namespace tabulon::reports::sheet
