#pragma once
// The commands of the main window, without the window: each button's click
// handler as a function over the session state. The window forwards its
// clicks here; the batch front end and the tests call the same functions.
#include "analyses/code/CodeCommand.h"
#include "analyses/code/SourceCursor.h"
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
    intake::WorkbookIntake& intake;      // the open workbook and the reopen rule
    std::function<void(int ms)> startTimer;  // Timer1; may be empty
};

class Commands {
public:
    explicit Commands(FrontEnd frontEnd);

    void cmdHyousi(int index);   // cover page and labels
    void cmdKansu();             // procedure list
    void cmdModule();            // module source list
    // The workbook chapters; the combo box texts come from the front end.
    void cmdObject();                             // book, sheets, modules, links
    void cmdCell(const QString& selectedSheet);   // cell list (cboSheet2 text)
    void cmdName();                               // defined-name list
    void cmdLinkMoto(const QString& chosen);      // link search (cboLinkMoto text)
    void cmdTimeCheck();                          // processing-time estimate
    // Sheet printing: the print image of the sheet named in cboSheet at the
    // zoom of txtZoom, in the preview.
    void cmdSheet(const QString& sheetName);
    void cmdModStep();           // module step counts
    void cmdComment();           // comment list
    void cmdHensu();             // variables, constants, user types
    void cmdHensuReport(const QString& button);  // cmdHensuU, cmdHensuT, cmdHensuH
    void cmdInyoSaki();          // procedure citations
    void cmdXlShape();           // shapes and controls
    void cmdFile();              // folder files and link sources
    void cmdAddin();             // add-ins
    // A preview button ("cmdOPre", "cmdPPre", ...): the last result again.
    void preview(const QString& button);

    // Report names in the order this run has shown them.
    const QStringList& shownReports() const { return shown_; }

private:
    void show(const QString& report, bool announce);
    void finishCode(const code::CodeOutcome& out, intake::Mark mark, const QString& previewButton);
    void finishWorkbook(const code::CodeOutcome& out, intake::Mark mark, const QString& previewButton);

    FrontEnd fe_;
    code::SourceCursor cursor_;
    QStringList shown_;
    QString rememberedSheet_;  // cboSheet2 at the last selected-sheet cell list
};

}  // namespace tabulon::analyses
