#include "cli/ReportCommand.h"

#include "cli/FrontDoor.h"
#include "common/Guard.h"
#include "reports/PdfOutput.h"

namespace tabulon::cli {

namespace {

void usage(QTextStream& err) {
    err << commandUsage(*findCommand(QStringLiteral("report")));
}

}  // namespace

int reportCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList names;
    QString db, pdf;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == QLatin1String("--db") || a == QLatin1String("--pdf")) && i + 1 < args.size()) {
            (a == QLatin1String("--db") ? db : pdf) = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            usage(err);
            return 2;
        } else {
            names << a;
        }
    }
    if (names.isEmpty() || db.isEmpty() || pdf.isEmpty()) {
        usage(err);
        return 2;
    }
    const auto failure = guardedRun(QStringLiteral("tabulon report"), [&] {
        const int pages = reports::renderCombinedPdf(db, names, pdf);
        out << pdf << ": " << pages << " pages\n";
    });
    if (!failure) return 0;
    err << "tabulon report: エラー " << failure->number() << ": " << failure->text() << "\n";
    return 1;
}

}  // namespace tabulon::cli
