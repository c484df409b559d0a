// Tabular lists: a header row repeated on every page, one row per record,
// and a group heading whenever the group key changes (repeated with
// "（続き）" at the top of a page that continues a group).
#include "reports/PageLayout.h"

#include <QPainter>

namespace tabulon::reports {

namespace {

const double kPadH = mm(1.2);
const double kPadV = mm(0.7);
const QColor kRule(185, 185, 185);
const QColor kHeaderFill(226, 230, 236);
const QColor kGroupFill(242, 244, 247);

class ListLayout : public FlowLayout {
public:
    ListLayout(const ReportDef& def, const ReportData& data, QRectF body)
        : FlowLayout(data, body, 1, 0), def_(def), text_(def.fontPt, false),
          head_(def.fontPt, true), group_(def.fontPt + 1, true) {
        double total = 0;
        for (const auto& c : def.columns) total += qMax(0.1, c.weight);
        double x = body.left();
        for (const auto& c : def.columns) {
            const double w = body.width() * qMax(0.1, c.weight) / total;
            cols_.push_back({x, w, data.columnIndex(c.field)});
            x += w;
        }
        groupColumn_ = def.groupField.isEmpty() ? -1 : data.columnIndex(def.groupField);
        groupHeight_ = group_.lineHeight + 2 * kPadV + mm(1.2);
        headerHeight_ = headerLines() * head_.lineHeight + 2 * kPadV;
    }

protected:
    Unit measure(int row) const override {
        Unit u;
        if (opensGroup(row)) u.heading = groupHeight_;
        int lines = 1;
        for (size_t i = 0; i < cols_.size(); ++i) {
            if (!def_.columns[i].wrap) continue;
            const QString t = value(row, i);
            if (!t.isEmpty()) lines = qMax(lines, wrappedLineCount(t, text_, innerWidth(i)));
        }
        u.row = lines * text_.lineHeight + 2 * kPadV;
        return u;
    }

    double columnTop(int row, int) const override {
        return headerHeight_ + (continuesGroup(row) ? groupHeight_ : 0);
    }

    void paintColumnTop(QPainter& p, int row, int, const QRectF& area) const override {
        const QRectF header(area.left(), area.top(), area.width(), headerHeight_);
        p.fillRect(header, kHeaderFill);
        p.setPen(QPen(QColor(120, 120, 120), mm(0.2)));
        p.drawLine(header.topLeft(), header.topRight());
        p.drawLine(header.bottomLeft(), header.bottomRight());
        p.setPen(Qt::black);
        for (size_t i = 0; i < cols_.size(); ++i) {
            const QStringList lines = wrapText(def_.columns[i].caption, head_, innerWidth(i));
            double y = header.top() + kPadV;
            for (const QString& l : lines) {
                drawLine(p, head_, l, cols_[i].x + kPadH, y, innerWidth(i), Align::Center);
                y += head_.lineHeight;
            }
        }
        if (continuesGroup(row))
            paintGroup(p, row, header.bottom(), area.width(), QStringLiteral("（続き）"));
    }

    void paintUnit(QPainter& p, int row, const Unit& u, const QRectF& area) const override {
        if (u.heading > 0) paintGroup(p, row, area.top(), area.width(), QString());
        const double top = area.top() + u.heading;
        p.setPen(Qt::black);
        for (size_t i = 0; i < cols_.size(); ++i) {
            const QString t = value(row, i);
            if (t.isEmpty()) continue;
            double x = cols_[i].x + kPadH, w = innerWidth(i);
            const Align a = def_.columns[i].align;
            if (def_.columns[i].format == QLatin1String("color")) {
                const double used = paintSwatch(p, t, x, top + kPadV);
                x += used;
                w = qMax(mm(1), w - used);
            }
            if (!def_.columns[i].wrap) {
                drawLine(p, text_, elideText(t, text_, w), x, top + kPadV, w, a);
                continue;
            }
            double y = top + kPadV;
            for (const QString& l : wrapText(t, text_, w)) {
                drawLine(p, text_, l, x, y, w, a);
                y += text_.lineHeight;
            }
        }
        p.setPen(QPen(kRule, mm(0.1)));
        const double bottom = top + u.row;
        p.drawLine(QPointF(area.left(), bottom), QPointF(area.right(), bottom));
    }

private:
    struct Col {
        double x, w;
        int index;
    };

    int headerLines() const {
        int lines = 1;
        for (size_t i = 0; i < cols_.size(); ++i)
            lines = qMax(lines, wrappedLineCount(def_.columns[i].caption, head_, innerWidth(i)));
        return qMin(lines, 3);
    }
    double innerWidth(size_t i) const { return qMax(mm(1), cols_[i].w - 2 * kPadH); }
    // A colour column: a small square of the colour itself before its
    // "#RRGGBB" text. Returns the width it takes (0 for a value that is no
    // colour).
    double paintSwatch(QPainter& p, const QString& text, double x, double top) const {
        const QColor colour = QColor::fromString(text);
        if (!text.startsWith(u'#') || !colour.isValid()) return 0;
        const double side = text_.lineHeight * 0.8;
        const QRectF box(x, top + (text_.lineHeight - side) / 2, side, side);
        p.fillRect(box, colour);
        p.save();
        p.setPen(QPen(QColor(90, 90, 90), mm(0.15)));
        p.drawRect(box);
        p.restore();
        return side + mm(1);
    }
    QString value(int row, size_t i) const {
        return formatValue(data_.cell(row, cols_[i].index), def_.columns[i].format);
    }
    const QString& key(int row) const { return data_.cell(row, groupColumn_); }
    bool opensGroup(int row) const {
        return groupColumn_ >= 0 && (row == 0 || key(row) != key(row - 1));
    }
    bool continuesGroup(int row) const {
        return groupColumn_ >= 0 && row > 0 && row < data_.rowCount() && key(row) == key(row - 1);
    }

    void paintGroup(QPainter& p, int row, double top, double width, const QString& suffix) const {
        const QRectF bar(body_.left(), top + mm(0.8), width, groupHeight_ - mm(0.8));
        p.fillRect(bar, kGroupFill);
        p.setPen(QPen(QColor(70, 90, 120), mm(0.35)));
        p.drawLine(bar.bottomLeft(), bar.bottomRight());
        p.setPen(QColor(20, 40, 70));
        QString label = def_.groupCaption + key(row);
        if (key(row).isEmpty()) label += QStringLiteral("（なし）");
        const double y = bar.top() + (bar.height() - group_.lineHeight) / 2;
        drawLine(p, group_, elideText(label + suffix, group_, width - 2 * kPadH),
                 bar.left() + kPadH, y, width - 2 * kPadH, Align::Left);
    }

    const ReportDef& def_;
    FontSpec text_, head_, group_;
    std::vector<Col> cols_;
    int groupColumn_ = -1;
    double groupHeight_ = 0, headerHeight_ = 0;
};

}  // namespace

std::unique_ptr<PageLayout> makeListLayout(const ReportDef& def, const ReportData& data,
                                           QRectF body) {
    return std::make_unique<ListLayout>(def, data, body);
}

}  // namespace tabulon::reports
