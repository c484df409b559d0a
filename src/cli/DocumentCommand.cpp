#include "cli/DocumentCommand.h"

#include "analyses/Commands.h"
#include "analyses/ResultsCommands.h"
#include "cli/DocumentOptions.h"
#include "cli/DocumentOutput.h"
#include "cli/PasswordOption.h"
#include "cli/TerminalPorts.h"
#include "common/Error.h"
#include "common/Guard.h"
#include "common/SafeFile.h"
#include "host/vba/Project.h"
#include "intake/AppPaths.h"
#include "intake/RunFolder.h"

#include <QFileInfo>
#include <functional>
#include <optional>

namespace tabulon::cli {
namespace {

const QString kPlace = QStringLiteral("tabulon document");

// One chapter of the documentation and the command that makes it.
struct Chapter {
    QString title;
    intake::Chapter chapter;  // its command's state says whether it applies
    std::function<void()> run;
    // Whether the run made its part of the documentation; unset: it showed
    // a report.
    std::function<bool()> made = {};
    // Whether the chapter applies beyond its command's state; unset: it does.
    std::function<bool()> applies = {};
};

// One run of `tabulon document`, in the order its parts happen: a working
// folder of its own, the intake, the options the workbook decides, the
// chapters, the results file, the PDFs.
class DocumentRun {
public:
    DocumentRun(DocumentOptions options, QTextStream& out, QTextStream& err)
        : options_(std::move(options)), out_(out), err_(err), messages_(out, err), progress_(out, err),
          reports_(preview_, messages_), shell_{messages_, progress_, [this] { exitRequested_ = true; }} {}

    int run();

private:
    bool setUp();
    bool takeIn();
    std::vector<Chapter> chapters();
    void runChapters();
    void recordPart(const QString& title, bool made);
    void save();
    void printReadWarnings();
    bool writeFiles();
    bool lockedAway(const QStringList& boxes) const;

    DocumentOptions options_;
    QTextStream& out_;
    QTextStream& err_;
    TerminalMessages messages_;
    TerminalProgress progress_;
    CollectingPreview preview_;
    reports::ReportService reports_;
    bool exitRequested_ = false;
    intake::CommandShell shell_;
    std::optional<intake::RunFolder> folder_;
    std::optional<intake::Session> session_;
    std::optional<intake::WorkbookIntake> intake_;
    std::optional<analyses::Commands> commands_;
    Gaps gaps_;
};

int DocumentRun::run() {
    // An output folder that cannot take the files ends the run before the
    // work, as a refused option does.
    if (const int failed = folderUnwritable(options_.outputFolder)) {
        err_ << terminalLines(outputFolderProblem(options_.outputFolder, failed)) << Qt::endl;
        return 2;
    }
    if (!setUp() || !takeIn()) return 1;
    if (const QString refused = refusedByWorkbook(options_, *session_); !refused.isEmpty()) {
        err_ << terminalLines(refused) << Qt::endl;
        return 2;
    }
    applyOptions(options_, *session_);
    printReadWarnings();
    runChapters();
    if (!options_.saveTo.isEmpty() && !exitRequested_) save();
    if (!writeFiles()) return 1;
    if (exitRequested_) return 1;
    return gaps_.empty() ? 0 : 3;
}

// The program folder is settled and installed; the run works in a folder of
// its own, on a copy of the program's analysis database.
bool DocumentRun::setUp() {
    const auto failure = guardedRun(kPlace, [&] {
        const intake::AppPaths program = intake::AppPaths::forFolder(intake::resolveAppFolder({}));
        intake::ensureInstalled(program);
        folder_.emplace(program);
        session_.emplace(folder_->ownPaths());
    });
    if (failure) {
        err_ << terminalLines(failure->text()) << Qt::endl;
        return false;
    }
    session_->applyStartupStates();
    intake_.emplace(*session_, shell_, intake::IntakeHooks{{}, commandLinePassword(options_.password)});
    commands_.emplace(analyses::FrontEnd{*session_, shell_, reports_, *intake_, {}});
    return true;
}

bool DocumentRun::takeIn() {
    progress_.chapter(QStringLiteral("解析ファイルの読込: ") + options_.workbook);
    if (intake_->open(options_.workbook)) return true;
    if (!messages_.anyErrors()) err_ << QStringLiteral("ブックを開けませんでした: ") << options_.workbook << Qt::endl;
    return false;
}

// What the reader skipped goes to the terminal at once; the documentation
// closes with it.
void DocumentRun::printReadWarnings() {
    gaps_.readWarnings = session_->readWarnings;
    if (gaps_.readWarnings.isEmpty()) return;
    err_ << QStringLiteral("読み込みの警告: ブックの一部が壊れていたため、読み飛ばした箇所があります（%1 件）。")
                .arg(gaps_.readWarnings.size())
         << Qt::endl;
    for (const QString& warning : gaps_.readWarnings) err_ << "  " << warning << Qt::endl;
}

// The chapters in the order of the main window, frame by frame; the time
// estimate first, as a warning before the slow ones.
std::vector<Chapter> DocumentRun::chapters() {
    using intake::Chapter;
    analyses::Commands& c = *commands_;
    // Each sheet's image is a part of its own.
    const auto printSheets = [this, &c] {
        for (const QString& sheet : printedSheets(options_, *session_)) {
            if (exitRequested_) break;
            const QString title = QStringLiteral("シート印刷: ") + sheet;
            progress_.chapter(title);
            const qsizetype before = c.shownReports().size();
            c.sheetPrint(sheet);
            recordPart(title, c.shownReports().size() > before);
        }
    };
    const auto always = [] { return true; };
    const QString link = chosenLink(options_, *session_);
    const QString sheet = selectedSheet(options_, *session_);
    return {
        {QStringLiteral("表紙"), Chapter::Cover, [&c] { c.cover(Chapter::Cover); }},
        {QStringLiteral("ラベル(縦)"), Chapter::SpineLabel, [&c] { c.cover(Chapter::SpineLabel); }},
        {QStringLiteral("ラベル(横)"), Chapter::FrontLabel, [&c] { c.cover(Chapter::FrontLabel); }},
        {QStringLiteral("処理時間　事前確認"), Chapter::TimeEstimate, [&c] { c.timeEstimate(); }, always},
        {QStringLiteral("オブジェクト一覧"), Chapter::Objects, [&c] { c.objects(); }},
        {QStringLiteral("セル情報リスト"), Chapter::Cells, [&c, sheet] { c.cells(sheet); }},
        {QStringLiteral("プロシージャ一覧"), Chapter::Procedures, [&c] { c.procedures(); }},
        {QStringLiteral("モジュールリスト"), Chapter::Sources, [&c] { c.sources(); }},
        {QStringLiteral("図形一覧"), Chapter::Shapes, [&c] { c.shapes(); }},
        // Gathers what the three lists after it print.
        {QStringLiteral("変数情報取得"), Chapter::Variables, [&c] { c.collectVariables(); },
         [this] { return session_->isEnabled(intake::Command::VariableLists); }},
        {QStringLiteral("定義型一覧"), Chapter::UserTypes, [&c] { c.preview(Chapter::UserTypes); }},
        {QStringLiteral("定数一覧"), Chapter::Constants, [&c] { c.preview(Chapter::Constants); }},
        {QStringLiteral("変数一覧"), Chapter::VariableList, [&c] { c.preview(Chapter::VariableList); }},
        {QStringLiteral("名前一覧"), Chapter::Names, [&c] { c.names(); }},
        {QStringLiteral("シート印刷"), Chapter::SheetPrint, printSheets, always},
        {QStringLiteral("ファイル一覧"), Chapter::Files, [&c] { c.files(); }},
        // Offered for every workbook; without code (in a module of any kind,
        // or code that cannot be read) it has nothing to list, as the other
        // code chapters.
        {QStringLiteral("コメント一覧"), Chapter::Comments, [&c] { c.comments(); }, {},
         [this] { return session_->isEnabled(intake::Command::Sources); }},
        {QStringLiteral("ﾓｼﾞｭｰﾙ･ｽﾃｯﾌﾟ"), Chapter::ModuleSteps, [&c] { c.moduleSteps(); }},
        {QStringLiteral("アドイン一覧"), Chapter::Addins, [&c] { c.addins(); }},
        {QStringLiteral("引用先一覧"), Chapter::Citations, [&c] { c.citations(); }},
        {QStringLiteral("リンク先セル　検索"), Chapter::LinkSearch,
         [this, &c, link] {
             if (link.isEmpty()) progress_.chapter(QStringLiteral("リンク先セル　検索: 省略（リンク元がありません）"));
             else c.linkSearch(link);
         },
         link.isEmpty() ? std::function<bool()>(always) : std::function<bool()>()},
    };
}

// Each chapter as if its command had been clicked once. A chapter that
// applies but shows no report has failed: its boxes say why, and the
// documentation records it.
void DocumentRun::runChapters() {
    for (const Chapter& chapter : chapters()) {
        if (exitRequested_) break;
        if (!session_->isEnabled(intake::commandOf(chapter.chapter)) || (chapter.applies && !chapter.applies())) {
            progress_.chapter(QStringLiteral("%1: 省略（このブックには該当しません）").arg(chapter.title));
            continue;
        }
        if (chapter.chapter != intake::Chapter::SheetPrint) progress_.chapter(chapter.title);
        const qsizetype before = commands_->shownReports().size();
        messages_.takeShown();
        chapter.run();
        recordPart(chapter.title, chapter.made ? chapter.made() : commands_->shownReports().size() > before);
    }
}

// A project locked for viewing is its author's choice, not a gap: the code
// chapters say so, and the documentation is as complete as the workbook
// allows.
bool DocumentRun::lockedAway(const QStringList& boxes) const {
    const vba::Project* project = intake_->vbaProject();
    return project && project->isPresent() && project->isProtected() && !boxes.isEmpty() &&
           boxes.count(intake_->unreadableCodeText()) == boxes.size();
}

// A part that was not made goes into the record with the boxes shown since
// the last part, which say why.
void DocumentRun::recordPart(const QString& title, bool made) {
    const QStringList boxes = messages_.takeShown();
    if (!made && !lockedAway(boxes))
        gaps_.failedChapters << title + QStringLiteral(": ") +
                                    (boxes.isEmpty() ? QStringLiteral("レポートがありません。")
                                                     : boxes.join(u' ').replace(u'\r', u' '));
}

// The results file, as the save command of the window would write it.
void DocumentRun::save() {
    progress_.chapter(QStringLiteral("解析ファイルの保存"));
    if (!analyses::ResultsCommands({*session_, shell_, reports_, *intake_, {}}).save([&] { return options_.saveTo; }))
        exitRequested_ = true;
}

bool DocumentRun::writeFiles() {
    QStringList names = commands_->shownReports();
    if (!gaps_.empty()) {
        preview_.documents.push_back(gapsDocument(gaps_));
        names << preview_.documents.back()->definition().name;
    }
    const auto failure = guardedRun(kPlace, [&] {
        writeDocumentationFiles(options_.outputFolder, preview_.documents, names,
                                QFileInfo(options_.workbook).fileName(), out_);
    });
    if (failure) err_ << terminalLines(failure->text()) << Qt::endl;
    return !failure;
}

}  // namespace

int documentCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    auto options = readDocumentOptions(args);
    if (const QString* refused = std::get_if<QString>(&options)) {
        err << terminalLines(*refused) << Qt::endl
            << QStringLiteral("使い方: tabulon document BOOK [-o DIR] [オプション]（--help で詳細）") << Qt::endl;
        return 2;
    }
    return DocumentRun(std::get<DocumentOptions>(std::move(options)), out, err).run();
}

}  // namespace tabulon::cli
