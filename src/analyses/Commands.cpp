#include "analyses/Commands.h"

#include "analyses/code/ProcedureList.h"
#include "analyses/code/SourceList.h"
#include "analyses/workbook/AddinList.h"
#include "analyses/workbook/CoverPage.h"
#include "analyses/workbook/FolderFiles.h"
#include "analyses/workbook/ShapeInventory.h"
#include "reports/PreviewChoice.h"
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
        reports::announcePreview(fe_.shell.progress, fe_.startTimer ? fe_.startTimer : [](int) {});
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

namespace {

code::CodeContext codeContext(const FrontEnd& fe, code::SourceCursor& cursor) {
    const auto& s = fe.session;
    return code::CodeContext{
        s.paths().tempFolder,
        s.paths().dbPath,
        code::ModuleCounts{s.StdModuleCount, s.ClassModuleCount, s.FormModuleCount},
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

// The workbook-content chapters: shapes, files, add-ins.
namespace {

workbook::WorkbookContext workbookContext(const FrontEnd& fe, const code::CodeContext& base) {
    const auto& s = fe.session;
    return workbook::WorkbookContext{base, [&intake = fe.intake] { return intake.workbook(); },
                                     s.workbookPath(), s.ModuleSheetCount, s.paths().appFolder};
}

}  // namespace

void Commands::cmdXlShape() {
    auto& s = fe_.session;
    const code::CodeContext base = codeContext(fe_, cursor_);
    workbook::ShapeOptions options;
    options.selection = s.optionValue(OptionGroup::Shape);
    options.tableSelection = s.mark(Mark::Shape);
    finishCode(workbook::runShapeInventory(workbookContext(fe_, base), options), Mark::Shape,
               QStringLiteral("cmdSPre"));
}

void Commands::cmdFile() {
    auto& s = fe_.session;
    const code::CodeContext base = codeContext(fe_, cursor_);
    workbook::FileOptions options;
    options.selection = s.optionValue(OptionGroup::File);
    options.tableSelection = s.mark(Mark::File);
    finishCode(workbook::runFolderFiles(workbookContext(fe_, base), options), Mark::File,
               QStringLiteral("cmdFPre"));
}

void Commands::cmdAddin() {
    const code::CodeContext base = codeContext(fe_, cursor_);
    finishCode(workbook::runAddinList(workbookContext(fe_, base)), Mark::Addins, QStringLiteral("cmdADPre"));
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

void Commands::preview(const QString& button) {
    const auto& s = fe_.session;
    reports::PreviewOptions options;
    options.objectOption = s.optionValue(OptionGroup::Object);
    options.cellOption = s.optionValue(OptionGroup::Cell);
    options.columnOption = s.optionValue(OptionGroup::MPrint);
    options.proc50 = s.proc50();
    options.mod50 = s.mod50();
    show(reports::previewReportFor(button, options), false);
}

}  // namespace tabulon::analyses
