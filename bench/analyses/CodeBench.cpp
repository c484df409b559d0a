// Throughput of the whole-project code analyses: the detailed procedure list,
// the all-modules source list, the step counts, the comment list, the
// variable information and the citation list over a module set of at least
// 100,000 source lines, made by replicating the crafted fixtures' modules in the form
// the exporter writes them, held in memory as the intake holds a project. Rows are committed before the clock stops.
#include "analyses/code/Citations.h"
#include "analyses/code/CommentList.h"
#include "analyses/code/ModuleSteps.h"
#include "analyses/code/ProcedureList.h"
#include "analyses/code/SourceList.h"
#include "analyses/code/Variables.h"
#include "store/Database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

using namespace tabulon;
using namespace tabulon::analyses::code;

using tabulon::intake::ProcedureOption;
using tabulon::intake::ModuleSelection;

namespace {

constexpr int TargetLines = 100000;

struct Module {
    QString name, kind, text;  // text: CRLF lines
};

QString exportedText(const Module& m) {
    if (m.kind == QLatin1String("standard")) return m.text;
    return QStringLiteral("VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n") + m.text;
}

QString extension(const Module& m) {
    if (m.kind == QLatin1String("standard")) return QStringLiteral(".bas");
    if (m.kind == QLatin1String("class")) return QStringLiteral(".cls");
    return m.name.compare(QLatin1String("ThisWorkbook"), Qt::CaseInsensitive) == 0 ? QStringLiteral(".bok")
                                                                                    : QStringLiteral(".sht");
}

std::vector<Module> fixtureModules() {
    std::vector<Module> modules;
    const QString base = QStringLiteral(TABULON_SOURCE_DIR "/../shared/fixtures/xls/crafted/");
    const char* sets[] = {"japanese_vba.xls.modules", "hostile_names.xls.modules"};
    for (int s = 0; s < 2; ++s) {
        const QString dir = base + QLatin1String(sets[s]) + u'/';
        QFile spec(dir + QStringLiteral("spec.json"));
        spec.open(QIODevice::ReadOnly);
        for (const QJsonValue v : QJsonDocument::fromJson(spec.readAll())["modules"].toArray()) {
            const QJsonObject o = v.toObject();
            QFile src(dir + o["sourceFile"].toString());
            src.open(QIODevice::ReadOnly);
            // Both sets hold a ThisWorkbook, Sheet1 and Module1: keep the names apart.
            const QString name = o["sourceFile"].toString().mid(3).section(u'.', 0, 0);
            modules.push_back({s == 0 ? name : QStringLiteral("H") + name, o["kind"].toString(),
                               QString::fromUtf8(src.readAll())});
        }
    }
    return modules;
}

struct ModuleSet {
    CodeModules modules;
    ModuleCounts counts;
    int lines = 0;
};

ModuleSet makeModuleSet() {
    const std::vector<Module> modules = fixtureModules();
    ModuleSet set;
    for (int copy = 0; set.lines < TargetLines; ++copy) {
        for (const Module& m : modules) {
            const QString text = exportedText(m);
            set.modules.push_back(codeModule(m.name + QStringLiteral("_%1").arg(copy) + extension(m), text));
            set.lines += int(text.count(QStringLiteral("\r\n")));
            set.counts.standard += m.kind == QLatin1String("standard");
            set.counts.classes += m.kind == QLatin1String("class");
        }
    }
    putInVisitingOrder(set.modules);
    return set;
}

// Processor time of this process: on a shared machine the wall clock also
// counts the time other processes held the cores.
qint64 cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void report(const char* what, const CodeOutcome& out, qint64 ms, qint64 cpu, int lines) {
    std::printf("%-34s %7d lines  %7d rows  %6lld ms (cpu %5lld ms)  %9.0f lines/s  %s\n", what, lines,
                out.rows, static_cast<long long>(ms), static_cast<long long>(cpu),
                ms > 0 ? lines * 1000.0 / ms : 0.0,
                out.end == CodeOutcome::End::Report ? "ok" : qPrintable(out.message));
}

}  // namespace

int main() {
    QTemporaryDir dir;
    const QString dbPath = dir.path() + QStringLiteral("/Tabulon2.mdb");
    store::Database::create(dbPath);
    const ModuleSet set = makeModuleSet();

    SilentMessages messages;
    SilentProgress progress;
    SourceCursor cursor;
    const CodeContext ctx{set.modules, dbPath, set.counts, messages, progress, cursor};

    QElapsedTimer clock;
    clock.start();
    qint64 cpu = cpuMs();
    const CodeOutcome procedures = runProcedureList(ctx, {ProcedureOption::Detailed, 0});
    report("procedure list (detailed)", procedures, clock.elapsed(), cpuMs() - cpu, procedures.linesRead);

    clock.restart();
    cpu = cpuMs();
    const CodeOutcome sources = runSourceList(ctx, {ModuleSelection::All, 0});
    report("module source list (all modules)", sources, clock.elapsed(), cpuMs() - cpu, sources.linesRead);

    bool ok = procedures.end == CodeOutcome::End::Report && sources.end == CodeOutcome::End::Report;
    const std::pair<const char*, CodeOutcome (*)(const CodeContext&)> chapters[] = {
        {"module step counts", runModuleSteps}, {"comment list", runCommentList},
        {"variable information", runVariables}, {"procedure citations", runCitations}};
    for (const auto& [name, run] : chapters) {
        clock.restart();
        cpu = cpuMs();
        const CodeOutcome out = run(ctx);
        report(name, out, clock.elapsed(), cpuMs() - cpu, out.linesRead);
        ok = ok && out.end == CodeOutcome::End::Report;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory %ld MB\n", usage.ru_maxrss / 1024);
    return ok ? 0 : 1;
}
