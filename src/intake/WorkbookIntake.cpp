#include "intake/WorkbookIntake.h"

#include "common/Blanks.h"
#include "common/Error.h"
#include "host/vba/LegacyProject.h"
#include "host/vba/Project.h"
#include "store/Database.h"
#include "store/ResetStatements.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

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

const QString kProtectedText = QStringLiteral(
    "プロジェクトが保護されています。\r保護を解除してから選択下さい。\r本ソフトを終了します。");

}  // namespace

WorkbookIntake::WorkbookIntake(Session& session, const CommandShell& shell, IntakeHooks hooks)
    : session_(session), shell_(shell), hooks_(std::move(hooks)) {}

bool WorkbookIntake::run(IntakeRoute route, const std::function<QString()>& choose) {
    bool opened = false;
    bool protectedProject = false;
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
        try {
            exportModules();
        } catch (const Error& e) {
            if (e.number() != err::ProjectProtected)
                throw;
            protectedProject = true;
            return;
        }
        fillLists();
        resetTitleTable();
        fillCover();
        enableCommands(route);
        opened = true;
    });
    if (completed && protectedProject) {
        shell_.messages.message(kProtectedText);
        shell_.progress.busy(false);
        if (shell_.exit)
            shell_.exit();
    }
    return completed && opened;
}

void WorkbookIntake::load(const QString& path) {
    workbook_.reset();
    password_.reset();
    const xls::PasswordAsk ask = [this](int attempt) -> std::optional<QString> {
        if (!hooks_.password) return std::nullopt;
        password_ = hooks_.password(attempt);
        return password_;
    };
    workbook_ = host::Workbook::load(path, ask);
    session_.readWarnings = workbook_->warnings();
    session_.ExcelActive = Session::WorkbookLoaded;
    session_.WorkbookReopen = false;
    session_.StdModuleCount = session_.ClassModuleCount = session_.FormModuleCount = 0;
    session_.UnreadableProject = false;
    shell_.progress.progress(0);
}

void WorkbookIntake::exportModules() {
    const vba::Project project = vba::Project::load(session_.workbookPath());
    session_.readWarnings += project.warnings();
    if (!project.isPresent()) {
        session_.UnreadableProject = vba::hasUnreadableProject(session_.workbookPath(), workbook_->model());
        return;
    }
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
    // Macros the exporter cannot read leave the code commands enabled: they
    // tell the user why there is nothing to list.
    session_.setEnabled({"cmdModStep", "cmdKansu", "cmdModule", "cmdHensu"},
                        session_.hasModules() || session_.UnreadableProject);
    session_.setEnabled({"cmdHensuU", "cmdHensuT", "cmdHensuH"}, false);
    if (route == IntakeRoute::Dialog)
        session_.setEnabled({"cmdOPre", "cmdCPre", "cmdPPre", "cmdFPre", "cmdMPre", "cmdNPre", "cmdSPre",
                             "cmdCOPre", "cmdMSPre", "cmdADPre"},
                            false);
    session_.clearMarks();
    // A workbook read with gaps says so where the user looks next.
    shell_.progress.status(session_.readWarnings.isEmpty() ? QString()
                                                           : readWarningStatus(int(session_.readWarnings.size())));
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

void WorkbookIntake::close() {
    workbook_.reset();
    password_.reset();
}

}  // namespace tabulon::intake
