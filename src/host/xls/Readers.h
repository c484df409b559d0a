#pragma once
// The record parsers, grouped by substream. Each parse function reads one
// record type; a FormatError thrown by one of them costs only that record.
#include "host/xls/Model.h"
#include "host/xls/RecordStream.h"

namespace tabulon::xls {

class FormulaContext;

// The workbook globals substream from its BOF to its EOF. Throws
// tabulon::Error for a workbook that cannot be read at all (encrypted).
void readGlobals(RecordStream& stream, WorkbookModel& book);

// One sheet substream, starting at sheet.bofOffset. Returns the number of
// stream bytes it went through.
size_t readSheet(const QByteArray& stream, SheetModel& sheet, WorkbookModel& book,
               const FormulaContext& ctx);

// Records of the globals substream.
void parseBoundSheet(const Record& rec, WorkbookModel& book);
void parseSst(const Record& rec, WorkbookModel& book);
void parseLbl(const Record& rec, WorkbookModel& book);
void parseSupBook(const Record& rec, WorkbookModel& book);
void parseExternSheet(const Record& rec, WorkbookModel& book);
void parseExternName(const Record& rec, WorkbookModel& book);

// Turns an encoded VirtualPath (MS-XLS 2.5.277) into the path the spreadsheet
// shows; relative paths are resolved against bookFolder.
QString decodeVirtualPath(const QString& encoded, const QString& bookFolder);

// "Print_Area" etc. for a built-in name's one-character code.
QString builtinNameText(int code);

// Adds a warning built from a record's damage.
void warn(WorkbookModel& book, const QString& where, const FormatError& e);

}  // namespace tabulon::xls
