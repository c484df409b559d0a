#include "reports/sheet/SheetDocument.h"

#include "common/Numbers.h"
#include "reports/PageStyle.h"
#include "reports/sheet/HeaderFooter.h"
#include "reports/sheet/PrintedPages.h"
#include "reports/sheet/SheetPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace tabulon::reports::sheet {

namespace {

constexpr double kUnitsPerPoint = 25.4 / 72.0 * kUnitsPerMm;

ReportDef titled(const QString& sheetName) {
    ReportDef def;
    def.name = sheetName;
    def.title = sheetName;
    return def;
}

// The used range, widened to the right where the last text of a row spills
// past it into empty columns, and to take in the drawing objects: the
// spreadsheet prints those too.
xls::Area printedRange(const host::PrintSource& source, const xls::WorkbookModel& book, const xls::SheetModel& sheet,
                       const xls::SheetLayout& layout) {
    xls::Area range = sheet.used;
    const int digitPx = digitWidthPx(source.formats().font(0).points);
    const SheetPlan widths = planSheet(layout, xls::Area{0, 0, 0, 255}, source.formats().font(0).points, 100, false);
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const xls::CellData& c = sheet.cells[i];
        const bool lastInRow = i + 1 == sheet.cells.size() || sheet.cells[i + 1].row != c.row;
        if (!lastInRow || c.type != xls::CellType::Text || c.col < range.lastCol - 1) continue;
        const xls::XfDef& xf = source.formats().xf(layout.cellXf(c.row, c.col));
        if (xf.wrap || (xf.hAlign != 0 && xf.hAlign != 1)) continue;
        const double textPt = QFontMetricsF(sheetFont(source.formats().font(xf.font)))
                                  .horizontalAdvance(xls::cellText(book, sheet, c)) / kTwipsPerPoint + 2 * digitPx;
        double reach = 0;
        int col = c.col;
        while (col < 255 && reach + widths.colWidthPt[size_t(col)] < textPt) reach += widths.colWidthPt[size_t(col++)];
        range.lastCol = std::max(range.lastCol, col);
    }
    // Drawing objects print with the cells (comments only when asked to).
    for (const xls::ShapeAnchor& a : layout.shapes) {
        if (!printsWithCells(layout, a) || a.col2 > 255 || a.row2 > 65535) continue;
        range.firstRow = std::min(range.firstRow, a.row1);
        range.firstCol = std::min(range.firstCol, a.col1);
        range.lastRow = std::max(range.lastRow, a.dy2 > 0 ? a.row2 : a.row2 - 1);
        range.lastCol = std::max(range.lastCol, a.dx2 > 0 ? a.col2 : a.col2 - 1);
    }
    return range;
}

}  // namespace

std::optional<int> parseZoom(const QString& text) {
    const std::optional<qint64> zoom = wholeNumber(text);
    if (!zoom || *zoom < 10 || *zoom > 400) return std::nullopt;
    return int(*zoom);
}

SheetDocument::SheetDocument(std::shared_ptr<const host::PrintSource> source, const host::Workbook& book,
                             const host::Sheet& sheet, int zoom)
    : ReportDocument(titled(sheet.name())), source_(std::move(source)), book_(book), sheet_(sheet),
      layout_(source_->layout(sheet)), chart_(sheet.kind() == host::SheetKind::Chart) {
    // The print image always shows the headings and the whole used range.
    layout_.page.headings = true;
    const xls::SheetModel& model = book_.model().sheets[size_t(sheet.index() - 1)];
    const xls::Area used = printedRange(*source_, book_.model(), model, layout_);
    plan_ = planSheet(layout_, used, source_->formats().font(0).points, zoom, true);
    pages_ = printedPages(plan_, model, layout_, source_->formats());
    if (!chart_ && layout_.page.comments == 2) {
        notes_ = noteEntries(model);
        noteFont_ = sheetFont(source_->formats().font(0));
        notePages_ = notePages(notes_, noteFont_, plan_.contentWidthPt * kTwipsPerPoint,
                               plan_.contentHeightPt * kTwipsPerPoint);
    }
    if (chart_) plan_.paperMm = QSizeF(297, 210);
}

QSizeF SheetDocument::paperSizeMm() const { return plan_.paperMm; }

void SheetDocument::paintPage(QPainter& p, int index) const {
    if (index < 0 || index >= pagesKnown()) return;
    if (chart_) {
        paintChartPage(p);
        return;
    }
    if (index >= int(pages_.size())) {
        paintNotesPage(p, index);
        return;
    }
    Span rows, cols;
    plan_.page(pages_[size_t(index)], rows, cols);
    const SheetContext ctx{*source_, book_.model(), book_.model().sheets[size_t(sheet_.index() - 1)], layout_, plan_, pictures_};
    const QSizeF size = pageSizeTwips(ctx, rows, cols);
    const double perTwip = plan_.scale * kUnitsPerPoint / kTwipsPerPoint;
    double x = plan_.marginLeftPt * kUnitsPerPoint, y = plan_.marginTopPt * kUnitsPerPoint;
    if (layout_.page.hCenter)
        x += std::max(0.0, (plan_.contentWidthPt * kUnitsPerPoint - size.width() * perTwip) / 2);
    if (layout_.page.vCenter)
        y += std::max(0.0, (plan_.contentHeightPt * kUnitsPerPoint - size.height() * perTwip) / 2);
    p.save();
    p.translate(x, y);
    p.scale(perTwip, perTwip);
    paintSheetPage(p, ctx, rows, cols);
    p.restore();
    paintHeaderFooter(p, index);
}

void SheetDocument::paintHeaderFooter(QPainter& p, int index) const {
    const xls::PageSetupDef& ps = layout_.page;
    const PageFacts facts{ps.firstPageNumber + index, pagesKnown(), printed_, book_.fullName(), sheet_.name()};
    const double paperW = plan_.paperMm.width() * kUnitsPerMm, paperH = plan_.paperMm.height() * kUnitsPerMm;
    const double left = ps.left * 72 * kUnitsPerPoint, right = paperW - ps.right * 72 * kUnitsPerPoint;
    p.save();
    QFont font = sheetFont(source_->formats().font(0));
    font.setPixelSize(std::max(1, qRound(source_->formats().font(0).points * kUnitsPerPoint)));
    p.setFont(font);
    p.setPen(Qt::black);
    auto draw = [&](const HeaderFooterText& t, double top, Qt::Alignment vertical) {
        const QRectF band(left, top, right - left, 0);
        const int flags = int(vertical) | Qt::TextDontClip;
        p.drawText(band, flags | Qt::AlignLeft, t.left);
        p.drawText(band, flags | Qt::AlignHCenter, t.centre);
        p.drawText(band, flags | Qt::AlignRight, t.right);
    };
    draw(expandHeaderFooter(ps.headerText, facts), ps.header * 72 * kUnitsPerPoint, Qt::AlignTop);
    draw(expandHeaderFooter(ps.footerText, facts), paperH - ps.footer * 72 * kUnitsPerPoint, Qt::AlignBottom);
    p.restore();
}

void SheetDocument::paintNotesPage(QPainter& p, int index) const {
    const double perTwip = kUnitsPerPoint / kTwipsPerPoint;
    p.save();
    p.translate(plan_.marginLeftPt * kUnitsPerPoint, plan_.marginTopPt * kUnitsPerPoint);
    p.scale(perTwip, perTwip);
    paintNotePage(p, notes_, notePages_[size_t(index) - pages_.size()], noteFont_, plan_.contentWidthPt * kTwipsPerPoint);
    p.restore();
    paintHeaderFooter(p, index);
}

void SheetDocument::paintChartPage(QPainter& p) const {
    const QRectF frame(mm(20), mm(20), plan_.paperMm.width() * kUnitsPerMm - mm(40),
                       plan_.paperMm.height() * kUnitsPerMm - mm(40));
    p.save();
    p.setPen(QPen(Qt::black, mm(0.3)));
    p.drawRect(frame);
    QFont font(substituteFamily(QString()));
    font.setPixelSize(int(mm(6)));
    p.setFont(font);
    p.drawText(frame, Qt::AlignCenter, QStringLiteral("グラフシート「%1」").arg(sheet_.name()));
    p.restore();
}

}  // namespace tabulon::reports::sheet
