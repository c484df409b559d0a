#include "analyses/Commands.h"

#include "analyses/PreviewChoice.h"
#include "analyses/code/Citations.h"
#include "analyses/code/CommentList.h"
#include "analyses/code/ModuleSteps.h"
#include "analyses/code/ProcedureList.h"
#include "analyses/code/Variables.h"
#include "analyses/code/SourceList.h"
#include "analyses/workbook/AddinList.h"
#include "analyses/workbook/CellInventory.h"
#include "analyses/workbook/CoverPage.h"
#include "analyses/workbook/FolderFiles.h"
#include "analyses/workbook/LinkSearch.h"
#include "analyses/workbook/NameList.h"
#include "analyses/workbook/ObjectInventory.h"
#include "analyses/workbook/ShapeInventory.h"
#include "analyses/workbook/SheetPrint.h"
#include "analyses/workbook/TimeEstimate.h"
#include "common/Error.h"
#include "store/Database.h"

namespace tabulon::analyses {

using intake::Mark;
using intake::OptionGroup;

Commands::Commands(FrontEnd frontEnd) : fe_(std::move(frontEnd)) {}

void Commands::show(const QString& report, bool announce) {
    if (report.isEmpty())
        return;
    fe_.reports.showReport(fe_.session.paths().dbPath, report);
    shown_ << report;
    if (announce)
        announcePreview(fe_.shell.progress, fe_.startTimer ? fe_.startTimer : [](int) {});
}

void Commands::cmdHyousi(int index) {
    const bool done = intake::runGuarded(fe_.shell, workbook::CoverPlace, [&] {
        auto db = store::Database::open(fe_.session.paths().dbPath);
        BusyGuard busy(fe_.shell.progress);
        store::CommandScope scope(*db);
        fe_.shell.progress.status(workbook::CoverCollectingText);
        workbook::writeCoverRow(*db, workbook::coverRow(fe_.session.cover()));
        fe_.shell.progress.status(QStringLiteral("終了しました"));
    });
    if (done)
        show(workbook::coverReport(index), true);
}

void Commands::cmdSheet(const QString& sheetName) {
    const std::optional<int> zoom = workbook::sheetZoom(fe_.session.cover().zoom);
    if (!zoom) {
        fe_.shell.messages.message(workbook::ZoomRangeText);
        return;
    }
    intake::runGuarded(fe_.shell, workbook::SheetPrintPlace, [&] {
        const host::Workbook* book = fe_.intake.workbook();
        if (!book) throw Error(err::ObjectMissing, QStringLiteral("ブックが開かれていません。"));
        BusyGuard busy(fe_.shell.progress);
        fe_.reports.showDocument(workbook::sheetPrintImage(*book, sheetName, *zoom));
        shown_ << workbook::sheetImageName(sheetName);
    });
}

namespace {

code::CodeContext codeContext(const FrontEnd& fe, code::SourceCursor& cursor) {
    const auto& s = fe.session;
    const vba::Project* project = fe.intake.vbaProject();
    return code::CodeContext{
        project ? code::codeModules(*project) : code::CodeModules{},
        s.paths().dbPath,
        code::ModuleCounts{s.StdModuleCount, s.ClassModuleCount, s.FormModuleCount, fe.intake.unreadableCodeText()},
        fe.shell.messages,
        fe.shell.progress,
        cursor,
        [&intake = fe.intake] { intake.reopenIfNeeded(); },
    };
}

}  // namespace

void Commands::cmdKansu() {
    auto& s = fe_.session;
    code::ProcedureListOptions options;
    options.mode = s.optionValue(OptionGroup::Proc);
    options.kana = s.proc50();
    options.tablesMode = s.mark(Mark::Procedure);
    finishCode(code::runProcedureList(codeContext(fe_, cursor_), options), Mark::Procedure,
               QStringLiteral("cmdPPre"));
}

void Commands::cmdModule() {
    auto& s = fe_.session;
    code::SourceListOptions options;
    options.selection = s.optionValue(OptionGroup::Module);
    options.columns = s.optionValue(OptionGroup::MPrint);
    options.kana = s.mod50();
    options.tableSelection = s.mark(Mark::Source);
    finishCode(code::runSourceList(codeContext(fe_, cursor_), options), Mark::Source,
               QStringLiteral("cmdMPre"));
}

void Commands::cmdModStep() {
    finishCode(code::runModuleSteps(codeContext(fe_, cursor_)), Mark::ModuleSteps,
               QStringLiteral("cmdMSPre"));
}

void Commands::cmdComment() {
    finishCode(code::runCommentList(codeContext(fe_, cursor_)), Mark::Comments,
               QStringLiteral("cmdCOPre"));
}

void Commands::cmdHensu() {
    const code::CodeOutcome out = code::runVariables(codeContext(fe_, cursor_));
    finishCode(out, Mark::Variables, QStringLiteral("cmdHensuU"));
    if (out.end == code::CodeOutcome::End::Report)
        fe_.session.setEnabled({QStringLiteral("cmdHensuT"), QStringLiteral("cmdHensuH")}, true);
}

void Commands::cmdHensuReport(const QString& button) {
    show(code::variablesReport(button), false);
}

void Commands::cmdInyoSaki() {
    finishCode(code::runCitations(codeContext(fe_, cursor_)), Mark::Citations,
               QStringLiteral("cmdISPre"));
}

// A code command's end: the done mark, its preview button and the report, or
// the Exit command after an error the program cannot recover from.
void Commands::finishCode(const code::CodeOutcome& out, intake::Mark mark, const QString& previewButton) {
    if (out.end == code::CodeOutcome::End::Report) {
        fe_.session.setMark(mark, out.doneMark);
        fe_.session.setEnabled(previewButton, true);
        show(out.report, true);
    } else if (out.exitRequested && fe_.shell.exit) {
        fe_.shell.exit();
    }
}

namespace {

workbook::WorkbookContext workbookContext(const FrontEnd& fe) {
    return workbook::WorkbookContext{
        fe.session.paths().dbPath,
        fe.shell.messages,
        fe.shell.progress,
        [&intake = fe.intake] { return intake.workbook(); },
        [&intake = fe.intake] { intake.reopenIfNeeded(); },
        fe.session.workbookPath(),
        fe.session.paths().appFolder,
        [&intake = fe.intake] { return intake.vbaProject(); },
    };
}

}  // namespace

void Commands::cmdXlShape() {
    auto& s = fe_.session;
    workbook::ShapeOptions options;
    options.selection = s.optionValue(OptionGroup::Shape);
    options.tableSelection = s.mark(Mark::Shape);
    finishWorkbook(workbook::runShapeInventory(workbookContext(fe_), options), Mark::Shape,
                   QStringLiteral("cmdSPre"));
}

void Commands::cmdFile() {
    auto& s = fe_.session;
    workbook::FileOptions options;
    options.selection = s.optionValue(OptionGroup::File);
    options.tableSelection = s.mark(Mark::File);
    finishWorkbook(workbook::runFolderFiles(workbookContext(fe_), options), Mark::File,
                   QStringLiteral("cmdFPre"));
}

void Commands::cmdAddin() {
    finishWorkbook(workbook::runAddinList(workbookContext(fe_)), Mark::Addins, QStringLiteral("cmdADPre"));
}

void Commands::cmdObject() {
    auto& s = fe_.session;
    const workbook::ObjectOptions options{s.optionValue(OptionGroup::Object), s.mark(Mark::Object)};
    finishWorkbook(workbook::runObjectInventory(workbookContext(fe_), options), Mark::Object,
                   QStringLiteral("cmdOPre"));
}

void Commands::cmdCell(const QString& selectedSheet) {
    auto& s = fe_.session;
    workbook::CellOptions options;
    options.cellOption = s.optionValue(OptionGroup::Cell);
    options.sheetSelection = s.optionValue(OptionGroup::SSelect);
    options.selectedSheet = selectedSheet;
    options.cellMark = s.mark(Mark::Cell);
    options.sheetMark = s.mark(Mark::CellSheet);
    options.rememberedSheet = rememberedSheet_;
    int sheetMark = 0;
    const auto out = workbook::runCellInventory(workbookContext(fe_), options, sheetMark, rememberedSheet_);
    s.setMark(Mark::CellSheet, sheetMark);
    finishWorkbook(out, Mark::Cell, QStringLiteral("cmdCPre"));
}

void Commands::cmdName() {
    finishWorkbook(workbook::runNameList(workbookContext(fe_)), Mark::Names, QStringLiteral("cmdNPre"));
}

void Commands::cmdLinkMoto(const QString& chosen) {
    const auto out = workbook::runLinkSearch(workbookContext(fe_), chosen);
    if (out.end == code::CodeOutcome::End::Report)
        show(out.report, true);
    else if (out.exitRequested && fe_.shell.exit)
        fe_.shell.exit();
    // T_XlCalc no longer holds the cell list.
    if (out.collected) {
        fe_.session.setEnabled(QStringLiteral("cmdCPre"), false);
        fe_.session.setMark(Mark::Cell, 0);
    }
}

void Commands::cmdTimeCheck() {
    const auto out = workbook::runTimeEstimate(workbookContext(fe_));
    if (out.exitRequested && fe_.shell.exit) fe_.shell.exit();
}

// A workbook chapter's end. A run that emptied its tables and then failed
// leaves the mark at 0 and the preview button off: the rows are partial.
void Commands::finishWorkbook(const code::CodeOutcome& out, intake::Mark mark, const QString& previewButton) {
    if (out.end != code::CodeOutcome::End::Report && out.collected) {
        fe_.session.setMark(mark, 0);
        fe_.session.setEnabled(previewButton, false);
    }
    finishCode(out, mark, previewButton);
}

void Commands::preview(const QString& button) {
    const auto& s = fe_.session;
    PreviewOptions options;
    options.objectOption = s.optionValue(OptionGroup::Object);
    options.cellOption = s.optionValue(OptionGroup::Cell);
    options.columnOption = s.optionValue(OptionGroup::MPrint);
    options.proc50 = s.proc50();
    options.mod50 = s.mod50();
    show(previewReportFor(button, options), false);
}

}  // namespace tabulon::analyses
