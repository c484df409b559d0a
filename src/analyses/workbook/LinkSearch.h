#pragma once
// The link-destination search: the formula cells of every documented sheet
// that take values from the chosen linked workbook, into T_XlCalc with
// Label 9.
#include "analyses/workbook/WorkbookRun.h"

namespace tabulon::analyses::workbook {

inline const QString LinkSearchPlace = QStringLiteral("場所:リンク先検索");
inline const QString NoLinkChosenText = QStringLiteral("リンク元ファイルを選択して下さい。");

// The ways a formula names the workbook at `path`: the bracketed book of a
// cell reference ("C:\data\[Prices.xls]"), the whole path before a name of
// that book ("'C:\data\Prices.xls'!Rate"), and both with the apostrophes
// doubled as a quoted reference writes them.
class LinkReference {
public:
    explicit LinkReference(const QString& path);
    bool isEmpty() const { return forms_.isEmpty(); }
    // A formula (text beginning with "=") that names the workbook.
    bool foundIn(const QString& formula) const;

private:
    QStringList forms_;
};

// The outcome's end is Refused when nothing was chosen.
CodeOutcome runLinkSearch(const WorkbookContext& ctx, const QString& chosen);

}  // namespace tabulon::analyses::workbook
