#pragma once
// The commands of the program, without a window: each chapter's command and
// its preview as a function over the session state. The window forwards its
// clicks here; the command line and the tests call the same functions.
#include "analyses/code/CodeCommand.h"
#include "analyses/code/SourceCursor.h"
#include "intake/Chapters.h"
#include "intake/MessageText.h"
#include "intake/Session.h"
#include "intake/WorkbookIntake.h"
#include "reports/ReportEngine.h"

#include <functional>

namespace tabulon::analyses {

struct FrontEnd {
    intake::Session& session;
    intake::CommandShell shell;          // message boxes, progress, Exit command
    reports::ReportService& reports;     // ShowReport
    intake::WorkbookIntake& intake;      // the open workbook
    // What the front end does after a chapter's command has shown its report
    // (the window: a hint to close the preview, cleared a little later); may
    // be empty.
    std::function<void()> reportShown;
};

class Commands {
public:
    explicit Commands(FrontEnd frontEnd);

    // The cover page or one of the two binder labels.
    void cover(intake::Chapter page);
    void objects();
    // `selectedSheet`: the sheet of the selected-sheet list.
    void cells(const QString& selectedSheet);
    void procedures();
    void sources();
    void shapes();
    void collectVariables();
    void names();
    // The print image of one sheet at the zoom of the cover fields.
    void sheetPrint(const QString& sheetName);
    void files();
    void comments();
    void moduleSteps();
    void addins();
    void citations();
    // `linkSource`: the link source whose destination cells are searched.
    void linkSearch(const QString& linkSource);
    void timeEstimate();
    // A chapter's last result again, under the options in force (the
    // variable lists print this way too).
    void preview(intake::Chapter chapter);

    // Report names in the order this run has shown them.
    const QStringList& shownReports() const { return shown_; }

private:
    void show(intake::Chapter chapter, bool announce);
    void finish(const code::CodeOutcome& out, intake::Chapter chapter, intake::Mark mark);

    FrontEnd fe_;
    code::SourceCursor cursor_;
    QStringList shown_;
    QString rememberedSheet_;  // the sheet of the last selected-sheet cell list
};

}  // namespace tabulon::analyses
