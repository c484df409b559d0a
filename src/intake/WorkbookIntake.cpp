#include "intake/WorkbookIntake.h"

#include "common/Blanks.h"
#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/vba/LegacyProject.h"
#include "host/vba/Project.h"
#include "intake/ProjectCode.h"
#include "store/Database.h"

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

QString readWarningStatus(int count) {
    return QStringLiteral("読み込みの警告 %1 件: ブックの壊れている箇所を読み飛ばしました。").arg(count);
}

namespace {

// The box for a file the reader refuses: the file, and why in plain words;
// the reader's technical account goes to the details.
void explainRefusal(MessagePort& messages, const host::ReadError& e, const QString& path) {
    const QString detail = e.technical() + e.detail().text();
    messages.refusal(QStringLiteral("「%1」を開けません。\r理由: %2")
                         .arg(QFileInfo(path).fileName(), host::readFailureText(e.kind())),
                     detail.trimmed());
}

}  // namespace

namespace {
// The newer formats open as the same application as the .xls they replaced.
constexpr const char* kWorkbookEndings[] = {".xls", ".xlsx", ".xlsm", ".xlsb", ".xltx", ".xltm", ".xlam", ".xlt", ".xla"};
}  // namespace

bool isWorkbookFileName(const QString& path) {
    for (const char* ending : kWorkbookEndings)
        if (path.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return true;
    return false;
}

QString workbookFileFilter() {
    QStringList patterns;
    for (const char* ending : kWorkbookEndings) patterns << QLatin1Char('*') + QLatin1String(ending);
    return QStringLiteral("Excel(%1)").arg(patterns.join(QLatin1Char(';')));
}

WorkbookIntake::WorkbookIntake(Session& session, const CommandShell& shell, IntakeHooks hooks)
    : session_(session), shell_(shell), hooks_(std::move(hooks)) {}

bool WorkbookIntake::open(const QString& path) {
    if (path.isEmpty())
        return false;
    if (!isWorkbookFileName(path)) {
        explainRefusal(shell_.messages,
                       host::ReadError(host::ReadFailure::NotWorkbook, path,
                                       QStringLiteral("the file name does not end in .xls, .xlsx, .xlsm, .xlsb, "
                                                      ".xltx, .xltm, .xlam, .xlt or .xla")),
                       path);
        return false;
    }
    bool opened = false;
    std::optional<host::ReadError> refused;
    const bool completed = runGuarded(shell_, kIntakePlace, [&] {
        BusyGuard busy(shell_.progress);
        // Everything the file holds is read before anything changes.
        // The VBA project comes from the same reading of the file.
        std::optional<host::Workbook> book;
        std::shared_ptr<const vba::Project> project;
        bool projectDamaged = false;
        try {
            book = host::Workbook::load(path, hooks_.password);
            project = readProject(*book, projectDamaged);
        } catch (const host::ReadError& e) {
            refused = e;
            return;
        }

        // From here the new workbook takes the old one's place. Every intake
        // starts from an empty working folder: modules left by an earlier
        // workbook (or an earlier run) would be documented with this one's.
        workbook_ = std::move(book);
        project_ = std::move(project);
        projectDamaged_ = projectDamaged;
        // What the reader skipped, and a project it could not read at all,
        // leave the documentation incomplete.
        session_.readWarnings = workbook_->warnings();
        if (project_)
            session_.readWarnings += project_->warnings();
        if (projectDamaged_)
            session_.readWarnings << host::readFailureText(host::ReadFailure::ProjectDamaged);
        session_.setWorkbookPath(path);
        clearWorkingFolder(session_.paths().tempFolder);
        QDir().mkpath(session_.paths().tempFolder);
        session_.StdModuleCount = session_.ClassModuleCount = session_.FormModuleCount = 0;
        session_.UnreadableProject = false;
        shell_.progress.progress(0);
        if (project_)
            exportModules(*project_);
        fillLists();
        resetTitleTable();
        fillCover();
        enableCommands();
        opened = true;
    });
    if (refused)
        explainRefusal(shell_.messages, *refused, path);
    return completed && opened;
}

// A damaged VBA project costs the code chapters only: the workbook's own
// data was read apart from it, and its chapters are documented.
std::shared_ptr<const vba::Project> WorkbookIntake::readProject(const host::Workbook& book, bool& damaged) {
    try {
        return book.vbaProject();
    } catch (const host::ReadError& e) {
        if (e.kind() != host::ReadFailure::ProjectDamaged)
            throw;
        damaged = true;
        return nullptr;
    }
}

// A project locked for viewing is not exported: its code stays unread, as
// its author wished, while the workbook chapters go on.
void WorkbookIntake::exportModules(const vba::Project& project) {
    if (!project.isPresent()) {
        session_.UnreadableProject = workbook_->hasUnreadableMacros();
        return;
    }
    if (project.isProtected())
        return;
    const vba::ExportResult result = project.exportAll(session_.paths().tempFolder);
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
    db->clearTable(QStringLiteral("T_XlTitle"));
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

void WorkbookIntake::enableCommands() {
    session_.setEnabled({Command::Objects, Command::Cells, Command::Procedures, Command::Shapes,
                         Command::SheetPrint, Command::TimeEstimate, Command::SaveCoverDefaults,
                         Command::Cover},
                        true);
    // Code in a module of any kind enables the code commands (as their guard
    // counts it); macros that cannot be read leave them enabled too: they tell
    // the user why there is nothing to list.
    session_.setEnabled({Command::ModuleSteps, Command::Procedures, Command::Sources,
                         Command::CollectVariables},
                        hasCode() || !unreadableCodeText().isEmpty());
    // No stored result belongs to this workbook yet: a preview would show
    // the previous workbook's rows under this one's name.
    session_.disablePreviews();
    session_.clearMarks();
    // A workbook read with gaps says so where the user looks next.
    shell_.progress.status(session_.readWarnings.isEmpty() ? QString()
                                                           : readWarningStatus(int(session_.readWarnings.size())));
    shell_.progress.progress(0);
    shell_.progress.showGauge(false);
    if (hooks_.screenSaver)
        hooks_.screenSaver(false);
    session_.setEnabled({Command::Names, Command::Files, Command::Comments, Command::Citations,
                         Command::LinkSearch, Command::Addins},
                        true);
}

QString WorkbookIntake::unreadableCodeText() const {
    if (projectDamaged_)
        return host::readFailureText(host::ReadFailure::ProjectDamaged) + QStringLiteral("\r") + kChaptersLeftText;
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
    projectDamaged_ = false;
}

}  // namespace tabulon::intake
