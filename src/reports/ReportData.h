#pragma once
// The rows a report prints: the result of its source query, read once, as
// display texts. Reports are read-only views, so the texts are formatted when
// they are read and painting only measures and draws.
#include <QString>
#include <QStringList>
#include <vector>

namespace tabulon::store {
class Database;
}

namespace tabulon::reports {

struct ColumnDef;

class ReportData {
public:
    ReportData() = default;
    ReportData(QStringList names, std::vector<QString> cells);

    int rowCount() const { return rows_; }
    int columnIndex(const QString& name) const;  // -1 when absent
    // Empty text for a missing column, so a definition that names a column
    // its query lacks prints blanks instead of failing halfway through a page.
    const QString& cell(int row, int column) const;
    const QStringList& names() const { return names_; }

private:
    QStringList names_;
    std::vector<QString> cells_;
    int rows_ = 0;
};

// Runs a report's source query. The connection gets the JA_KANA collation
// first, so "ORDER BY x COLLATE JA_KANA" sorts in Japanese syllabary order.
ReportData readReportData(store::Database& db, const QString& sql);

// Header text of every page: T_XlTitle.FileName, or empty when the table has
// no row (the user chose not to print a header).
QString readHeaderText(store::Database& db);

// Display text of one value under a column format ("int", "kb", "date",
// "datetime", "bool" or plain).
QString formatValue(const QString& raw, const QString& format);

// Registers JA_KANA on a connection: Japanese collation where hiragana and
// katakana of the same sound sort together and カ comes before サ.
void registerKanaCollation(store::Database& db);

}  // namespace tabulon::reports
