#pragma once
// Reads a whole .xls workbook into the model, in one pass over its records.
#include "host/cfb/CompoundFile.h"
#include "host/model/Book.h"
#include "host/xls/Decrypt.h"

#include <optional>

namespace tabulon::xls {

// Opens the file as a compound file. Throws tabulon::Error (1004) for a
// file that is none, telling an Excel 2.x-4.0 file apart.
cfb::CompoundFile openWorkbookFile(const QString& path);

// The workbook in an opened compound file: its workbook stream and document
// properties (the VBA project is read by the caller from the same file).
// Throws tabulon::Error (1004) with a clear reason when it cannot be read as
// a workbook: no workbook stream, Excel 2.x-4.0 format, encrypted with a
// password neither the default one nor `ask` gives, truncated. Damage to
// single records is skipped and listed in warnings.
model::Book readCompoundWorkbook(const cfb::CompoundFile& file, const QString& path, const PasswordAsk& ask = {});

// Both of the above.
model::Book loadWorkbook(const QString& path, const PasswordAsk& ask = {});

// The workbook stream of a compound file: "Workbook", else the "Book" of
// Excel 5.0/95 (which later versions also write now and then). Nothing when
// neither is there. The format is told by the stream's first BOF, not here.
std::optional<QByteArray> workbookStream(const cfb::CompoundFile& file, bool* truncated = nullptr);

// The same from the bytes of a Workbook stream alone (no document
// properties); path only names the file and anchors relative links.
model::Book readWorkbookStream(const QByteArray& stream, const QString& path, const PasswordAsk& ask = {});

}  // namespace tabulon::xls
