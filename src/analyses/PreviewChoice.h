#pragma once
// Which report a preview button shows under the current option values, and
// what a command does after it has shown its report. Both front ends use
// these, so the window and the command line agree.
#include "common/Ports.h"

#include <QString>
#include <functional>

namespace tabulon::analyses {

struct PreviewOptions {
    int objectOption = 1;  // 1 book, 2 simple objects, 3 detailed objects
    int cellOption = 3;    // 1 formulas, 2 comments, 3 both
    int columnOption = 2;  // source listing: 1 one column, 2 two columns
    int proc50 = 0;        // chkProc50 value stored at its last click
    int mod50 = 0;         // chkMod50 value stored at its last click
};

// Report for a preview button ("cmdOPre", "cmdCPre", ...); empty when the
// button shows nothing under these options (or is not a preview button).
QString previewReportFor(const QString& button, const PreviewOptions& options);

// After an analysis command has shown its report: the close-the-preview hint
// in the status line and the timer that clears it after five seconds.
inline constexpr int kPreviewNoticeMs = 5000;
void announcePreview(ProgressPort& status, const std::function<void(int ms)>& startTimer);
// What the timer does when it fires (the caller stops the timer).
void clearPreviewNotice(ProgressPort& status);

}  // namespace tabulon::analyses
