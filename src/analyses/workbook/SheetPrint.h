#pragma once
// Sheet printing (シート印刷): the print image of one sheet of the open
// workbook, with row and column headings, no print titles and no print
// area (the whole used range), at the zoom of the cover fields. The workbook
// is only read, never changed.
#include "host/Workbook.h"
#include "reports/ReportDocument.h"

#include <QString>
#include <memory>
#include <optional>

namespace tabulon::analyses::workbook {

inline const QString SheetPrintPlace = QStringLiteral("場所:シート印刷");
// Shown instead of an image when the zoom is no whole number from 10 to 400.
inline const QString ZoomRangeText = QStringLiteral("ズームには 10 から 400 までの整数を入力して下さい。");

// The zoom percentage of a zoom text, or nothing when it is not a whole
// number from 10 to 400.
std::optional<int> sheetZoom(const QString& text);

// The print image of the sheet named `sheetName` (any case), drawn from the
// loaded workbook alone; throws tabulon::Error 9 when the workbook has no
// such sheet.
std::shared_ptr<reports::ReportDocument> sheetPrintImage(const host::Workbook& book, const QString& sheetName,
                                                         int zoom);

// The name under which the image is listed among the shown reports.
QString sheetImageName(const QString& sheetName);

}  // namespace tabulon::analyses::workbook
