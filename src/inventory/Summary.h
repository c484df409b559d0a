#pragma once
// What a person reads of the estate: the summary PDF (figures, formats and
// ages, auto-run macros, locked projects, the most linked-to workbooks,
// modules found in several workbooks, failures with their reasons), laid out
// by the report engine from its stored definitions (report_definitions.sql),
// and the link graph between the workbooks as Graphviz DOT, with an SVG
// drawing of it when Graphviz's dot is installed.
#include <QString>
#include <QStringList>

struct sqlite3;

namespace tabulon::inventory {

// The names of the summary's reports, in printing order.
QStringList summaryReports();

// Writes estate-summary.pdf, estate-links.dot and (with dot) estate-links.svg
// into `folder` (created when missing); returns the files written. The
// database is only read. Throws tabulon::Error (Japanese).
QStringList writeSummary(const QString& database, const QString& folder);

// The link graph of a database connection, as DOT text.
QString linkGraphDot(sqlite3* db);

}  // namespace tabulon::inventory
