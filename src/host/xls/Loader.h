#pragma once
// Loads a whole .xls workbook into the in-memory model.
#include "host/xls/Decrypt.h"
#include "host/xls/Model.h"

#include <optional>

namespace tabulon::cfb { class CompoundFile; }

namespace tabulon::xls {

// Throws tabulon::Error (1004) with a clear reason when the file cannot be
// read as a workbook: not an .xls workbook, Excel 2.x-4.0 format,
// encrypted with a password neither the default one nor `ask` gives, truncated.
// Damage to single records is skipped and listed in warnings.
WorkbookModel loadWorkbook(const QString& path, const PasswordAsk& ask = {});

// The workbook stream of a compound file: "Workbook", else the "Book" of
// Excel 5.0/95 (which later versions also write now and then). Nothing when
// neither is there. The format is told by the stream's first BOF, not here.
std::optional<QByteArray> workbookStream(const cfb::CompoundFile& file, bool* truncated = nullptr);

// The same from the bytes of a Workbook stream alone (no document
// properties); path only names the file and anchors relative links.
WorkbookModel readWorkbookStream(const QByteArray& stream, const QString& path, const PasswordAsk& ask = {});

}  // namespace tabulon::xls
