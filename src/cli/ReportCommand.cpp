#include "cli/ReportCommand.h"

#include "cli/CommandLine.h"
#include "cli/FrontDoor.h"
#include "cli/TerminalPorts.h"
#include "common/Error.h"
#include "common/Guard.h"
#include "common/KillCleanup.h"
#include "common/SafeFile.h"
#include "reports/PdfOutput.h"
#include "store/ResultsFile.h"

#include <QTemporaryDir>
#include <cerrno>

namespace tabulon::cli {

namespace {

int usage(QTextStream& err, const QString& problem) {
    if (!problem.isEmpty()) err << terminalLines(problem) << '\n';
    err << commandUsage(*findCommand(QStringLiteral("report")));
    return 2;
}

}  // namespace

int reportCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const CommandLine line(args, {{"db", 0, true}, {"pdf", 0, true}});
    if (!line.error().isEmpty()) return usage(err, line.error());
    if (line.positional().isEmpty() || !line.isSet("db") || !line.isSet("pdf")) return usage(err, {});
    const QString db = line.value("db"), pdf = line.value("pdf");
    // The file is only read: it is checked as the window checks a results
    // file and printed from a private copy in a folder of this run.
    const auto failure = guardedRun(QStringLiteral("tabulon report"), [&] {
        errno = 0;
        const QTemporaryDir folder;
        if (!folder.isValid())
            throw Error(err::PathFileAccess, QStringLiteral("作業フォルダを作成できません。\r理由: %1")
                                                 .arg(systemReason(errno ? errno : EIO)));
        const cleanup::Registration killed(folder.path());
        const store::WorkingCopy copy = store::openWorkingCopy(db, folder.filePath(QStringLiteral("report.xdb")));
        const int pages = reports::renderCombinedPdf(copy.path, line.positional(), pdf);
        out << pdf << ": " << pages << " ページ\n";
    });
    if (!failure) return 0;
    err << "tabulon report: エラー " << failure->number() << ": " << terminalLines(failure->text())
        << "\n";
    return 1;
}

}  // namespace tabulon::cli
