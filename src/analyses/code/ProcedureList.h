#pragma once
// cmdKansu: the procedure list. One T_XlProcName row per procedure header of
// every exported module; in the detailed mode also a declarations row per
// module and one T_XlDimCall row per declaration or call statement.
#include "analyses/code/CodeCommand.h"

namespace tabulon::analyses::code {

enum class ProcedureListMode { Simple = 1, Detailed = 2 };  // optProc index + 1

struct ProcedureListOptions {
    int mode = 2;        // procedure option value
    int kana = 0;        // chkProc50 value
    int tablesMode = 0;  // procedure-list done mark: the mode the tables hold
};

inline const QString ProcedureListPlace = QStringLiteral("場所:プロシージャ一覧");

// The whole command. On success the outcome names the report to show and the
// new done mark (the list mode); a failure leaves the mark as it was.
CodeOutcome runProcedureList(const CodeContext& ctx, const ProcedureListOptions& options);

// The names of the procedure headers of one module, in order: one for each
// row the procedure list writes for it (GetProcName of the header).
QStringList procedureNames(LineReader& reader);

// "R_ModuleList50" when the kana-order box is checked, else "R_ModuleList"
// (also what cmdPPre shows).
QString procedureListReport(int kana);

}  // namespace tabulon::analyses::code
