// Numbered source listings in one or two columns per page. Each module opens
// with a heading (repeated as "（続き）" at the top of every column it runs
// on), each procedure with a smaller heading; the lines between two
// procedures, which belong to none, get a thin separator instead. Long lines
// wrap under their text, never into the line-number gutter; tabs expand to
// the editor's stops every four columns.
#include "reports/PageLayout.h"

#include <QPainter>

namespace tabulon::reports {

namespace {

const QColor kModuleFill(226, 230, 236);
const QColor kGutter(120, 120, 120);
const QString kNoProcedure = QStringLiteral("(Declarations)");
constexpr int kTabStop = 4;

QString expandTabs(const QString& text) {
    if (!text.contains(u'\t')) return text;
    QString out;
    for (QChar c : text) {
        if (c == u'\t') out += QString(kTabStop - out.size() % kTabStop, u' ');
        else out += c;
    }
    return out;
}

class SourceLayout : public FlowLayout {
public:
    SourceLayout(const ReportDef& def, const ReportData& data, QRectF body)
        : FlowLayout(data, body, def.textColumns, mm(8)), def_(def),
          code_(def.fontPt, false, true, 1.22), number_(def.fontPt - 1, false),
          module_(def.fontPt + 1.5, true), proc_(def.fontPt, true) {
        numberColumn_ = def.columns.size() > 0 ? data.columnIndex(def.columns[0].field) : -1;
        textColumn_ = def.columns.size() > 1 ? data.columnIndex(def.columns[1].field) : -1;
        wrap_ = def.columns.size() > 1 && def.columns[1].wrap;
        moduleColumn_ = data.columnIndex(def.groupField);
        procColumn_ = data.columnIndex(def.subGroupField);
        gutter_ = code_.width(u"000000") + mm(2);
        moduleHeight_ = module_.lineHeight + mm(2.5);
        procHeight_ = proc_.lineHeight + mm(1.5);
        separatorHeight_ = mm(1.5);
        textWidth_ = (body.width() - gap_ * (columns_ - 1)) / columns_ - gutter_ - mm(1);
    }

protected:
    Unit measure(int row) const override {
        Unit u;
        const bool opens = opensModule(row);
        if (opens) u.heading += moduleHeight_;
        if (opens || proc(row) != proc(row - 1))
            u.heading += betweenProcedures(row) ? separatorHeight_ : procHeight_;
        const int lines = wrap_ ? wrappedLineCount(text(row), code_, textWidth_) : 1;
        u.row = lines * code_.lineHeight;
        return u;
    }

    // A column that continues a module repeats its heading and that of the
    // running procedure, so every column can be read on its own.
    double columnTop(int row, int) const override {
        if (!continuesModule(row)) return 0;
        return moduleHeight_ + (proc(row) == proc(row - 1) && !betweenProcedures(row) ? procHeight_ : 0);
    }

    void paintColumnTop(QPainter& p, int row, int, const QRectF& area) const override {
        if (!continuesModule(row)) return;
        paintModule(p, row, area.left(), area.top(), true);
        if (proc(row) == proc(row - 1) && !betweenProcedures(row))
            paintProcedure(p, row, area.left(), area.top() + moduleHeight_, area.width(), true);
    }

    void paintUnit(QPainter& p, int row, const Unit& u, const QRectF& area) const override {
        double y = area.top();
        if (opensModule(row)) {
            paintModule(p, row, area.left(), y, false);
            y += moduleHeight_;
        }
        if (y < area.top() + u.heading && betweenProcedures(row)) {
            p.setPen(QPen(QColor(190, 190, 190), mm(0.1)));
            p.drawLine(QPointF(area.left() + gutter_, y + separatorHeight_ / 2),
                       QPointF(area.left() + gutter_ + textWidth_, y + separatorHeight_ / 2));
            y = area.top() + u.heading;
        } else if (y < area.top() + u.heading) {
            paintProcedure(p, row, area.left(), y, area.width(), false);
            y = area.top() + u.heading;
        }
        p.setPen(kGutter);
        const double numberTop = y + (code_.ascent - number_.ascent);
        drawLine(p, number_, data_.cell(row, numberColumn_), area.left(), numberTop,
                 gutter_ - mm(2), Align::Right);
        p.setPen(Qt::black);
        const double x = area.left() + gutter_;
        if (!wrap_) {
            drawLine(p, code_, elideText(text(row), code_, textWidth_), x, y, textWidth_, Align::Left);
            return;
        }
        for (const QString& l : wrapText(text(row), code_, textWidth_)) {
            drawLine(p, code_, l, x, y, textWidth_, Align::Left);
            y += code_.lineHeight;
        }
    }

private:
    QString text(int row) const { return expandTabs(data_.cell(row, textColumn_)); }
    const QString& module(int row) const { return data_.cell(row, moduleColumn_); }
    const QString& proc(int row) const { return data_.cell(row, procColumn_); }
    bool opensModule(int row) const { return row == 0 || module(row) != module(row - 1); }
    // Lines after a procedure's end and before the next header.
    bool betweenProcedures(int row) const { return !opensModule(row) && proc(row) == kNoProcedure; }
    bool continuesModule(int row) const {
        return row > 0 && row < data_.rowCount() && module(row) == module(row - 1);
    }

    void paintProcedure(QPainter& p, int row, double x, double y, double w, bool continued) const {
        p.setPen(QPen(QColor(150, 150, 150), mm(0.1)));
        p.drawLine(QPointF(x, y + mm(0.6)), QPointF(x + w, y + mm(0.6)));
        p.setPen(QColor(20, 40, 70));
        QString label = QStringLiteral("◆ ") + proc(row);
        if (continued) label += QStringLiteral("（続き）");
        drawLine(p, proc_, elideText(label, proc_, w), x, y + mm(0.9), w, Align::Left);
    }

    void paintModule(QPainter& p, int row, double x, double y, bool continued) const {
        const double w = textWidth_ + gutter_ + mm(1);
        const QRectF bar(x, y + mm(0.5), w, moduleHeight_ - mm(1.5));
        p.fillRect(bar, kModuleFill);
        p.setPen(QColor(20, 40, 70));
        QString label = def_.groupCaption + module(row);
        if (continued) label += QStringLiteral("（続き）");
        drawLine(p, module_, elideText(label, module_, w - mm(3)), x + mm(1.5),
                 bar.top() + (bar.height() - module_.lineHeight) / 2, w - mm(3), Align::Left);
    }

    const ReportDef& def_;
    FontSpec code_, number_, module_, proc_;
    int numberColumn_ = -1, textColumn_ = -1, moduleColumn_ = -1, procColumn_ = -1;
    bool wrap_ = true;
    double gutter_ = 0, moduleHeight_ = 0, procHeight_ = 0, separatorHeight_ = 0, textWidth_ = 0;
};

}  // namespace

std::unique_ptr<PageLayout> makeSourceLayout(const ReportDef& def, const ReportData& data,
                                             QRectF body) {
    return std::make_unique<SourceLayout>(def, data, body);
}

}  // namespace tabulon::reports
