#include "reports/PageLayout.h"

#include <QPainter>

namespace tabulon::reports {

FlowLayout::FlowLayout(const ReportData& data, QRectF body, int columns, double gap)
    : data_(data), body_(body), columns_(columns), gap_(gap) {}

QRectF FlowLayout::columnRect(int column) const {
    const double w = (body_.width() - gap_ * (columns_ - 1)) / columns_;
    return QRectF(body_.left() + column * (w + gap_), body_.top(), w, body_.height());
}

void FlowLayout::paintEmpty(QPainter& p, const QRectF& area) const {
    const FontSpec f(10, false);
    p.setPen(QColor(90, 90, 90));
    drawLine(p, f, QStringLiteral("該当するデータはありません。"), area.left(),
             area.top() + mm(4), area.width(), Align::Center);
}

int FlowLayout::flow(int startRow, QPainter* p) const {
    const int rows = data_.rowCount();
    int row = startRow;
    for (int column = 0; column < columns_; ++column) {
        const QRectF rect = columnRect(column);
        const double top = columnTop(row, column);
        if (p) paintColumnTop(*p, row, column, QRectF(rect.left(), rect.top(), rect.width(), top));
        double y = rect.top() + top;
        if (rows == 0) {
            if (p && column == 0) paintEmpty(*p, QRectF(rect.left(), y, rect.width(), mm(20)));
            return 1;
        }
        bool first = true;
        while (row < rows) {
            const Unit u = measure(row);
            const double need = u.heading + u.row;
            if (!first && y + need > rect.bottom()) break;
            // A unit taller than a whole column is clipped rather than looping.
            const double h = qMin(need, rect.bottom() - y);
            if (p && h < need) {
                p->save();
                p->setClipRect(QRectF(rect.left() - mm(1), y, rect.width() + mm(2), h));
                paintUnit(*p, row, u, QRectF(rect.left(), y, rect.width(), h));
                p->restore();
            } else if (p) {
                paintUnit(*p, row, u, QRectF(rect.left(), y, rect.width(), h));
            }
            y += h;
            ++row;
            first = false;
        }
        if (row >= rows) break;
    }
    return qMax(row, startRow + 1);
}

}  // namespace tabulon::reports
