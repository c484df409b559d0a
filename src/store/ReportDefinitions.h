#pragma once
// The report definitions are the program's own, not the user's: an analysis
// database made by an earlier build of the program gets the definitions of
// this one (new reports, titles, columns), its analysis tables untouched.
namespace tabulon::store {

class Database;

// Replaces the definition tables (Z_Report, Z_ReportColumn, Z_ReportField)
// with the program's when they differ, in one transaction. Returns true when
// it replaced them. Throws tabulon::Error when the file cannot be written.
bool refreshReportDefinitions(Database& db);

}  // namespace tabulon::store
