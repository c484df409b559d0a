#pragma once
// The procedure list. One T_XlProcName row per procedure header of
// every exported module; in the detailed mode also a declarations row per
// module and one T_XlDimCall row per declaration or call statement.
#include "analyses/code/CodeCommand.h"
#include "intake/Options.h"

namespace tabulon::analyses::code {

struct ProcedureListOptions {
    intake::ProcedureOption mode = intake::ProcedureOption::Detailed;
    int tablesMode = 0;  // procedure-list done mark: the mode the tables hold
};

inline const QString ProcedureListPlace = QStringLiteral("場所:プロシージャ一覧");

// The whole command. On success the outcome names the report to show and the
// new done mark (the list mode); a failure leaves the mark as it was.
CodeOutcome runProcedureList(const CodeContext& ctx, const ProcedureListOptions& options);

// The names of the procedure headers of one module, in order: one for each
// row the procedure list writes for it (GetProcName of the header).
QStringList procedureNames(const CodeModule& module);

}  // namespace tabulon::analyses::code
