#pragma once
// The facts of a loaded workbook and of its VBA project, counted by the rules
// the chapters of `tabulon document` count by, so the estate's figures and a
// workbook's documentation agree.
#include "host/Workbook.h"
#include "inventory/Facts.h"

#include <functional>

namespace tabulon::inventory {

// Puts a path the reader resolved back where the workbook really lies.
using PathMap = std::function<QString(const QString&)>;

// Format, encryption, sheets, cells, names, links, shapes with macros and
// the Excel 4 auto-run names.
void addWorkbookFacts(const host::Workbook& book, const PathMap& realPath, FileFacts& facts);

// The VBA project read with the workbook: its modules with their lines,
// their procedures and a hash of their code, and the procedures that run on
// their own. A project that cannot be read leaves vbaError, not a failed file.
void addProjectFacts(const host::Workbook& book, FileFacts& facts);

// The occasion on which a procedure of a module of `type` (standard, class,
// form, document) runs without a click: open, close, activate, deactivate,
// event; empty when it only runs when called.
QString procedureOccasion(const QString& type, const QString& procedure);
// The same for a defined name (Excel 4 macros): Auto_Open... names.
QString nameOccasion(const QString& name);

// The code of an exported module without its export header (VERSION, the
// form's Begin ... End block and the leading Attribute lines): what the
// editor shows, which is what copies of one module share.
QString codeBody(const QString& exportText);

}  // namespace tabulon::inventory
