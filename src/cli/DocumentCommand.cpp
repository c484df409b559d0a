#include "cli/DocumentCommand.h"

#include "analyses/Commands.h"
#include "analyses/ResultsCommands.h"
#include "cli/PasswordOption.h"
#include "common/Error.h"
#include "common/Guard.h"
#include "common/Log.h"
#include "common/Numbers.h"
#include "intake/AppPaths.h"
#include "reports/PdfOutput.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace tabulon::cli {
namespace {

// What the boxes of the window say becomes lines: messages on the output,
// errors and refusals on the error stream (a refusal's technical detail goes
// to the log). The last error is kept for the exit message.
class TerminalMessages : public MessagePort {
public:
    TerminalMessages(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}
    Answer message(const QString& text, Buttons) override {
        out_ << lines(text) << Qt::endl;
        return Answer::Ok;
    }
    void error(const QString& text) override {
        last = text;
        out_.flush();
        err_ << lines(text) << Qt::endl;
    }
    void refusal(const QString& text, const QString& detail) override {
        error(text);
        if (!detail.isEmpty()) logging::write(QStringLiteral("tabulon"), detail);
    }
    QString last;

private:
    static QString lines(const QString& text) { return QString(text).replace(u'\r', u'\n'); }
    QTextStream& out_;
    QTextStream& err_;
};

// The chapters and status lines on the output; a progress bar on the error
// stream when that is a terminal.
class TerminalProgress : public ProgressPort {
public:
    TerminalProgress(QTextStream& out, QTextStream& err) : out_(out), err_(err), tty_(isatty(STDERR_FILENO)) {}
    void status(const QString& text) override {
        if (text.isEmpty() || text == status_) return;
        status_ = text;
        if (tty_) draw(); else out_ << text << Qt::endl;
    }
    void progress(int percent) override {
        percent_ = std::clamp(percent, 0, 100);
        if (tty_) draw();
    }
    void showGauge(bool) override {}
    void busy(bool) override {}
    void chapter(const QString& name) {
        clearBar();
        out_ << "== " << name << Qt::endl;
    }
    ~TerminalProgress() override { clearBar(); }

private:
    void draw() {
        const int filled = percent_ * 30 / 100;
        err_ << "\r\033[K[" << QString(filled, u'#') << QString(30 - filled, u'.') << "] "
             << percent_ << "% " << status_ << Qt::flush;
    }
    void clearBar() { if (tty_) err_ << "\r\033[K" << Qt::flush; }
    QTextStream& out_;
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

// An option of the window given by its number on the command line.
struct OptionFlag {
    const char* name;
    int count;
    void (*set)(intake::Session& session, int value);
};
template <typename Option>
OptionFlag flag(const char* name) {
    return {name, intake::kOptionCount<Option>, [](intake::Session& s, int v) { s.setOption(Option(v)); }};
}
const OptionFlag kOptionFlags[] = {
    flag<intake::ObjectOption>("object"),     flag<intake::CellOption>("cell"),
    flag<intake::SheetSelection>("sheets"),   flag<intake::ProcedureOption>("proc"),
    flag<intake::ModuleSelection>("module"),  flag<intake::SourceColumns>("columns"),
    flag<intake::ShapeSelection>("shape"),    flag<intake::FileSelection>("file"),
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
    parser.addOption({"zoom", "print scale of the sheet images in percent (default: the window's zoom)", "N"});
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
        const qint64 value = wholeNumber(parser.value(f.name)).value_or(0);
        if (value < 1 || value > f.count) {
            err << QStringLiteral("--%1 には 1 から %2 までの番号を指定してください").arg(QLatin1String(f.name)).arg(f.count) << Qt::endl;
            return 2;
        }
        f.set(session, int(value));
    }
    if (parser.isSet("sheet"))
        session.setOption(intake::SheetSelection::SelectedSheet);
    session.setProcedureKana(parser.isSet("proc50"));
    session.setSourceKana(parser.isSet("mod50"));

    TerminalMessages messages(out, err);
    TerminalProgress progress(out, err);
    CollectingPreview preview;
    reports::ReportService reportService(preview, messages);
    bool exitRequested = false;
    intake::CommandShell shell{messages, progress, [&] { exitRequested = true; }};
    intake::WorkbookIntake intake(session, shell, {{}, commandLinePassword(parser.value("password"))});

    progress.chapter(QStringLiteral("解析ファイルの読込: ") + workbook);
    if (!intake.open(workbook)) {
        if (messages.last.isEmpty())
            err << QStringLiteral("ブックを開けませんでした: ") << workbook << Qt::endl;
        intake::clearWorkingFolder(paths.tempFolder);
        return 1;
    }

    analyses::Commands commands({session, shell, reportService, intake, {}});
    // The cell list's sheet is the first listed one unless --sheet names
    // one; the link search takes the --link-th link source.
    const QString selectedSheet = parser.isSet("sheet") ? parser.value("sheet") : session.sheetNames().value(0);
    const qint64 linkIndex = wholeNumber(parser.value("link")).value_or(0);
    const QString chosenLink = linkIndex >= 1 ? session.linkItems().value(qsizetype(linkIndex - 1)) : QString();
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
            commands.sheetPrint(sheet);
        }
    };
    // The chapters in the order of the main window, frame by frame; the
    // time estimate first, as a warning before the slow ones.
    using intake::Chapter;
    struct Step { const char* title; Chapter chapter; std::function<void()> run; };
    const Step steps[] = {
        {"表紙", Chapter::Cover, [&] { commands.cover(Chapter::Cover); }},
        {"ラベル(縦)", Chapter::SpineLabel, [&] { commands.cover(Chapter::SpineLabel); }},
        {"ラベル(横)", Chapter::FrontLabel, [&] { commands.cover(Chapter::FrontLabel); }},
        {"処理時間　事前確認", Chapter::TimeEstimate, [&] { commands.timeEstimate(); }},
        {"オブジェクト一覧", Chapter::Objects, [&] { commands.objects(); }},
        {"セル情報リスト", Chapter::Cells, [&] { commands.cells(selectedSheet); }},
        {"プロシージャ一覧", Chapter::Procedures, [&] { commands.procedures(); }},
        {"モジュールリスト", Chapter::Sources, [&] { commands.sources(); }},
        {"図形一覧", Chapter::Shapes, [&] { commands.shapes(); }},
        {"変数情報取得", Chapter::Variables, [&] { commands.collectVariables(); }},
        {"定義型一覧", Chapter::UserTypes, [&] { commands.preview(Chapter::UserTypes); }},
        {"定数一覧", Chapter::Constants, [&] { commands.preview(Chapter::Constants); }},
        {"変数一覧", Chapter::VariableList, [&] { commands.preview(Chapter::VariableList); }},
        {"名前一覧", Chapter::Names, [&] { commands.names(); }},
        {"シート印刷", Chapter::SheetPrint, [&] { printSheets(); }},
        {"ファイル一覧", Chapter::Files, [&] { commands.files(); }},
        {"コメント一覧", Chapter::Comments, [&] { commands.comments(); }},
        {"ﾓｼﾞｭｰﾙ･ｽﾃｯﾌﾟ", Chapter::ModuleSteps, [&] { commands.moduleSteps(); }},
        {"アドイン一覧", Chapter::Addins, [&] { commands.addins(); }},
        {"引用先一覧", Chapter::Citations, [&] { commands.citations(); }},
        {"リンク先セル　検索", Chapter::LinkSearch, [&] {
             if (chosenLink.isEmpty()) progress.chapter(QStringLiteral("リンク先セル　検索: 省略（リンク元がありません）"));
             else commands.linkSearch(chosenLink);
         }},
    };
    for (const Step& s : steps) {
        if (exitRequested) break;
        if (!session.isEnabled(intake::commandOf(s.chapter))) {
            progress.chapter(QStringLiteral("%1: 省略（このブックには該当しません）").arg(QString::fromUtf8(s.title)));
            continue;
        }
        if (s.chapter != Chapter::SheetPrint) progress.chapter(QString::fromUtf8(s.title));
        s.run();
    }
    // As the window's exit does: the exported modules go.
    intake::clearWorkingFolder(paths.tempFolder);

    // The results file, as the save command of the window would write it.
    if (parser.isSet("save") && !exitRequested) {
        progress.chapter(QStringLiteral("解析ファイルの保存"));
        const QString target = QFileInfo(parser.value("save")).absoluteFilePath();
        if (!analyses::ResultsCommands({session, shell, reportService, intake, {}})
                 .save([&] { return target; }))
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
