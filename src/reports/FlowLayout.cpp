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

PageStart FlowLayout::flow(PageStart start, QPainter* p) const {
    const int rows = data_.rowCount();
    int row = start.row, line = start.line;
    for (int column = 0; column < columns_; ++column) {
        const QRectF rect = columnRect(column);
        const double top = columnTop(row, column);
        if (p) paintColumnTop(*p, row, column, QRectF(rect.left(), rect.top(), rect.width(), top));
        double y = rect.top() + top;
        if (rows == 0) {
            if (p && column == 0) paintEmpty(*p, QRectF(rect.left(), y, rect.width(), mm(20)));
            return {1, 0};
        }
        bool first = true;
        while (row < rows) {
            Unit u = measure(row);
            const bool splits = u.lineHeight > 0 && u.lines > 1;
            if (line > 0) {  // the rest of a row begun on the page before, without its headings
                u.heading = 0;
                u.row = (u.lines - line) * u.lineHeight + 2 * u.padding;
            }
            u.firstLine = line;
            u.endLine = u.lines;
            const double need = u.heading + u.row;
            const double room = rect.bottom() - y;
            // A row taller than a whole column begins where it is, if a line
            // of it fits, and goes on in the next column.
            const bool tooTall = splits && need > rect.bottom() - (rect.top() + top);
            const int fit = splits ? int((room - u.heading - 2 * u.padding) / u.lineHeight) : 0;
            if (tooTall && fit >= 1 && fit < u.lines - line) {
                u.endLine = line + fit;
                u.row = fit * u.lineHeight + 2 * u.padding;
                if (p) paintUnit(*p, row, u, QRectF(rect.left(), y, rect.width(), u.heading + u.row));
                line += fit;
                break;
            }
            if (!first && y + need > rect.bottom()) break;
            // A unit taller than a whole column that has no lines to split
            // between is clipped rather than looping.
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
            line = 0;
            first = false;
        }
        if (row >= rows) break;
    }
    if (PageStart{row, line} == start) return {start.row + 1, 0};
    return {row, line};
}

}  // namespace tabulon::reports
