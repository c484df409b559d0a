#include "inventory/Scan.h"

#include "common/Error.h"
#include "inventory/Content.h"
#include "inventory/EstateDb.h"
#include "inventory/ProgressLine.h"
#include "inventory/Snapshot.h"
#include "inventory/Walk.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

namespace tabulon::inventory {

namespace {

// Commits every so many rows or seconds, whichever comes first: few enough
// to lose little when the run is killed, many enough to stay fast.
class Batch {
public:
    explicit Batch(EstateDb& db) : db_(db) { clock_.start(); db_.begin(); }
    ~Batch() {
        try {
            db_.commit();
        } catch (const Error&) {}  // the run's own error is already on its way
    }
    void added() {
        if (++rows_ >= kRows) flush();
    }
    void tick() {
        if (rows_ > 0 && clock_.elapsed() >= kMs) flush();
    }
    void flush() {
        db_.commit();
        db_.begin();
        rows_ = 0;
        clock_.restart();
    }

private:
    static constexpr int kRows = 256;
    static constexpr qint64 kMs = 2000;
    EstateDb& db_;
    QElapsedTimer clock_;
    int rows_ = 0;
};

// What is there now, and which rows of the database the run answers for.
struct Scope {
    std::vector<WalkEntry> present;
    std::vector<WalkProblem> problems;
    QString mode, description;
    std::function<bool(const QString&)> covers;
};

Scope rootsScope(const ScanOptions& o) {
    WalkResult w = walk(o.roots, o.excludes);
    const QStringList roots = o.roots;
    return {std::move(w.files), std::move(w.problems), QStringLiteral("roots"), o.roots.join(u'\n'),
            [roots](const QString& path) {
                return std::any_of(roots.begin(), roots.end(), [&](const QString& r) { return isUnder(path, r); });
            }};
}

Scope listScope(const ScanOptions& o) {
    Scope s;
    s.mode = QStringLiteral("files");
    s.description = o.listFile;
    const std::optional<Shard> shard = o.shard;
    if (shard) s.description += QStringLiteral(" %1/%2").arg(shard->k).arg(shard->n);
    s.covers = [shard](const QString& path) { return !shard || shardOf(path, shard->n) == shard->k; };
    for (const QString& path : readWorkList(o.listFile)) {
        if (!s.covers(path) || isExcluded(path, o.excludes)) continue;
        WalkEntry e;
        int error = 0;
        if (statFile(path, e, &error)) s.present.push_back(e);
        else if (error != 0 && error != ENOENT && error != ENOTDIR)
            s.problems.push_back({path, QStringLiteral("情報を読めません（%1）").arg(QString::fromLocal8Bit(std::strerror(error)))});
    }
    std::sort(s.present.begin(), s.present.end(), [](const WalkEntry& a, const WalkEntry& b) { return a.path < b.path; });
    s.present.erase(std::unique(s.present.begin(), s.present.end(),
                                [](const WalkEntry& a, const WalkEntry& b) { return a.path == b.path; }),
                    s.present.end());
    return s;
}

bool unchanged(const IndexRow& row, const WalkEntry& e, const ScanOptions& o) {
    if (row.size != e.size || row.mtimeNs != e.mtimeNs) return false;
    if (o.retryFailed && row.kind == FileKind::Failed) return false;
    if (!o.verifyHash || row.kind == FileKind::Other) return true;
    try {
        return Snapshot::hashOf(e.path) == row.sha256;
    } catch (const Error&) {
        return false;  // the reader will say why it cannot be read
    }
}

}  // namespace

QStringList readWorkList(const QString& file) {
    QFile in;
    bool opened = false;
    if (file == u"-") {
        opened = in.open(stdin, QIODevice::ReadOnly);
    } else {
        in.setFileName(file);
        opened = in.open(QIODevice::ReadOnly);
    }
    if (!opened) throw Error(err::FileNotFound, QStringLiteral("作業リスト '%1' を読めません。").arg(file));
    QStringList paths;
    for (const QByteArray& line : in.readAll().split('\n')) {
        const QString path = QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
        if (!path.isEmpty()) paths << path;
    }
    return paths;
}

ScanStats scanEstate(EstateDb& db, const ScanOptions& o, ProgressLine& progress) {
    QElapsedTimer clock;
    clock.start();
    ScanStats stats;
    progress.phase(o.roots.isEmpty() ? QStringLiteral("作業リストのファイルを確認しています…")
                                     : QStringLiteral("フォルダを確認しています…"));
    const Scope scope = o.roots.isEmpty() ? listScope(o) : rootsScope(o);
    stats.seen = qint64(scope.present.size());
    stats.problems = qint64(scope.problems.size());

    const QHash<QString, IndexRow> index = db.index();
    qint64 run = 0;
    std::vector<WorkItem> toRead;
    QSet<QString> present;
    {
        Batch batch(db);
        run = db.startRun(scope.mode, scope.description);
        for (const WalkProblem& p : scope.problems) db.addProblem(run, p.path, p.reason);
        for (const WalkEntry& e : scope.present) {
            present.insert(e.path);
            const auto known = index.constFind(e.path);
            if (known != index.constEnd() && unchanged(*known, e, o)) {
                if (known->vanished) db.setVanished(e.path, false);
                ++stats.unchanged;
                stats.other += known->kind == FileKind::Other;
                stats.workbooks += known->kind != FileKind::Other;
                stats.failed += known->kind == FileKind::Failed;
                continue;
            }
            if (worthReading(contentOfFile(e.path))) {
                toRead.push_back({e.path, e.size, e.mtimeNs});
                continue;
            }
            FileFacts other;
            other.path = e.path;
            other.size = e.size;
            other.mtimeNs = e.mtimeNs;
            db.store(other, run);
            ++stats.other;
            batch.added();
        }
    }

    if (!toRead.empty()) {
        WorkerPool pool(o.pool);
        Batch batch(db);
        progress.start(qint64(toRead.size()));
        pool.run(toRead, [&](FileFacts&& f) {
            db.store(f, run);
            batch.added();
            ++stats.read;
            stats.other += f.kind == FileKind::Other;
            stats.workbooks += f.kind != FileKind::Other;
            stats.failed += f.kind == FileKind::Failed;
            progress.fileDone(f.kind == FileKind::Failed);
        }, [&] {
            progress.tick();
            batch.tick();
        });
        progress.finish();
        stats.peakWorkerKb = pool.peakWorkerKb();
    }

    // A row of the scope whose file is not there now is marked gone, but only
    // when the file is really missing: one the walk left out (excluded, in a
    // folder that cannot be read) is not gone.
    db.begin();
    for (auto it = index.constBegin(); it != index.constEnd(); ++it) {
        if (it->vanished || present.contains(it.key()) || !scope.covers(it.key())) continue;
        WalkEntry e;
        int error = 0;
        if (!statFile(it.key(), e, &error) && (error == ENOENT || error == ENOTDIR)) {
            db.setVanished(it.key(), true);
            ++stats.vanished;
        }
    }
    stats.linksFound = db.resolveLinks();
    db.finishRun(run, {stats.seen, stats.read, stats.failed, stats.vanished});
    db.commit();
    stats.seconds = clock.elapsed() / 1000.0;
    return stats;
}

QString summaryText(const ScanStats& s) {
    QString text = QStringLiteral("完了: ファイル %1 件（ブック %2、うち読めなかったもの %3、ブック以外 %4）、"
                                  "今回読んだもの %5、変更なし %6")
                       .arg(s.seen).arg(s.workbooks).arg(s.failed).arg(s.other).arg(s.read).arg(s.unchanged);
    if (s.vanished > 0) text += QStringLiteral("、なくなったもの %1").arg(s.vanished);
    if (s.problems > 0) text += QStringLiteral("、確認できなかったフォルダ・ファイル %1").arg(s.problems);
    text += QStringLiteral("。所要 %1").arg(ProgressLine::duration(qint64(s.seconds + 0.5)));
    if (s.read > 0 && s.seconds > 0) text += QStringLiteral("（%1 件/秒）").arg(s.read / s.seconds, 0, 'f', 1);
    if (s.peakWorkerKb > 0) text += QStringLiteral("、読み取りプロセスの最大メモリ %1 MB").arg(s.peakWorkerKb / 1024);
    return text + QStringLiteral("。");
}

}  // namespace tabulon::inventory
