#include "reports/ReportDocument.h"

#include "store/Database.h"

#include <QPaintDevice>
#include <QPainter>

namespace tabulon::reports {

std::shared_ptr<ReportDocument> ReportDocument::load(store::Database& db, const QString& name) {
    ReportDef def = loadDefinition(db, name);
    ReportData data = readReportData(db, def.sourceSql);
    const QString header = readHeaderText(db);
    std::shared_ptr<ReportDocument> lead;
    if (!def.leadReport.isEmpty() && def.leadReport != name) {
        ReportDef leadDef = loadDefinition(db, def.leadReport);
        leadDef.landscape = def.landscape;  // one paper for the whole document
        leadDef.leadReport.clear();
        ReportData leadData = readReportData(db, leadDef.sourceSql);
        lead = std::make_shared<ReportDocument>(std::move(leadDef), std::move(leadData), header);
        lead->layoutAll();
    }
    return std::make_shared<ReportDocument>(std::move(def), std::move(data), header,
                                            std::move(lead));
}

ReportDocument::ReportDocument(ReportDef def, ReportData data, QString headerText,
                               std::shared_ptr<ReportDocument> lead)
    : def_(std::move(def)), data_(std::move(data)), header_(std::move(headerText)),
      paper_(Paper::a4(def_.landscape)), small_(8, false), title_(13, true) {
    const QRectF body = paper_.body(def_.pageFrame);
    switch (def_.kind) {
    case LayoutKind::List: layout_ = makeListLayout(def_, data_, body); break;
    case LayoutKind::Source: layout_ = makeSourceLayout(def_, data_, body); break;
    case LayoutKind::Free: layout_ = makeFreeLayout(def_, data_); break;
    }
    lead_ = std::move(lead);
    starts_.push_back({});
    next_ = layout_->nextPageStart({});
    complete_ = next_.row >= data_.rowCount();
}

ReportDocument::ReportDocument(ReportDef def)
    : def_(std::move(def)), paper_(Paper::a4(def_.landscape)), complete_(true) {}

QSizeF ReportDocument::paperSizeMm() const {
    return QSizeF(paper_.width / kUnitsPerMm, paper_.height / kUnitsPerMm);
}

bool ReportDocument::layoutSome(int pages) {
    for (int i = 0; i < pages && !complete_; ++i) {
        starts_.push_back(next_);
        next_ = layout_->nextPageStart(next_);
        complete_ = next_.row >= data_.rowCount();
    }
    return complete_;
}

bool ReportDocument::ensurePage(int index) {
    while (pagesKnown() <= index && !complete_) layoutSome(1);
    return index >= 0 && index < pagesKnown();
}

int ReportDocument::layoutAll() {
    while (!layoutSome(64)) {}
    return pagesKnown();
}

QString ReportDocument::totalText() const {
    return complete_ ? QString::number(pagesKnown()) : QStringLiteral("…");
}

void ReportDocument::paintPageOn(QPainter& p, const QPaintDevice& device, int index) const {
    p.save();
    scaleToUnits(p, device.logicalDpiX(), device.logicalDpiY());
    paintPage(p, index);
    p.restore();
}

void ReportDocument::paintPage(QPainter& p, int index) const {
    if (index < 0 || index >= pagesKnown()) return;
    if (index < leadPages())
        lead_->paintOwnPage(p, index, index + 1, totalText());
    else
        paintOwnPage(p, index - leadPages(), index + 1, totalText());
}

void ReportDocument::paintOwnPage(QPainter& p, int own, int number, const QString& total) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (def_.pageFrame) paintFrame(p, number, total);
    layout_->paint(p, starts_[size_t(own)]);
    p.restore();
}

void ReportDocument::paintFrame(QPainter& p, int number, const QString& total) const {
    const FontSpec& small = small_;
    const FontSpec& title = title_;
    const double left = mm(12), width = paper_.width - mm(24);
    const double top = mm(10);
    p.setPen(QColor(60, 60, 60));
    drawLine(p, small, elideText(header_, small, width * 0.3), left,
             top + title.ascent - small.ascent, width * 0.3, Align::Left);
    drawLine(p, small, QStringLiteral("印刷日 ") + printDate_.toString(QStringLiteral("yyyy/MM/dd")),
             left + width * 0.7, top + title.ascent - small.ascent, width * 0.3, Align::Right);
    p.setPen(Qt::black);
    drawLine(p, title, elideText(def_.title, title, width * 0.4), left + width * 0.3, top,
             width * 0.4, Align::Center);
    p.setPen(QPen(QColor(40, 40, 40), mm(0.4)));
    const double rule = top + title.lineHeight + mm(1.5);
    p.drawLine(QPointF(left, rule), QPointF(left + width, rule));

    const double footer = paper_.height - mm(11);
    p.setPen(QPen(QColor(150, 150, 150), mm(0.15)));
    p.drawLine(QPointF(left, footer - mm(1.5)), QPointF(left + width, footer - mm(1.5)));
    p.setPen(QColor(60, 60, 60));
    drawLine(p, small, QStringLiteral("%1 / %2 ページ").arg(number).arg(total), left, footer,
             width, Align::Center);
}

}  // namespace tabulon::reports
