#pragma once
// cmdModule: the module source list. Every listed source line of the chosen
// modules becomes one T_XlSource row, tagged with its module and with the
// procedure (section) it belongs to.
#include "analyses/code/CodeCommand.h"

namespace tabulon::analyses::code {

struct SourceListOptions {
    int selection = 1;      // optModule index + 1: 1 standard ... 5 sheet, 6 all
    int columns = 2;        // optMPrint index + 1: 1 one column, 2 two columns
    int kana = 0;           // chkMod50 value
    int tableSelection = 0; // module-list done mark: the selection the table holds
};

inline const QString SourceListPlace = QStringLiteral("場所:モジュールリスト");
inline const QString NoDeclarationsName = QStringLiteral("(Declarations)");

CodeOutcome runSourceList(const CodeContext& ctx, const SourceListOptions& options);

// R_SourceList, R_SourceList50, R_SourceList1 or R_SourceList150.
QString sourceListReport(int columns, int kana);


}  // namespace tabulon::analyses::code
