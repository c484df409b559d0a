// Free pages (cover page, binder labels): every field sits in its own box at
// a fixed place on the paper; one page per record, or one blank-valued page
// when the table is empty. Texts wrap inside their box by the Japanese
// line-breaking rules, closer or smaller where the box is short, and are cut
// with an ellipsis only when even that does not fit, so a long title never
// runs into its neighbour.
#include "reports/PageLayout.h"

#include <QPainter>

#include <optional>

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
                paintVertical(p, f, fonts_[i], text, box);
            else
                paintHorizontal(p, f, fonts_[i], text, box);
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

    // A text too long for its box at the field's size is set with closer
    // lines first, then smaller, and cut with "…" only when it does not fit
    // even at the smallest size.
    static void paintHorizontal(QPainter& p, const FieldDef& f, const FontSpec& nominal, const QString& text,
                                const QRectF& box) {
        const double inner = box.width() - mm(2);
        std::optional<FontSpec> smaller;
        const FontSpec* font = &nominal;
        QStringList lines;
        double step = 0;
        for (double scale : kScales) {
            if (scale < 1) font = &smaller.emplace(f.fontPt * scale, f.bold);
            lines = wrapText(text, *font, inner);
            step = qMin(font->lineHeight, box.height() / lines.size());
            if (step >= font->pixelSize * kClosestLines) break;
        }
        step = qMax(step, font->pixelSize * kClosestLines);
        const int fit = qMax(1, int(box.height() / step));
        if (lines.size() > fit) {
            lines = lines.mid(0, fit);
            lines.back() = elideText(lines.back() + QChar(0x2026), *font, inner);
        }
        double y = box.top() + (box.height() - lines.size() * step) / 2 + (step - font->lineHeight) / 2;
        for (const QString& l : lines) {
            drawLine(p, *font, l, box.left() + mm(1), y, inner, f.align);
            y += step;
        }
    }

    // Top-to-bottom writing, one character under the other, the columns
    // from right to left and centred in the box, broken by the same rules as
    // horizontal lines. Brackets, dashes and the long vowel mark turn with
    // the line; the comma and the full stop move to the top right of their
    // cell. A text too long for the box is set smaller, and only then cut
    // with a vertical ellipsis.
    static void paintVertical(QPainter& p, const FieldDef& f, const FontSpec& nominal, const QString& text,
                              const QRectF& box) {
        std::optional<FontSpec> smaller;
        const FontSpec* font = &nominal;
        QStringList columns;
        int perColumn = 1, fitColumns = 1;
        const QString shown = text.simplified();
        for (double scale : kScales) {
            if (scale < 1) font = &smaller.emplace(f.fontPt * scale, f.bold);
            perColumn = qMax(1, int(box.height() / (font->pixelSize * kCharPitch)));
            fitColumns = qMax(1, int(box.width() / (font->pixelSize * kColumnPitch)));
            columns = wrapCharacters(shown, perColumn);
            if (columns.size() <= fitColumns) break;
        }
        if (columns.size() > fitColumns) {
            columns = columns.mid(0, fitColumns);
            columns.back() = columns.back().left(perColumn - 1) + QChar(0xFE19);
        }
        const double step = font->pixelSize * kCharPitch, pitch = font->pixelSize * kColumnPitch;
        qsizetype longest = 0;
        for (const QString& c : columns) longest = qMax(longest, c.size());
        const double top = box.top() + (box.height() - longest * step) / 2;
        double x = box.center().x() + (columns.size() - 1) * pitch / 2;
        for (const QString& column : columns) {
            double y = top;
            for (QChar c : column) {
                paintUpright(p, *font, c, QPointF(x, y + step / 2), pitch);
                y += step;
            }
            x -= pitch;
        }
    }

    // One character of vertical writing centred on a point.
    static void paintUpright(QPainter& p, const FontSpec& font, QChar c, QPointF centre, double width) {
        const double em = font.pixelSize;
        // drawLine sets the em box 0.88 em above the baseline: its centre lies
        // 0.38 em above the baseline.
        const double boxTop = -(font.ascent - 0.38 * em);
        p.save();
        p.translate(centre);
        if (turnsInVertical(c)) p.rotate(90);
        else if (movesInVertical(c)) p.translate(0.55 * em, -0.55 * em);
        drawLine(p, font, QString(c), -width / 2, boxTop, width, Align::Center);
        p.restore();
    }

    static bool turnsInVertical(QChar c) {
        static const QString turned = QStringLiteral("（）「」『』【】〔〕〈〉《》［］｛｝()[]{}<>ー－―—‐-〜～…‥＝=→←ｰ｢｣");
        return turned.contains(c);
    }
    static bool movesInVertical(QChar c) { return QStringLiteral("、。，．､｡").contains(c); }

    static constexpr double kScales[] = {1.0, 0.9, 0.8, 0.7, 0.6};
    static constexpr double kClosestLines = 1.1;  // lines closer than this (in ems) would touch
    static constexpr double kCharPitch = 1.1, kColumnPitch = 1.5;

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
