#include "analyses/workbook/SheetPrint.h"

#include "reports/sheet/SheetDocument.h"

namespace tabulon::analyses::workbook {

std::optional<int> sheetZoom(const QString& text) { return reports::sheet::parseZoom(text); }

std::shared_ptr<reports::ReportDocument> sheetPrintImage(const host::Workbook& book, const QString& sheetName,
                                                         int zoom) {
    return std::make_shared<reports::sheet::SheetDocument>(book, book.sheet(sheetName), zoom);
}

QString sheetImageName(const QString& sheetName) { return QStringLiteral("Sheet_") + sheetName; }

}  // namespace tabulon::analyses::workbook
