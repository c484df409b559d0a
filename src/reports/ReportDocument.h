#pragma once
// One report ready to be shown: its definition, its rows and its pages.
// Pages are found lazily, so the first page of a long report can be shown
// before the rest has been laid out; the page total is known once
// layoutAll() (or layoutSome() until it returns true) has run.
#include "reports/PageLayout.h"
#include "reports/ReportData.h"
#include "reports/ReportDefinition.h"

#include <QDate>
#include <QSizeF>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;

namespace tabulon::reports {

class ReportDocument {
public:
    // Reads the definition and the rows from the database (which may be
    // closed afterwards; the document keeps what it read).
    static std::shared_ptr<ReportDocument> load(store::Database& db, const QString& name);
    ReportDocument(ReportDef def, ReportData data, QString headerText,
                   std::shared_ptr<ReportDocument> lead = nullptr);
    virtual ~ReportDocument() = default;

    const ReportDef& definition() const { return def_; }
    virtual QSizeF paperSizeMm() const;
    virtual bool landscape() const { return def_.landscape; }

    // Lays out until page `index` (0-based) exists; false when the report has
    // fewer pages.
    virtual bool ensurePage(int index);
    // Lays out at most `pages` more pages; true when the whole report is done.
    virtual bool layoutSome(int pages);
    virtual int layoutAll();  // the page total
    virtual int pagesKnown() const { return leadPages() + int(starts_.size()); }
    virtual bool complete() const { return complete_; }

    // Paints page `index` with header and footer onto a painter already
    // scaled to layout units (scaleToUnits). While the total is not yet
    // known, the footer shows "n / …".
    virtual void paintPage(QPainter& p, int index) const;
    // Paints onto any device at its resolution, for previews and printers.
    void paintPageOn(QPainter& p, const QPaintDevice& device, int index) const;
    // Whether pages of this document, laid out whole, may be painted on
    // several threads at once. A report's fonts keep their glyphs as they
    // are met, so only documents that guard what painting fills say yes.
    virtual bool paintsConcurrently() const { return false; }

    void setPrintDate(const QDate& d) { printDate_ = d; }

protected:
    // For documents that lay out their own pages (a sheet's print image):
    // only the title of def is used.
    explicit ReportDocument(ReportDef def);

private:
    void paintOwnPage(QPainter& p, int own, int number, const QString& total) const;
    void paintFrame(QPainter& p, int number, const QString& total) const;
    int leadPages() const { return lead_ ? lead_->pagesKnown() : 0; }
    QString totalText() const;

    ReportDef def_;
    ReportData data_;
    QString header_;
    Paper paper_;
    std::unique_ptr<PageLayout> layout_;
    std::shared_ptr<ReportDocument> lead_;  // laid out whole before this one
    std::vector<PageStart> starts_;  // where each page laid out so far begins
    PageStart next_;                 // where the page after the last one begins
    bool complete_ = false;
    FontSpec small_, title_;
    QDate printDate_ = QDate::currentDate();
};

}  // namespace tabulon::reports
