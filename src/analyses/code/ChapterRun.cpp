#include "analyses/code/ChapterRun.h"

#include "analyses/code/CodeLine.h"
#include "store/Database.h"

namespace tabulon::analyses::code {

void runChapter(const CodeContext& ctx, const ChapterFrame& frame, CodeOutcome& out, int doneMark,
                const std::function<void(store::Database&)>& collect) {
    runGuarded(ctx, frame.place, out, [&] {
        auto db = store::Database::open(ctx.databasePath);
        BusyGuard busy(ctx.progress);
        ctx.progress.showGauge(true);
        ctx.progress.progress(0);
        db->clearTable(frame.table);
        ctx.cursor.workingFolder = ctx.tempFolder;
        ctx.progress.status(frame.status);
        collect(*db);
        db->commit();
        out.collected = true;
        out.doneMark = doneMark;
        out.end = CodeOutcome::End::Report;
        ctx.progress.status(FinishedText);
        ctx.progress.progress(100);
    });
}

void readFiles(const CodeContext& ctx, const QStringList& paths, CodeOutcome& out, const FileVisit& visit) {
    SourceCursor& c = ctx.cursor;
    c.moduleNumber = 0;
    for (int i = 0; i < paths.size(); ++i) {
        c.filePath = paths[i];
        LineReader reader(c.filePath);
        ++c.moduleNumber;
        if (visit.begin) visit.begin(i);
        while (!reader.atEnd()) {
            c.rawLine = reader.next();
            ++out.linesRead;
            visit.line(reader);
        }
        if (visit.end) visit.end();
        if (visit.progress) ctx.progress.progress(progressShare(c.moduleNumber, paths.size()));
    }
}

QStringList pathsOf(const std::vector<KindFile>& files) {
    QStringList paths;
    for (const KindFile& f : files) paths << f.path;
    return paths;
}

std::vector<KindFile> allModuleFiles(const QString& folder) {
    std::vector<KindFile> files;
    for (const ModuleKind& kind : moduleKinds())
        for (const QString& path : listModuleFiles(folder, kind.pattern))
            files.push_back({&kind, path});
    return files;
}

}  // namespace tabulon::analyses::code
