#pragma once
// The module step counts. For each module, one T_XlModStep row
// for its declarations section and one per procedure, counting comment,
// blank, code and all lines.
#include "analyses/code/CodeCommand.h"

namespace tabulon::analyses::code {

inline const QString ModuleStepsPlace = QStringLiteral("場所:ﾓｼﾞｭｰﾙｽﾃｯﾌﾟ一覧");

// The lines of one module summed over its rows of the step counts.
struct StepTotals {
    qint64 comments = 0, blanks = 0, code = 0, total = 0;
};
// Counted by the chapter's rules (a workbook or sheet module's exported
// class header passed over).
StepTotals moduleStepTotals(const CodeModule& module);

// On success the done mark (fSocS) is 1 and the outcome names R_XlModStep.
CodeOutcome runModuleSteps(const CodeContext& ctx);

}  // namespace tabulon::analyses::code
