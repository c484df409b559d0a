#include "analyses/Commands.h"

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

using intake::Chapter;
using intake::Mark;

Commands::Commands(FrontEnd frontEnd) : fe_(std::move(frontEnd)) {}

void Commands::show(Chapter chapter, bool announce) {
    const std::optional<intake::Report> report = intake::reportOf(chapter, fe_.session.options());
    if (!report)
        return;
    const QString name = intake::reportName(*report);
    fe_.reports.showReport(fe_.session.paths().dbPath, name);
    shown_ << name;
    if (announce && fe_.reportShown)
        fe_.reportShown();
}

void Commands::cover(Chapter page) {
    const bool done = intake::runGuarded(fe_.shell, workbook::CoverPlace, [&] {
        auto db = store::Database::open(fe_.session.paths().dbPath);
        BusyGuard busy(fe_.shell.progress);
        store::CommandScope scope(*db);
        fe_.shell.progress.status(workbook::CoverCollectingText);
        workbook::writeCoverRow(*db, workbook::coverRow(fe_.session.cover()));
        fe_.shell.progress.status(QStringLiteral("終了しました"));
    });
    if (done)
        show(page, true);
}

void Commands::sheetPrint(const QString& sheetName) {
    const std::optional<int> zoom = workbook::sheetZoom(fe_.session.cover().zoom);
    if (!zoom) {
        fe_.shell.messages.refusal(workbook::ZoomRangeText, {});
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
    };
}

workbook::WorkbookContext workbookContext(const FrontEnd& fe) {
    return workbook::WorkbookContext{
        fe.session.paths().dbPath,
        fe.shell.messages,
        fe.shell.progress,
        [&intake = fe.intake] { return intake.workbook(); },
        fe.session.workbookPath(),
        fe.session.paths().appFolder,
    };
}

}  // namespace

void Commands::procedures() {
    const auto& s = fe_.session;
    code::ProcedureListOptions options;
    options.mode = s.options().procedures;
    options.tablesMode = s.mark(Mark::Procedure);
    finish(code::runProcedureList(codeContext(fe_, cursor_), options), Chapter::Procedures, Mark::Procedure);
}

void Commands::sources() {
    const auto& s = fe_.session;
    code::SourceListOptions options;
    options.selection = s.options().modules;
    options.tableSelection = s.mark(Mark::Source);
    finish(code::runSourceList(codeContext(fe_, cursor_), options), Chapter::Sources, Mark::Source);
}

void Commands::moduleSteps() {
    finish(code::runModuleSteps(codeContext(fe_, cursor_)), Chapter::ModuleSteps, Mark::ModuleSteps);
}

void Commands::comments() {
    finish(code::runCommentList(codeContext(fe_, cursor_)), Chapter::Comments, Mark::Comments);
}

void Commands::collectVariables() {
    finish(code::runVariables(codeContext(fe_, cursor_)), Chapter::Variables, Mark::Variables);
}

void Commands::citations() {
    finish(code::runCitations(codeContext(fe_, cursor_)), Chapter::Citations, Mark::Citations);
}

void Commands::shapes() {
    const auto& s = fe_.session;
    workbook::ShapeOptions options;
    options.selection = s.options().shapes;
    options.tableSelection = s.mark(Mark::Shape);
    finish(workbook::runShapeInventory(workbookContext(fe_), options), Chapter::Shapes, Mark::Shape);
}

void Commands::files() {
    const auto& s = fe_.session;
    workbook::FileOptions options;
    options.selection = s.options().files;
    options.tableSelection = s.mark(Mark::File);
    finish(workbook::runFolderFiles(workbookContext(fe_), options), Chapter::Files, Mark::File);
}

void Commands::addins() {
    finish(workbook::runAddinList(workbookContext(fe_)), Chapter::Addins, Mark::Addins);
}

void Commands::objects() {
    const auto& s = fe_.session;
    const workbook::ObjectOptions options{s.options().object, s.mark(Mark::Object)};
    finish(workbook::runObjectInventory(workbookContext(fe_), options), Chapter::Objects, Mark::Object);
}

void Commands::cells(const QString& selectedSheet) {
    auto& s = fe_.session;
    workbook::CellOptions options;
    options.cellOption = s.options().cell;
    options.sheetSelection = s.options().sheets;
    options.selectedSheet = selectedSheet;
    options.cellMark = s.mark(Mark::Cell);
    options.sheetMark = s.mark(Mark::CellSheet);
    options.rememberedSheet = rememberedSheet_;
    int sheetMark = 0;
    const auto out = workbook::runCellInventory(workbookContext(fe_), options, sheetMark, rememberedSheet_);
    s.setMark(Mark::CellSheet, sheetMark);
    finish(out, Chapter::Cells, Mark::Cell);
}

void Commands::names() {
    finish(workbook::runNameList(workbookContext(fe_)), Chapter::Names, Mark::Names);
}

void Commands::linkSearch(const QString& linkSource) {
    const auto out = workbook::runLinkSearch(workbookContext(fe_), linkSource);
    if (out.end == code::CodeOutcome::End::Report)
        show(Chapter::LinkSearch, true);
    else if (out.exitRequested && fe_.shell.exit)
        fe_.shell.exit();
    // The cell list's table now holds the search's cells.
    if (out.collected) {
        fe_.session.setEnabled(intake::Command::PreviewCells, false);
        fe_.session.setMark(Mark::Cell, 0);
    }
}

void Commands::timeEstimate() {
    const auto out = workbook::runTimeEstimate(workbookContext(fe_));
    if (out.exitRequested && fe_.shell.exit) fe_.shell.exit();
}

// A chapter's end: its done mark, its preview and its report; or, after an
// error the program cannot recover from, the Exit command. A run that emptied
// its tables and then failed leaves the mark at 0 and the preview off: the
// rows are partial.
void Commands::finish(const code::CodeOutcome& out, Chapter chapter, Mark mark) {
    const std::optional<intake::Command> preview = intake::previewOf(chapter);
    if (out.end == code::CodeOutcome::End::Report) {
        fe_.session.setMark(mark, out.doneMark);
        if (preview) fe_.session.setEnabled(*preview, true);
        show(chapter, true);
        return;
    }
    if (out.collected) {
        fe_.session.setMark(mark, 0);
        if (preview) fe_.session.setEnabled(*preview, false);
    }
    if (out.exitRequested && fe_.shell.exit)
        fe_.shell.exit();
}

void Commands::preview(Chapter chapter) { show(chapter, false); }

}  // namespace tabulon::analyses
