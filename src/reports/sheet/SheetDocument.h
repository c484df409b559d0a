#pragma once
// A sheet's print image as a document the preview window, the printer and
// the PDF writer show like any report: the whole used range with row and
// column headings at a given zoom, in the pages of the sheet's page setup.
// A chart sheet prints as one labelled page.
#include "host/Workbook.h"
#include "reports/ReportDocument.h"
#include "reports/sheet/SheetNotes.h"
#include "reports/sheet/SheetPages.h"
#include "reports/sheet/SheetPainter.h"
#include "reports/sheet/SheetPictures.h"

#include <QDateTime>
#include <memory>

namespace tabulon::reports::sheet {

class SheetDocument : public ReportDocument {
public:
    // zoom: the print scale in percent, 10 to 400. Everything comes from
    // the loaded workbook, which the document keeps.
    SheetDocument(const host::Workbook& book, const host::Sheet& sheet, int zoom);

    QSizeF paperSizeMm() const override;
    bool landscape() const override { return plan_.paperMm.width() > plan_.paperMm.height(); }
    bool ensurePage(int index) override { return index >= 0 && index < pagesKnown(); }
    bool layoutSome(int) override { return true; }
    int layoutAll() override { return pagesKnown(); }
    int pagesKnown() const override { return chart_ ? 1 : int(pages_.size() + notePages_.size()); }
    bool complete() const override { return true; }
    void paintPage(QPainter& p, int index) const override;
    bool paintsConcurrently() const override { return true; }

    const SheetPlan& plan() const { return plan_; }
    void setPrintTime(const QDateTime& t) { printed_ = t; }

private:
    void paintHeaderFooter(QPainter& p, int index) const;
    void paintChartPage(QPainter& p) const;
    void paintNotesPage(QPainter& p, int index) const;

    SheetContext context(PictureCache& pictures) const;

    host::Workbook book_;
    host::Sheet sheet_;
    SheetPlan plan_;
    std::vector<int> pages_;  // the plan's pages that print, in order
    std::vector<NoteEntry> notes_;     // printed after the sheet when its setup asks
    std::vector<Span> notePages_;
    QFont noteFont_;
    std::shared_ptr<PictureCache> pictures_;  // the workbook's, filled while pages are painted
    bool chart_ = false;
    QDateTime printed_ = QDateTime::currentDateTime();
};

// The print zoom typed by the user: a whole number from 10 to 400 (full-width
// digits too), else nothing.
std::optional<int> parseZoom(const QString& text);

}  // namespace tabulon::reports::sheet
