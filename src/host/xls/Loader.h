#pragma once
// Loads a whole .xls workbook into the in-memory model.
#include "host/xls/Model.h"

namespace tabulon::xls {

// Throws tabulon::Error (1004) with a clear reason when the file cannot be
// read as a workbook: not an .xls workbook, Excel 95 format,
// password-encrypted, truncated. Damage to single records is skipped and
// listed in warnings.
WorkbookModel loadWorkbook(const QString& path);

// The same from the bytes of a Workbook stream alone (no document
// properties); path only names the file and anchors relative links.
WorkbookModel readWorkbookStream(const QByteArray& stream, const QString& path);

}  // namespace tabulon::xls
