#include "cli/DocumentCommand.h"

#include "analyses/Commands.h"
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

// Option groups whose values are explained in words in the help text.
QString optionHelp(const OptionFlag& f) {
    static const std::pair<const char*, const char*> words[] = {
        {"shape", "shape list: 1 shapes that run a macro (default), 2 all shapes, 3 all but comments"},
        {"file", "file list: 1 files of the workbook's folder with an extension starting with x (default), "
                 "2 the workbooks it links to, 3 every file of the folder"},
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
    parser.addOption({"proc50", "procedure list in Japanese syllabary order"});
    parser.addOption({"mod50", "module source list in Japanese syllabary order"});
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
        return 1;
    }

    analyses::Commands commands({session, shell, reportService, intake, {}});
    // The chapters in the order of the main window, frame by frame.
    struct Chapter { const char* title; const char* command; std::function<void()> run; };
    const Chapter chapters[] = {
        {"cover page", "cmdHyousi_0", [&] { commands.cmdHyousi(0); }},
        {"spine label", "cmdHyousi_1", [&] { commands.cmdHyousi(1); }},
        {"front label", "cmdHyousi_2", [&] { commands.cmdHyousi(2); }},
        {"shape list", "cmdXlShape", [&] { commands.cmdXlShape(); }},
        {"procedure list", "cmdKansu", [&] { commands.cmdKansu(); }},
        {"module source list", "cmdModule", [&] { commands.cmdModule(); }},
        {"file list", "cmdFile", [&] { commands.cmdFile(); }},
        {"add-in list", "cmdAddin", [&] { commands.cmdAddin(); }},
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
            const int pages = reports::writePdf(preview.documents, combined);
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
