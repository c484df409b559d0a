#include "analyses/workbook/SheetPrint.h"

#include "host/CellDisplay.h"
#include "reports/sheet/SheetDocument.h"

namespace tabulon::analyses::workbook {

std::optional<int> sheetZoom(const QString& text) { return reports::sheet::parseZoom(text); }

std::shared_ptr<reports::ReportDocument> sheetPrintImage(const host::Workbook& book, const QString& sheetName,
                                                         int zoom) {
    const host::Sheet sheet = book.sheet(sheetName);
    auto source = std::make_shared<const host::PrintSource>(book);
    return std::make_shared<reports::sheet::SheetDocument>(std::move(source), book, sheet, zoom);
}

QString sheetImageName(const QString& sheetName) { return QStringLiteral("Sheet_") + sheetName; }

}  // namespace tabulon::analyses::workbook
