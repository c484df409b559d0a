#pragma once
// What a code-analysis command needs from whoever runs it (the window, the
// command line, a test) and what it hands back. The commands hold no window
// state: option values and done marks come in, the new mark goes out.
#include "analyses/code/CodeModules.h"
#include "analyses/code/SourceCursor.h"
#include "common/Error.h"
#include "common/Ports.h"

#include <QString>
#include <functional>

namespace tabulon::analyses::code {

struct CodeContext {
    CodeModules modules;     // the workbook's modules, in visiting order
    QString databasePath;    // DbPath
    ModuleCounts counts;     // set by the workbook intake
    MessagePort& messages;
    ProgressPort& progress;
    SourceCursor& cursor;    // lives as long as the main window
};

struct CodeOutcome {
    enum class End {
        Refused,  // a guard refused; no table touched, nothing to show
        Report,   // done: the chapter's report is shown, its preview usable
        Failed,   // the error box was shown; rows written so far stay
    };
    End end = End::Refused;
    int doneMark = 0;        // the analysis-done mark after the command
    bool collected = false;  // the tables were rebuilt (not just shown again)
    QString message;         // text of the message box shown, if any
    int errorNumber = 0;
    bool exitRequested = false;  // fatal error numbers end the program
    int rows = 0;            // rows written by this run (all tables)
    int linesRead = 0;       // physical lines read by this run
};

inline const QString NoModulesText = QStringLiteral("このﾌｧｲﾙにはModuleは存在しません");
inline const QString CollectingText = QStringLiteral("ﾓｼﾞｭｰﾙ情報　取得中");
inline const QString FinishedText = QStringLiteral("終了しました");

// The module-presence guard: refuses (status line and message box) when no
// module of any kind holds code. True when it refused.
bool refuseWithoutModules(const CodeContext& ctx, CodeOutcome& out);
// The guard of every code chapter for a workbook whose macros cannot be read
// (Excel 5.0/95 module sheets, a locked project): says why in a message box.
bool refuseUnreadableProject(const CodeContext& ctx, CodeOutcome& out);

// Error numbers some commands treat apart from the usual box: the workbook
// commands answer a refused operation (1004, a protected sheet) with their
// own box and end silently on a missing object (91).
struct GuardRules {
    QString refusedPlace;              // not empty: the sheet-protection box for 1004
    bool silentObjectMissing = false;  // 91 ends the command without a box
};

// Shows the error box of a failed command for `place` ("場所:..." text) and
// fills the failure fields of the outcome.
void failCommand(const CodeContext& ctx, const QString& place, const Error& error,
                 CodeOutcome& out);
void failCommand(MessagePort& messages, const QString& place, const Error& error,
                 CodeOutcome& out, const GuardRules& rules = {});
// The text of that box: the generic form, or the unstable-system form for
// error numbers 2449 to 2999, which also asks the program to end.
QString errorBoxText(const QString& place, const Error& error);
bool isFatalError(int number);

// Runs `body` under the one command guard (common/Guard.h), turning any
// failure into the error box of `place`.
void runGuarded(const CodeContext& ctx, const QString& place, CodeOutcome& out,
                const std::function<void()>& body);
void runGuarded(MessagePort& messages, const QString& place, CodeOutcome& out,
                const std::function<void()>& body, const GuardRules& rules = {});

}  // namespace tabulon::analyses::code
