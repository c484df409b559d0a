#include "cli/DocumentCommand.h"

#include "analyses/Commands.h"
#include "analyses/ResultsCommands.h"
#include "cli/PasswordOption.h"
#include "common/Error.h"
#include "common/Guard.h"
#include "intake/AppPaths.h"
#include "reports/PdfOutput.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace tabulon::cli {
namespace {

// Message boxes become lines on the error stream; the last one is kept for
// the exit message.
class TerminalMessages : public MessagePort {
public:
    explicit TerminalMessages(QTextStream& err) : err_(err) {}
    Answer message(const QString& text, Buttons) override {
        last = text;
        err_ << QString(text).replace(u'\r', u'\n') << Qt::endl;
        return Answer::Ok;
    }
    QString last;

private:
    QTextStream& err_;
};

// A bar on a terminal, plain status lines otherwise.
class TerminalProgress : public ProgressPort {
public:
    explicit TerminalProgress(QTextStream& err) : err_(err), tty_(isatty(STDERR_FILENO)) {}
    void status(const QString& text) override {
        if (text.isEmpty() || text == status_) return;
        // A batch run has no preview window to close.
        if (text == QStringLiteral("印刷後、印刷ﾌﾟﾚﾋﾞｭｰを終了して下さい。")) return;
        status_ = text;
        if (tty_) draw(); else err_ << text << Qt::endl;
    }
    void progress(int percent) override {
        percent_ = std::clamp(percent, 0, 100);
        if (tty_) draw();
    }
    void showGauge(bool) override {}
    void busy(bool) override {}
    void chapter(const QString& name) {
        if (tty_) err_ << "\r\033[K";
        err_ << "== " << name << Qt::endl;
    }
    ~TerminalProgress() override { if (tty_) err_ << "\r\033[K" << Qt::flush; }

private:
    void draw() {
        const int filled = percent_ * 30 / 100;
        err_ << "\r\033[K[" << QString(filled, u'#') << QString(30 - filled, u'.') << "] "
             << percent_ << "% " << status_ << Qt::flush;
    }
    QTextStream& err_;
    bool tty_;
    QString status_;
    int percent_ = 0;
};

// Each shown report is kept for the PDF files.
class CollectingPreview : public reports::PreviewPort {
public:
    void show(std::shared_ptr<reports::ReportDocument> document) override { documents.push_back(document); }
    reports::DocumentList documents;
};

struct OptionFlag { const char* name; intake::OptionGroup group; int count; };
const OptionFlag kOptionFlags[] = {
    {"object", intake::OptionGroup::Object, 3}, {"cell", intake::OptionGroup::Cell, 3},
    {"sheets", intake::OptionGroup::SSelect, 2}, {"proc", intake::OptionGroup::Proc, 2},
    {"module", intake::OptionGroup::Module, 6}, {"columns", intake::OptionGroup::MPrint, 2},
    {"shape", intake::OptionGroup::Shape, 3},   {"file", intake::OptionGroup::File, 3},
};

}  // namespace

int documentCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE.xls", "the workbook to document");
    parser.addOption({{"o", "output"}, "folder for the PDF files (default: out)", "DIR", "out"});
    for (const OptionFlag& f : kOptionFlags)
        parser.addOption({f.name, QStringLiteral("option value 1..%1").arg(f.count), "N"});
    parser.addOption({"sheet", "this one sheet only: the cell list in selected-sheet mode (implies --sheets 2) and the sheet print image", "NAME"});
    parser.addOption({"link", "link-destination search: the N-th link source (0: none); default 1", "N", "1"});
    parser.addOption({"proc50", "procedure list in Japanese syllabary order"});
    parser.addOption({"mod50", "module source list in Japanese syllabary order"});
    parser.addOption({"save", "save the analysis as a results file at the end (as File > 解析ファイルの保存)",
                      "RESULT.xdb"});
    parser.addOption({"password", "password of an encrypted workbook (else $TABULON_PASSWORD)", "PASSWORD"});
    parser.addOption({"zoom", "print scale of the sheet images in percent (default: as the window's txtZoom)", "N"});
    if (!parser.parse(QStringList{"document"} + args) || parser.positionalArguments().size() != 1) {
        err << (parser.errorText().isEmpty() ? QStringLiteral("使い方: tabulon document FILE.xls [-o DIR] [オプション]（--help で詳細）")
                                             : parser.errorText())
            << Qt::endl;
        return 2;
    }
    const QString workbook = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    const QString outDir = parser.value("output");

    const intake::AppPaths paths = intake::AppPaths::forFolder(intake::resolveAppFolder({}));
    intake::ensureInstalled(paths);
    intake::Session session(paths);
    session.applyStartupStates();
    for (const OptionFlag& f : kOptionFlags) {
        if (!parser.isSet(f.name)) continue;
        const int value = parser.value(f.name).toInt();
        if (value < 1 || value > f.count) {
            err << QStringLiteral("--%1 には 1 から %2 までの番号を指定してください").arg(QLatin1String(f.name)).arg(f.count) << Qt::endl;
            return 2;
        }
        session.clickOption(f.group, value - 1);
    }
    if (parser.isSet("sheet"))
        session.clickOption(intake::OptionGroup::SSelect, 1);
    session.setProc50(parser.isSet("proc50") ? 1 : 0);
    session.setMod50(parser.isSet("mod50") ? 1 : 0);

    TerminalMessages messages(err);
    TerminalProgress progress(err);
    CollectingPreview preview;
    reports::ReportService reportService(preview, messages);
    bool exitRequested = false;
    intake::CommandShell shell{messages, progress, [&] { exitRequested = true; }};
    intake::WorkbookIntake intake(session, shell, {[&] { reportService.startEngine(); }, {},
                                                   commandLinePassword(parser.value("password"))});

    progress.chapter(QStringLiteral("解析ファイルの読込: ") + workbook);
    if (!intake.run(intake::IntakeRoute::Dialog, [&] { return workbook; })) {
        if (messages.last.isEmpty())
            err << QStringLiteral("ブックを開けませんでした: ") << workbook << Qt::endl;
        intake::clearWorkingFolder(paths.tempFolder);
        return 1;
    }

    analyses::Commands commands({session, shell, reportService, intake, {}});
    // cboSheet2 starts at the first listed sheet, cboLinkMoto is chosen here.
    const QString selectedSheet = parser.isSet("sheet") ? parser.value("sheet") : session.sheetNames().value(0);
    const int linkIndex = parser.value("link").toInt();
    const QString chosenLink = linkIndex >= 1 ? session.linkItems().value(linkIndex - 1) : QString();
    // The print image of every sheet the sheet list offers, or of --sheet.
    const auto printSheets = [&] {
        if (parser.isSet("zoom")) {
            intake::Cover cover = session.cover();
            cover.zoom = parser.value("zoom");
            session.setCover(cover);
        }
        const QStringList sheets = parser.isSet("sheet") ? QStringList{parser.value("sheet")} : session.sheetNames();
        for (const QString& sheet : sheets) {
            if (exitRequested) break;
            progress.chapter(QStringLiteral("シート印刷: ") + sheet);
            commands.cmdSheet(sheet);
        }
    };
    // The chapters in the order of the main window, frame by frame; the
    // time estimate first, as a warning before the slow ones.
    struct Chapter { const char* title; const char* command; std::function<void()> run; };
    const Chapter chapters[] = {
        {"表紙", "cmdHyousi_0", [&] { commands.cmdHyousi(0); }},
        {"ラベル(縦)", "cmdHyousi_1", [&] { commands.cmdHyousi(1); }},
        {"ラベル(横)", "cmdHyousi_2", [&] { commands.cmdHyousi(2); }},
        {"処理時間　事前確認", "cmdTimeCheck", [&] { commands.cmdTimeCheck(); }},
        {"オブジェクト一覧", "cmdObject", [&] { commands.cmdObject(); }},
        {"セル情報リスト", "cmdCell", [&] { commands.cmdCell(selectedSheet); }},
        {"プロシージャ一覧", "cmdKansu", [&] { commands.cmdKansu(); }},
        {"モジュールリスト", "cmdModule", [&] { commands.cmdModule(); }},
        {"図形一覧", "cmdXlShape", [&] { commands.cmdXlShape(); }},
        {"変数情報取得", "cmdHensu", [&] { commands.cmdHensu(); }},
        {"定義型一覧", "cmdHensuU", [&] { commands.cmdHensuReport("cmdHensuU"); }},
        {"定数一覧", "cmdHensuT", [&] { commands.cmdHensuReport("cmdHensuT"); }},
        {"変数一覧", "cmdHensuH", [&] { commands.cmdHensuReport("cmdHensuH"); }},
        {"名前一覧", "cmdName", [&] { commands.cmdName(); }},
        {"シート印刷", "cmdSheet", [&] { printSheets(); }},
        {"ファイル一覧", "cmdFile", [&] { commands.cmdFile(); }},
        {"コメント一覧", "cmdComment", [&] { commands.cmdComment(); }},
        {"ﾓｼﾞｭｰﾙ･ｽﾃｯﾌﾟ", "cmdModStep", [&] { commands.cmdModStep(); }},
        {"アドイン一覧", "cmdAddin", [&] { commands.cmdAddin(); }},
        {"引用先一覧", "cmdInyoSaki", [&] { commands.cmdInyoSaki(); }},
        {"リンク先セル　検索", "cmdLinkMoto", [&] {
             if (chosenLink.isEmpty()) progress.chapter(QStringLiteral("リンク先セル　検索: 省略（リンク元がありません）"));
             else commands.cmdLinkMoto(chosenLink);
         }},
    };
    for (const Chapter& c : chapters) {
        if (exitRequested) break;
        if (!session.isEnabled(QLatin1String(c.command))) {
            progress.chapter(QStringLiteral("%1: 省略（このブックには該当しません）").arg(QString::fromUtf8(c.title)));
            continue;
        }
        if (qstrcmp(c.command, "cmdSheet") != 0) progress.chapter(QString::fromUtf8(c.title));
        c.run();
    }
    // As the window's exit does: the exported modules go.
    intake::clearWorkingFolder(paths.tempFolder);

    // The results file, as the save command of the window would write it.
    if (parser.isSet("save") && !exitRequested) {
        progress.chapter(QStringLiteral("解析ファイルの保存"));
        const QString target = QFileInfo(parser.value("save")).absoluteFilePath();
        if (!analyses::ResultsCommands({session, shell, reportService, intake, {}})
                 .m1b([&] { return target; }))
            exitRequested = true;
    }

    const auto failure = guardedRun(QStringLiteral("tabulon document"), [&] {
        QDir().mkpath(outDir);
        QStringList written;
        const QStringList names = commands.shownReports();
        for (size_t i = 0; i < preview.documents.size() && i < size_t(names.size()); ++i) {
            const QString file = QDir(outDir).filePath(
                QStringLiteral("%1_%2.pdf").arg(i + 1, 2, 10, QLatin1Char('0')).arg(names[int(i)]));
            reports::writePdf({preview.documents[i]}, file);
            written << file;
        }
        if (!preview.documents.empty()) {
            const QString combined = QDir(outDir).filePath(QStringLiteral("documentation.pdf"));
            const int pages = reports::writeDocumentationPdf(
                preview.documents, combined,
                QFileInfo(workbook).fileName() + QStringLiteral(" プログラム仕様書"));
            written << combined;
            out << QStringLiteral("全章: ") << combined << QStringLiteral("（%1 ページ）").arg(pages) << Qt::endl;
        }
        for (const QString& f : written)
            out << f << Qt::endl;
    });
    if (failure) {
        err << failure->text() << Qt::endl;
        return 1;
    }
    return exitRequested ? 1 : 0;
}

}  // namespace tabulon::cli
