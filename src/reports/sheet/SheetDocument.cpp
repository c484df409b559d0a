#include "reports/sheet/SheetDocument.h"

#include "common/Numbers.h"
#include "reports/PageStyle.h"
#include "reports/sheet/ChartPainter.h"
#include "reports/sheet/HeaderFooter.h"
#include "reports/sheet/PrintedPages.h"
#include "reports/sheet/SheetPainter.h"
#include "reports/sheet/SheetText.h"

#include <QPainter>
#include <algorithm>
#include <map>
#include <memory>

namespace tabulon::reports::sheet {

namespace {

constexpr double kUnitsPerPoint = 25.4 / 72.0 * kUnitsPerMm;

ReportDef titled(const QString& sheetName) {
    ReportDef def;
    def.name = sheetName;
    def.title = sheetName;
    def.outlineParent = QStringLiteral("シート印刷");
    return def;
}

// The used range, widened to the right where the last text of a row spills
// past it into empty columns, and to take in the drawing objects: the
// spreadsheet prints those too.
model::Area printedRange(const model::Book& book, const model::Sheet& sheet) {
    const model::SheetLayout& layout = sheet.layout;
    model::Area range = sheet.used;
    const double defaultPoints = book.formats.font(0).points;
    const int digitPx = digitWidthPx(defaultPoints);
    const SheetPlan widths = planSheet(layout, model::Area{0, 0, 0, 255}, defaultPoints, 100, false);
    std::map<int, std::unique_ptr<SheetFont>> faces;
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const model::CellData& c = sheet.cells[i];
        const bool lastInRow = i + 1 == sheet.cells.size() || sheet.cells[i + 1].row != c.row;
        if (!lastInRow || c.type != model::CellType::Text || c.col < range.lastCol - 1) continue;
        const model::CellFormat& xf = book.formats.cellFormat(layout.cellFormat(c.row, c.col));
        if (xf.wrap || (xf.hAlign != 0 && xf.hAlign != 1)) continue;
        std::unique_ptr<SheetFont>& face = faces[xf.font];
        if (!face) face = std::make_unique<SheetFont>(sheetFont(book.formats.font(xf.font)));
        const double textPt = face->width(model::cellText(book, sheet, c)) / kTwipsPerPoint + 2 * digitPx;
        double reach = 0;
        int col = c.col;
        while (col < 255 && reach + widths.colWidthPt[size_t(col)] < textPt) reach += widths.colWidthPt[size_t(col++)];
        range.lastCol = std::max(range.lastCol, col);
    }
    // Drawing objects print with the cells (comments only when asked to).
    for (const model::Shape& shape : sheet.shapes) {
        if (!printsWithCells(layout, shape)) continue;
        const model::Anchor& a = *shape.anchor;
        if (a.col2 > 255 || a.row2 > 65535) continue;
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

SheetDocument::SheetDocument(const host::Workbook& book, const host::Sheet& sheet, int zoom)
    : ReportDocument(titled(sheet.name())), book_(book), sheet_(sheet), pictures_(PictureCache::of(book_.model())),
      chart_(sheet.kind() == host::SheetKind::Chart) {
    // The print image always shows the headings and the whole used range.
    const model::Book& wb = book_.model();
    const model::Sheet& model = sheet_.model();
    plan_ = planSheet(model.layout, printedRange(wb, model), wb.formats.font(0).points, zoom, true);
    pages_ = printedPages(plan_, model, wb.formats);
    if (!chart_ && model.layout.page.comments == 2) {
        notes_ = noteEntries(model);
        noteFont_ = sheetFont(wb.formats.font(0));
        notePages_ = notePages(notes_, noteFont_, plan_.contentWidthPt * kTwipsPerPoint,
                               plan_.contentHeightPt * kTwipsPerPoint);
    }
    if (chart_) plan_.paperMm = QSizeF(297, 210);
}

QSizeF SheetDocument::paperSizeMm() const { return plan_.paperMm; }

SheetContext SheetDocument::context(PictureCache& pictures) const {
    const model::Sheet& model = sheet_.model();
    return SheetContext{book_.model(), model, model.layout, plan_, pictures};
}

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
    const SheetContext ctx = context(*pictures_);
    const model::PageSetup& page = ctx.layout.page;
    const QSizeF size = pageSizeTwips(ctx, rows, cols);
    const double perTwip = plan_.scale * kUnitsPerPoint / kTwipsPerPoint;
    double x = plan_.marginLeftPt * kUnitsPerPoint, y = plan_.marginTopPt * kUnitsPerPoint;
    if (page.hCenter)
        x += std::max(0.0, (plan_.contentWidthPt * kUnitsPerPoint - size.width() * perTwip) / 2);
    if (page.vCenter)
        y += std::max(0.0, (plan_.contentHeightPt * kUnitsPerPoint - size.height() * perTwip) / 2);
    p.save();
    p.translate(x, y);
    p.scale(perTwip, perTwip);
    paintSheetPage(p, ctx, rows, cols);
    p.restore();
    paintHeaderFooter(p, index);
}

void SheetDocument::paintHeaderFooter(QPainter& p, int index) const {
    const model::PageSetup& ps = sheet_.model().layout.page;
    const PageFacts facts{ps.firstPageNumber + index, pagesKnown(), printed_, book_.fullName(), sheet_.name()};
    const double paperW = plan_.paperMm.width() * kUnitsPerMm, paperH = plan_.paperMm.height() * kUnitsPerMm;
    const double left = ps.left * 72 * kUnitsPerPoint, right = paperW - ps.right * 72 * kUnitsPerPoint;
    p.save();
    const model::Font& standard = book_.model().formats.font(0);
    QFont font = sheetFont(standard);
    font.setPixelSize(std::max(1, qRound(standard.points * kUnitsPerPoint)));
    const SheetFont face(font);
    p.setPen(Qt::black);
    auto draw = [&](const HeaderFooterText& t, double top, Qt::Alignment vertical) {
        const QRectF band(left, top, right - left, 0);
        drawText(p, face, band, int(vertical) | Qt::AlignLeft, t.left);
        drawText(p, face, band, int(vertical) | Qt::AlignHCenter, t.centre);
        drawText(p, face, band, int(vertical) | Qt::AlignRight, t.right);
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
    const model::Book& book = book_.model();
    const int chart = sheet_.model().chart;
    if (chart >= 0 && size_t(chart) < book.charts.size()) {
        paintChart(p, book.charts[size_t(chart)], frame, kUnitsPerPoint, book.formats.date1904);
        return;
    }
    p.save();
    p.setPen(QPen(Qt::black, mm(0.3)));
    p.drawRect(frame);
    QFont font(substituteFamily(QString()));
    font.setPixelSize(int(mm(6)));
    drawText(p, SheetFont(font), frame, Qt::AlignCenter, QStringLiteral("グラフシート「%1」").arg(sheet_.name()));
    p.restore();
}

}  // namespace tabulon::reports::sheet
