// Free pages (cover page, binder labels): every field sits in its own box at
// a fixed place on the paper; one page per record, or one blank-valued page
// when the table is empty. Texts wrap inside their box and are cut with an
// ellipsis at its last line, so a long title never runs into its neighbour.
#include "reports/PageLayout.h"

#include <QPainter>

namespace tabulon::reports {

namespace {

class FreeLayout : public PageLayout {
public:
    FreeLayout(const ReportDef& def, const ReportData& data) : def_(def), data_(data) {
        for (const auto& f : def.fields) {
            fonts_.emplace_back(f.fontPt, f.bold);
            columns_.push_back(f.field.isEmpty() ? -1 : data.columnIndex(f.field));
        }
    }

    PageStart nextPageStart(PageStart start) const override { return {start.row + 1, 0}; }

    void paint(QPainter& p, PageStart start) const override {
        const int row = start.row;
        for (size_t i = 0; i < def_.fields.size(); ++i) {
            const FieldDef& f = def_.fields[i];
            const QRectF box(mm(f.x), mm(f.y), mm(f.w), mm(f.h));
            paintFrame(p, f, box);
            QString text = f.caption;
            if (columns_[i] >= 0) text += data_.cell(row, columns_[i]);
            if (text.isEmpty()) continue;
            p.setPen(Qt::black);
            if (f.vertical)
                paintVertical(p, fonts_[i], text, box);
            else
                paintHorizontal(p, fonts_[i], f.align, text, box);
        }
    }

private:
    static void paintFrame(QPainter& p, const FieldDef& f, const QRectF& box) {
        if (f.frame == 0) return;
        p.setPen(QPen(QColor(60, 60, 60), mm(f.frame == 1 ? 0.4 : 0.25)));
        p.setBrush(Qt::NoBrush);
        if (f.frame == 1)
            p.drawRect(box);
        else
            p.drawLine(box.bottomLeft(), box.bottomRight());
    }

    static void paintHorizontal(QPainter& p, const FontSpec& font, Align align,
                                const QString& text, const QRectF& box) {
        const double inner = box.width() - mm(2);
        QStringList lines = wrapText(text, font, inner);
        const int fit = qMax(1, int(box.height() / font.lineHeight));
        if (lines.size() > fit) {
            lines = lines.mid(0, fit);
            lines.back() = elideText(lines.back() + QChar(0x2026), font, inner);
        }
        double y = box.top() + (box.height() - lines.size() * font.lineHeight) / 2;
        for (const QString& l : lines) {
            drawLine(p, font, l, box.left() + mm(1), y, inner, align);
            y += font.lineHeight;
        }
    }

    // Top-to-bottom writing: one character under the other, centred in the
    // box; a text longer than the box is cut with a vertical ellipsis.
    static void paintVertical(QPainter& p, const FontSpec& font, const QString& text,
                              const QRectF& box) {
        const double step = font.pixelSize * 1.1;
        const int fit = qMax(1, int(box.height() / step));
        QString shown = text.simplified();
        if (shown.size() > fit) shown = shown.left(fit - 1) + QChar(0xFE19);
        double y = box.top() + (box.height() - shown.size() * step) / 2;
        for (QChar c : shown) {
            const QString s(c);
            drawLine(p, font, s, box.left(), y + (step - font.lineHeight) / 2, box.width(),
                     Align::Center);
            y += step;
        }
    }

    const ReportDef& def_;
    const ReportData& data_;
    std::vector<FontSpec> fonts_;
    std::vector<int> columns_;
};

}  // namespace

std::unique_ptr<PageLayout> makeFreeLayout(const ReportDef& def, const ReportData& data) {
    return std::make_unique<FreeLayout>(def, data);
}

}  // namespace tabulon::reports
