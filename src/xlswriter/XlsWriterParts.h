#pragma once
// Byte-level helpers shared by the workbook writers' source files.
#include "xlswriter/XlsWriter.h"

#include <QByteArray>
#include <QString>

namespace tabulon::xlsw::detail {

void put16(QByteArray& b, quint16 v);
void put32(QByteArray& b, quint32 v);
void putDouble(QByteArray& b, double v);
bool fitsLatin1(const QString& s);
QByteArray chars(const QString& s, bool compressed);
QByteArray xlString(const QString& s);    // 16-bit count, flags, characters
QByteArray shortString(const QString& s); // 8-bit count, flags, characters
QByteArray record(quint16 type, const QByteArray& body);
// A new cell at the end of a sheet's cells (either writer's).
XlsCell& addCell(std::vector<XlsCell>& cells, int row, int col, XlsCell::Kind kind);

// MSODRAWINGGROUP for the globals; empty when no sheet has shapes.
QByteArray drawingGroup(const std::vector<XlsSheet>& sheets);
// The sheet's drawing, OBJ, TXO and NOTE records. macroNames maps a macro to
// its 1-based NAME index.
// firstPib: the BLIP store place of the sheet's first stored picture, after
// the pictures of the sheets before it.
QByteArray sheetDrawing(const XlsSheet& sheet, int dgId, const QHash<QString, int>& macroNames, int firstPib = 1);

}  // namespace tabulon::xlsw::detail
