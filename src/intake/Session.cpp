#include "intake/Session.h"

namespace tabulon::intake {
namespace {

// Off from start-up until a workbook is open.
constexpr Command kNeedAWorkbook[] = {
    Command::Cover, Command::Objects, Command::Cells, Command::Procedures, Command::Sources,
    Command::Shapes, Command::CollectVariables, Command::VariableLists, Command::Names,
    Command::SheetPrint, Command::Files, Command::Comments, Command::ModuleSteps, Command::Addins,
    Command::Citations, Command::LinkSearch, Command::TimeEstimate, Command::SaveCoverDefaults,
    Command::ChooseCellSheet};

// Off until their chapter has run (or a results file holding it is loaded).
constexpr Command kPreviews[] = {
    Command::PreviewObjects, Command::PreviewCells, Command::PreviewProcedures,
    Command::PreviewSources, Command::PreviewShapes, Command::PreviewNames, Command::PreviewFiles,
    Command::PreviewComments, Command::PreviewModuleSteps, Command::PreviewAddins,
    Command::PreviewCitations, Command::VariableLists};

}  // namespace

double gaugeEndTwips(int percent) {
    return percent == 100 ? kGaugeTwips : kGaugeTwips / 100.0 * percent;
}

QString percentCaption(int percent) { return QString::number(percent) + u'%'; }

Session::Session(AppPaths paths, QObject* parent) : QObject(parent), paths_(std::move(paths)) {
    enabled_.fill(true);
    // Until start-up has run, nothing that needs a workbook is usable.
    for (Command c : kNeedAWorkbook) enabled_[size_t(c)] = false;
    for (Command c : kPreviews) enabled_[size_t(c)] = false;
}

void Session::setEnabled(Command command, bool on) {
    bool& state = enabled_[size_t(command)];
    if (state == on)
        return;
    state = on;
    emit statesChanged();
}

void Session::setEnabled(std::initializer_list<Command> commands, bool on) {
    for (Command c : commands)
        setEnabled(c, on);
}

void Session::applyStartupStates() {
    for (Command c : kNeedAWorkbook) setEnabled(c, false);
    for (Command c : kPreviews) setEnabled(c, false);
    options_ = Options{};
    emit statesChanged();
}

void Session::disablePreviews() {
    for (Command c : kPreviews) setEnabled(c, false);
}

void Session::MenuLock() {
    setEnabled({Command::SelectWorkbook, Command::SaveResults, Command::LoadResults, Command::Settings},
               false);
}

void Session::optionChosen(std::optional<Command> preview) {
    if (preview)
        setEnabled(*preview, false);
    emit statesChanged();
}

void Session::setOption(ObjectOption v) { options_.object = v; optionChosen(Command::PreviewObjects); }
void Session::setOption(CellOption v) { options_.cell = v; optionChosen(Command::PreviewCells); }
void Session::setOption(ProcedureOption v) { options_.procedures = v; optionChosen(Command::PreviewProcedures); }
void Session::setOption(ModuleSelection v) { options_.modules = v; optionChosen(Command::PreviewSources); }
void Session::setOption(ShapeSelection v) { options_.shapes = v; optionChosen(Command::PreviewShapes); }
void Session::setOption(FileSelection v) { options_.files = v; optionChosen(Command::PreviewFiles); }
// The column option and the kana orders only choose among the reports of
// the same rows.
void Session::setOption(SourceColumns v) { options_.columns = v; optionChosen(std::nullopt); }
void Session::setProcedureKana(bool on) { options_.procedureKana = on; optionChosen(std::nullopt); }
void Session::setSourceKana(bool on) { options_.sourceKana = on; optionChosen(std::nullopt); }

void Session::setOption(SheetSelection v) {
    options_.sheets = v;
    setEnabled(Command::ChooseCellSheet, v == SheetSelection::SelectedSheet);
    optionChosen(std::nullopt);
}

bool Session::hasModules() const {
    return StdModuleCount > 0 || ClassModuleCount > 0 || FormModuleCount > 0;
}

void Session::setWorkbookPath(const QString& path) {
    if (workbookPath_ == path)
        return;
    workbookPath_ = path;
    emit workbookChanged();
}

void Session::setLists(const QStringList& sheets, const QStringList& links) {
    sheetNames_ = sheets;
    linkItems_ = links;
    emit listsChanged();
}

void Session::setCover(const Cover& cover) {
    if (cover_ == cover)
        return;
    cover_ = cover;
    emit coverChanged();
}

}  // namespace tabulon::intake
