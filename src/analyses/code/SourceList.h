#pragma once
// The module source list. Every listed source line of the chosen
// modules becomes one T_XlSource row, tagged with its module and with the
// procedure (section) it belongs to.
#include "analyses/code/CodeCommand.h"
#include "intake/Options.h"

namespace tabulon::analyses::code {

struct SourceListOptions {
    intake::ModuleSelection selection = intake::ModuleSelection::Standard;
    int tableSelection = 0; // module-list done mark: the selection the table holds
};

inline const QString SourceListPlace = QStringLiteral("場所:モジュールリスト");
inline const QString NoDeclarationsName = QStringLiteral("(Declarations)");

CodeOutcome runSourceList(const CodeContext& ctx, const SourceListOptions& options);

// The module kind code of a selection's rows (0 for "all": each module's own).
int selectionKind(intake::ModuleSelection selection);

}  // namespace tabulon::analyses::code
