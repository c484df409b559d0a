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

void readModules(const CodeContext& ctx, const ModuleList& modules, CodeOutcome& out, const ModuleVisit& visit) {
    SourceCursor& c = ctx.cursor;
    c.moduleNumber = 0;
    for (const CodeModule* module : modules) {
        c.moduleFile = module->fileName;
        LineReader reader(module->lines);
        ++c.moduleNumber;
        if (visit.begin) visit.begin(*module);
        while (!reader.atEnd()) {
            c.rawLine = reader.next();
            ++out.linesRead;
            visit.line(reader);
        }
        if (visit.end) visit.end();
        if (visit.progress) ctx.progress.progress(progressShare(c.moduleNumber, qint64(modules.size())));
    }
}

ModuleList allModules(const CodeContext& ctx) {
    ModuleList all;
    for (const CodeModule& m : ctx.modules) all.push_back(&m);
    return all;
}

}  // namespace tabulon::analyses::code
