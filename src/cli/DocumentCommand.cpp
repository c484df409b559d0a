#include "cli/DocumentCommand.h"

#include "analyses/Commands.h"
#include "analyses/ResultsCommands.h"
#include "host/Error.h"
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

// The option values in words, for --help.
QString optionHelp(const OptionFlag& f) {
    static const std::pair<const char*, const char*> words[] = {
        {"object", "object list: 1 book data and links only, 2 sheets and modules (simple), "
                   "3 sheets with every cell counted (detailed); default 2"},
        {"cell", "cell list: 1 formulas, 2 comments, 3 cells with both; default 3"},
        {"sheets", "cell list sheets: 1 all sheets, 2 the selected sheet (--sheet, else the first); default 1"},
    };
    for (const auto& [name, text] : words)
        if (qstrcmp(name, f.name) == 0) return QString::fromLatin1(text);
    return QStringLiteral("option value 1..%1 of that option group").arg(f.count);
}

}  // namespace

int documentCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE.xls", "the workbook to document");
    parser.addOption({{"o", "output"}, "folder for the PDF files (default: out)", "DIR", "out"});
    for (const OptionFlag& f : kOptionFlags)
        parser.addOption({f.name, optionHelp(f), "N"});
    parser.addOption({"sheet", "this one sheet only: the cell list in selected-sheet mode (implies --sheets 2) and the sheet print image", "NAME"});
    parser.addOption({"link", "link-destination search: the N-th link source (0: none); default 1", "N", "1"});
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << parser.helpText();
        return 0;
    }
    parser.addOption({"proc50", "procedure list in Japanese syllabary order"});
    parser.addOption({"mod50", "module source list in Japanese syllabary order"});
    parser.addOption({"save", "save the analysis as a results file at the end (as File > 解析ファイルの保存)",
                      "RESULT.xdb"});
    parser.addOption({"zoom", "print scale of the sheet images in percent (default: as the window's txtZoom)", "N"});
    if (!parser.parse(QStringList{"document"} + args) || parser.positionalArguments().size() != 1) {
        err << (parser.errorText().isEmpty() ? QStringLiteral("usage: tabulon document FILE.xls [-o DIR]")
                                             : parser.errorText())
            << Qt::endl << parser.helpText();
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
            err << "--" << f.name << " takes 1 to " << f.count << Qt::endl;
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
    intake::WorkbookIntake intake(session, shell, {[&] { reportService.startEngine(); }, {}});

    progress.chapter(QStringLiteral("intake: ") + workbook);
    if (!intake.run(intake::IntakeRoute::Dialog, [&] { return workbook; })) {
        if (messages.last.isEmpty())
            err << "not an .xls workbook: " << workbook << Qt::endl;
        intake::clearWorkingFolder(paths.tempFolder);
        return 1;
    }

    analyses::Commands commands({session, shell, reportService, intake, {}});
    // cboSheet2 starts at the first listed sheet, cboLinkMoto is chosen here.
    const QString selectedSheet = parser.isSet("sheet") ? parser.value("sheet") : session.sheetNames().value(0);
    const int linkIndex = parser.value("link").toInt();
    const QString chosenLink = linkIndex >= 1 ? session.linkItems().value(linkIndex - 1) : QString();
    // The chapters in the order of the main window, frame by frame.
    struct Chapter { const char* title; const char* command; std::function<void()> run; };
    const Chapter chapters[] = {
        {"cover page", "cmdHyousi_0", [&] { commands.cmdHyousi(0); }},
        {"spine label", "cmdHyousi_1", [&] { commands.cmdHyousi(1); }},
        {"front label", "cmdHyousi_2", [&] { commands.cmdHyousi(2); }},
        {"processing-time estimate", "cmdTimeCheck", [&] { commands.cmdTimeCheck(); }},
        {"object list", "cmdObject", [&] { commands.cmdObject(); }},
        {"cell list", "cmdCell", [&] { commands.cmdCell(selectedSheet); }},
        {"procedure list", "cmdKansu", [&] { commands.cmdKansu(); }},
        {"module source list", "cmdModule", [&] { commands.cmdModule(); }},
        {"name list", "cmdName", [&] { commands.cmdName(); }},
        {"link-destination search", "cmdLinkMoto", [&] {
             if (chosenLink.isEmpty()) progress.chapter(QStringLiteral("link-destination search: skipped (no link source)"));
             else commands.cmdLinkMoto(chosenLink);
         }},
        {"comment list", "cmdComment", [&] { commands.cmdComment(); }},
        {"module step counts", "cmdModStep", [&] { commands.cmdModStep(); }},
        {"procedure citations", "cmdInyoSaki", [&] { commands.cmdInyoSaki(); }},
        {"variable information", "cmdHensu", [&] { commands.cmdHensu(); }},
        {"user-defined type list", "cmdHensuU", [&] { commands.cmdHensuReport("cmdHensuU"); }},
        {"constant list", "cmdHensuT", [&] { commands.cmdHensuReport("cmdHensuT"); }},
        {"variable list", "cmdHensuH", [&] { commands.cmdHensuReport("cmdHensuH"); }},
    };
    for (const Chapter& c : chapters) {
        if (exitRequested) break;
        if (!session.isEnabled(QLatin1String(c.command))) {
            progress.chapter(QStringLiteral("%1: skipped (not available for this workbook)").arg(c.title));
            continue;
        }
        progress.chapter(QLatin1String(c.title));
        c.run();
    }
    // The print image of every sheet the sheet list offers, or of --sheet.
    if (!exitRequested && session.isEnabled(QStringLiteral("cmdSheet"))) {
        if (parser.isSet("zoom")) {
            intake::Cover cover = session.cover();
            cover.zoom = parser.value("zoom");
            session.setCover(cover);
        }
        const QStringList sheets = parser.isSet("sheet") ? QStringList{parser.value("sheet")} : session.sheetNames();
        for (const QString& sheet : sheets) {
            progress.chapter(QStringLiteral("sheet print image: ") + sheet);
            commands.cmdSheet(sheet);
        }
    }

    // As the window's exit does: the exported modules go.
    intake::clearWorkingFolder(paths.tempFolder);

    // The results file, as the save command of the window would write it.
    if (parser.isSet("save") && !exitRequested) {
        progress.chapter(QStringLiteral("results file"));
        const QString target = QFileInfo(parser.value("save")).absoluteFilePath();
        if (!analyses::ResultsCommands({session, shell, reportService, intake, {}})
                 .m1b([&] { return target; }))
            exitRequested = true;
    }

    try {
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
            out << "combined: " << combined << " (" << pages << " pages)" << Qt::endl;
        }
        for (const QString& f : written)
            out << f << Qt::endl;
    } catch (const Error& e) {
        err << e.description() << Qt::endl;
        return 1;
    }
    return exitRequested ? 1 : 0;
}

}  // namespace tabulon::cli
