#include "intake/WorkbookIntake.h"

#include "common/Blanks.h"
#include "common/Error.h"
#include "host/vba/LegacyProject.h"
#include "intake/ProjectCode.h"
#include "store/Database.h"
#include "store/ResetStatements.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace tabulon::intake {

void clearWorkingFolder(const QString& folder) {
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
}

WorkbookIntake::WorkbookIntake(Session& session, const CommandShell& shell, IntakeHooks hooks)
    : session_(session), shell_(shell), hooks_(std::move(hooks)) {}

bool WorkbookIntake::run(IntakeRoute route, const std::function<QString()>& choose) {
    bool opened = false;
    const bool completed = runGuarded(shell_, kIntakePlace, [&] {
        const QString previous = session_.workbookPath();
        if (!previous.isEmpty() && session_.ExcelActive != Session::NoWorkbookLoaded)
            close();
        // Every intake starts from an empty working folder: modules left by
        // an earlier workbook (or an earlier run) would be documented with
        // this workbook's own.
        clearWorkingFolder(session_.paths().tempFolder);
        if (hooks_.renewReportEngine)
            hooks_.renewReportEngine();
        session_.AccessState = Session::EngineFromIntake;

        const QString path = choose ? choose() : QString();
        session_.setWorkbookPath(path);
        if (route == IntakeRoute::Dialog)
            QDir().mkpath(session_.paths().tempFolder);  // an existing folder is fine

        BusyGuard busy(shell_.progress);
        if (!path.toUpper().endsWith(QLatin1String(".XLS")))
            return;

        load(path);
        exportModules();
        fillLists();
        resetTitleTable();
        fillCover();
        enableCommands(route);
        opened = true;
    });
    return completed && opened;
}

void WorkbookIntake::load(const QString& path) {
    workbook_.reset();
    project_.reset();
    password_.reset();
    const xls::PasswordAsk ask = [this](int attempt) -> std::optional<QString> {
        if (!hooks_.password) return std::nullopt;
        password_ = hooks_.password(attempt);
        return password_;
    };
    workbook_ = host::Workbook::load(path, ask);
    session_.ExcelActive = Session::WorkbookLoaded;
    session_.WorkbookReopen = false;
    session_.StdModuleCount = session_.ClassModuleCount = session_.FormModuleCount = 0;
    session_.UnreadableProject = false;
    shell_.progress.progress(0);
}

// A project locked for viewing is not exported: its code stays unread, as
// its author wished, while the workbook chapters go on.
void WorkbookIntake::exportModules() {
    project_ = vba::Project::load(session_.workbookPath());
    if (!project_->isPresent()) {
        session_.UnreadableProject = vba::hasUnreadableProject(session_.workbookPath(), workbook_->model());
        return;
    }
    if (project_->isProtected())
        return;
    const vba::ExportResult result = project_->exportAll(session_.paths().tempFolder);
    session_.StdModuleCount = result.standardCount;
    session_.ClassModuleCount = result.classCount;
    session_.FormModuleCount = result.formCount;
}

void WorkbookIntake::fillLists() {
    shell_.progress.status(QStringLiteral("シート名　取得中"));
    session_.ModuleSheetCount = 0;
    QStringList sheets;
    for (int i = 1; i <= workbook_->sheetCount(); ++i) {
        const QString name = workbook_->sheet(i).name();
        if (name.left(6).toUpper() == QLatin1String("MODULE"))
            ++session_.ModuleSheetCount;
        else
            sheets << name;
    }
    session_.LinkSourceList = workbook_->linkSources(host::LinkExcel);
    QStringList links;
    for (const QString& link : session_.LinkSourceList)
        links << trimBlanks(link.left(255));
    session_.setLists(sheets, links);
}

void WorkbookIntake::resetTitleTable() {
    auto db = store::Database::open(session_.paths().dbPath);
    store::CommandScope scope(*db);
    db->execute(QString::fromLatin1(store::reset::XlTitle));
}

QString WorkbookIntake::propertyText(const host::Workbook& book, int position) {
    const QVariant v = book.builtinProperty(position);
    return v.isValid() ? v.toString() : QString();
}

void WorkbookIntake::fillCover() {
    const BasicInfo held = readBasicInfo(session_.paths().datPath);
    session_.heldDefaults = held;
    Cover cover = session_.cover();
    cover.title = held.title.isEmpty() ? QStringLiteral("プログラム仕様書") : held.title;
    cover.company = trimBlanks(held.company).isEmpty() ? propertyText(*workbook_, 21) : held.company;
    cover.bumon = trimBlanks(held.bumon).isEmpty() ? QString() : held.bumon;
    cover.zoom = trimBlanks(held.zoom).isEmpty() ? QStringLiteral("98") : held.zoom;
    cover.date = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    cover.system = propertyText(*workbook_, 1);
    cover.auther = propertyText(*workbook_, 3);
    session_.setCover(cover);
}

void WorkbookIntake::enableCommands(IntakeRoute route) {
    session_.setEnabled({"cmdObject", "cmdCell", "cmdKansu", "cmdXlShape", "cmdSheet", "cmdTimeCheck",
                         "cmdSave", "cmdHyousi_0", "cmdHyousi_1", "cmdHyousi_2"},
                        true);
    // Code in a module of any kind enables the code commands (as their guard
    // counts it); macros that cannot be read leave them enabled too: they tell
    // the user why there is nothing to list.
    session_.setEnabled({"cmdModStep", "cmdKansu", "cmdModule", "cmdHensu"},
                        hasCode() || !unreadableCodeText().isEmpty());
    session_.setEnabled({"cmdHensuU", "cmdHensuT", "cmdHensuH"}, false);
    if (route == IntakeRoute::Dialog)
        session_.setEnabled({"cmdOPre", "cmdCPre", "cmdPPre", "cmdFPre", "cmdMPre", "cmdNPre", "cmdSPre",
                             "cmdCOPre", "cmdMSPre", "cmdADPre"},
                            false);
    session_.clearMarks();
    shell_.progress.status(QString());
    shell_.progress.progress(0);
    shell_.progress.showGauge(false);
    if (hooks_.screenSaver)
        hooks_.screenSaver(false);
    session_.setEnabled({"cmdName", "cmdFile", "cmdComment", "cmdInyoSaki", "cmdLinkMoto", "cmdAddin"}, true);
}

void WorkbookIntake::reopenIfNeeded() {
    if (!session_.WorkbookReopen)
        return;
    const std::optional<QString> known = password_;
    workbook_ = host::Workbook::load(session_.workbookPath(), [known](int attempt) {
        return attempt == 0 ? known : std::nullopt;
    });
    session_.ExcelActive = Session::WorkbookLoaded;
    session_.WorkbookReopen = false;
}

QString WorkbookIntake::unreadableCodeText() const {
    if (project_ && project_->isPresent() && project_->isProtected())
        return kLockedProjectText;
    if (session_.UnreadableProject)
        return vba::unreadableProjectText();
    return QString();
}

bool WorkbookIntake::hasCode() const {
    if (!project_)
        return false;
    const QList<vba::Component>& components = project_->components();
    return std::any_of(components.begin(), components.end(),
                       [](const vba::Component& c) { return holdsCode(c.exportText); });
}

void WorkbookIntake::close() {
    workbook_.reset();
    project_.reset();
    password_.reset();
}

}  // namespace tabulon::intake
