#pragma once
// Formula text of a workbook part made into the text the spreadsheet shows:
// the prefixes newer functions are stored with removed, external books named
// by their path, a shared formula moved to each cell of its range.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <string_view>
#include <vector>

namespace tabulon::ooxml {

// A workbook the formulas refer to by number ("[1]Sheet1!A1"): the linked
// book by its path as the link sources give it, or a DDE link.
struct ExternalBook {
    QString path;          // "C:\data\Prices.xlsx"; empty for a DDE link
    QString server, topic; // a DDE link: "Excel", "C:\data\Prices.xls"
    bool dde() const { return !server.isEmpty(); }
};

// "_xlfn.IFERROR(A1,0)" -> "IFERROR(A1,0)"; "[1]Sheet1!A1" ->
// "'C:\data\[Prices.xlsx]Sheet1'!A1"; "[1]!Rate" -> "'C:\data\Prices.xlsx'!Rate".
// books[0] is "[1]". No leading "=" is added.
QString displayFormula(QStringView stored, const std::vector<ExternalBook>& books);
// "=" and a stored formula (UTF-8) that displayFormula() would leave as it
// is: plain ASCII with no book number and no stored prefix, as most formulas
// are, made into the cell's formula text in one step. Empty for any other.
QString shownAsStored(std::string_view stored);

// The functions of XLL add-ins a stored formula calls ("_xll.DSSData(A1)"
// -> "DSSData"), appended to `into` unless already there: what the older
// format keeps as the add-in functions of the workbook.
void addInCalls(QStringView stored, QStringList& into);

// The formula of a shared formula's first cell as it reads in a cell dRow
// rows below and dCol columns right of it: relative references move, and
// one moved off the sheet becomes #REF!.
QString shiftFormula(QStringView text, int dRow, int dCol);

// One area a name refers to; 0-based and inclusive, whole rows or columns
// spanning the grid (1,048,576 rows by 16,384 columns).
struct RefArea {
    QString sheet;  // as written, unquoted; empty when the reference has none
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
};
// The areas of a formula that is nothing but references joined by commas
// (a print area, print titles, a range name); nothing for any other formula.
std::optional<std::vector<RefArea>> referenceAreas(QStringView text);

}  // namespace tabulon::ooxml
