#include "cli/InventoryCommand.h"

#include "cli/CommandLine.h"
#include "common/Error.h"
#include "inventory/EstateDb.h"
#include "inventory/Merge.h"
#include "inventory/ProgressLine.h"
#include "inventory/Scan.h"
#include "inventory/Summary.h"
#include "inventory/Walk.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <unistd.h>

namespace tabulon::cli {

namespace inv = tabulon::inventory;

namespace {

enum class Mode { Roots, List, Files, Merge, Report, Worker };

struct Options {
    Mode mode = Mode::Roots;
    QStringList words;  // roots, or the parts of a merge
    QString db, files, report, output, worker;
    QStringList excludes;
    std::optional<inv::Shard> shard;
    int jobs = 0;
    int timeout = 60;
    qint64 memory = 2048;
    bool verifyHash = false, retryFailed = false;
};

// Command-line mistakes, said in Japanese; exit code 2.
struct UsageError {
    QString text;
};

Options parse(const QStringList& args) {
    const CommandLine line(args, {{"db", 0, true}, {"jobs", 'j', true}, {"exclude", 0, true}, {"timeout", 0, true},
                                  {"memory", 0, true}, {"files", 0, true}, {"report", 0, true}, {"output", 'o', true},
                                  {"worker", 0, true}, {"shard", 0, true}, {"list"}, {"merge"}, {"verify-hash"},
                                  {"retry-failed"}});
    if (!line.error().isEmpty()) throw UsageError{line.error()};
    Options o;
    o.words = line.positional();
    o.db = line.value("db");
    o.excludes = line.values("exclude");
    o.files = line.value("files");
    o.report = line.value("report");
    o.output = line.value("output");
    o.worker = line.value("worker");
    o.verifyHash = line.isSet("verify-hash");
    o.retryFailed = line.isSet("retry-failed");
    // Full-width digits count as digits, as everywhere a user types a number.
    QString error;
    const auto number = [&](const char* name, int high, auto& into) {
        if (!line.isSet(name)) return;
        const std::optional<int> n = numberOption(line, name, 1, high, error);
        if (!n) throw UsageError{error};
        into = *n;
    };
    number("jobs", 256, o.jobs);
    number("timeout", 86400, o.timeout);
    number("memory", 1 << 20, o.memory);
    if (line.isSet("shard")) {
        o.shard = inv::parseShard(line.value("shard"));
        if (!o.shard)
            throw UsageError{QStringLiteral("--shard は K/N の形で指定してください（1 ≦ K ≦ N）: %1").arg(line.value("shard"))};
    }
    const bool list = line.isSet("list"), merge = line.isSet("merge");
    const int modes = list + merge + !o.files.isEmpty() + !o.report.isEmpty() + !o.worker.isEmpty();
    if (modes > 1) throw UsageError{QStringLiteral("--list、--files、--merge、--report は一つだけ指定してください")};
    if (!o.worker.isEmpty()) o.mode = Mode::Worker;
    else if (!o.report.isEmpty()) o.mode = Mode::Report;
    else if (merge) o.mode = Mode::Merge;
    else if (list) o.mode = Mode::List;
    else if (!o.files.isEmpty()) o.mode = Mode::Files;
    if (o.shard && o.mode != Mode::Files) throw UsageError{QStringLiteral("--shard は --files と一緒に指定してください")};
    switch (o.mode) {
    case Mode::Roots:
    case Mode::List:
        if (o.words.isEmpty()) throw UsageError{QStringLiteral("調べるフォルダを指定してください")};
        break;
    case Mode::Merge:
        if (o.words.isEmpty()) throw UsageError{QStringLiteral("まとめるデータベースを指定してください")};
        break;
    case Mode::Files:
    case Mode::Report:
    case Mode::Worker:
        if (!o.words.isEmpty()) throw UsageError{QStringLiteral("余分な引数があります: %1").arg(o.words.join(u' '))};
        break;
    }
    if ((o.mode == Mode::Roots || o.mode == Mode::Files || o.mode == Mode::Merge) && o.db.isEmpty())
        throw UsageError{QStringLiteral("--db でデータベースを指定してください")};
    if (o.mode == Mode::Report && o.output.isEmpty()) throw UsageError{QStringLiteral("-o で出力先フォルダを指定してください")};
    return o;
}

QString workerProgram() {
    const QString given = qEnvironmentVariable("TABULON_WORKER_PROGRAM");
    return given.isEmpty() ? QCoreApplication::applicationFilePath() : given;
}

int scan(const Options& o, QTextStream& out, QTextStream& err) {
    inv::ScanOptions s;
    if (o.mode == Mode::Roots) s.roots = inv::canonicalRoots(o.words);
    s.listFile = o.files;
    s.shard = o.shard;
    s.excludes = o.excludes;
    s.pool = {workerProgram(), o.jobs > 0 ? o.jobs : QThread::idealThreadCount(), o.timeout, o.memory};
    s.verifyHash = o.verifyHash;
    s.retryFailed = o.retryFailed;
    // A shard is built under a working name and published when complete.
    const QString target = QFileInfo(o.db).absoluteFilePath();
    const QString working = o.shard ? inv::shardWorkingPath(target) : target;
    if (o.shard) inv::prepareShard(target, working);
    inv::ScanStats stats;
    {
        const auto db = inv::EstateDb::open(working, inv::EstateDb::Access::Write);
        inv::ProgressLine progress(err, isatty(STDERR_FILENO));
        stats = inv::scanEstate(*db, s, progress);
        if (o.shard) db->closeLog();
    }
    if (o.shard) inv::publishShard(working, target);
    out << inv::summaryText(stats) << Qt::endl;
    if (stats.failed > 0)
        out << QStringLiteral("読めなかったブックは --report の「読み取れなかったファイル」に理由があります。") << Qt::endl;
    return stats.failed > 0 ? 1 : 0;
}

int list(const Options& o, QTextStream& out, QTextStream& err) {
    const inv::WalkResult w = inv::walk(inv::canonicalRoots(o.words), o.excludes);
    for (const inv::WalkProblem& p : w.problems) err << p.path << ": " << p.reason << Qt::endl;
    qsizetype skipped = 0;
    for (const inv::WalkEntry& e : w.files) {
        if (e.path.contains(u'\n')) ++skipped;  // a line per path: such a name cannot be listed
        else out << e.path << '\n';
    }
    out.flush();
    if (skipped > 0) err << QStringLiteral("改行を含む名前のファイル %1 件は一覧に入れられません。").arg(skipped) << Qt::endl;
    return 0;
}

int merge(const Options& o, QTextStream& out) {
    inv::checkParts(o.words);  // before the target is made
    const auto db = inv::EstateDb::open(o.db, inv::EstateDb::Access::Write);
    const inv::MergeStats stats = inv::mergeParts(*db, o.words);
    out << QStringLiteral("%1 個のデータベースから %2 件のファイルをまとめました（リンク先が見つかったリンク %3 件）。")
               .arg(stats.parts).arg(stats.files).arg(stats.linksFound)
        << Qt::endl;
    return 0;
}

int report(const Options& o, QTextStream& out) {
    for (const QString& file : inv::writeSummary(o.report, o.output)) out << file << Qt::endl;
    return 0;
}

}  // namespace

int inventoryCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options o;
    try {
        o = parse(args);
    } catch (const UsageError& e) {
        err << e.text << Qt::endl
            << QStringLiteral("使い方: tabulon inventory --help") << Qt::endl;
        return 2;
    }
    try {
        switch (o.mode) {
        case Mode::Worker: return inv::runWorker(o.worker, o.memory);
        case Mode::List: return list(o, out, err);
        case Mode::Merge: return merge(o, out);
        case Mode::Report: return report(o, out);
        case Mode::Roots:
        case Mode::Files: return scan(o, out, err);
        }
    } catch (const Error& e) {
        err << e.text() << Qt::endl;
    }
    return 2;
}

}  // namespace tabulon::cli
