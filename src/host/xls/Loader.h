#pragma once
// Loads a whole .xls workbook into the in-memory model.
#include "host/xls/Decrypt.h"
#include "host/xls/Model.h"

namespace tabulon::xls {

// Throws tabulon::Error (1004) with a clear reason when the file cannot be
// read as a workbook: not an .xls workbook, Excel 95 format,
// encrypted with a password neither the default one nor `ask` gives, truncated.
// Damage to single records is skipped and listed in warnings.
WorkbookModel loadWorkbook(const QString& path, const PasswordAsk& ask = {});

// The same from the bytes of a Workbook stream alone (no document
// properties); path only names the file and anchors relative links.
WorkbookModel readWorkbookStream(const QByteArray& stream, const QString& path, const PasswordAsk& ask = {});

}  // namespace tabulon::xls
