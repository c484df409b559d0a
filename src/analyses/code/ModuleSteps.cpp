#include "analyses/code/ModuleSteps.h"

#include "analyses/code/ChapterRun.h"
#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "analyses/code/SourceList.h"
#include "store/Database.h"

#include <optional>

namespace tabulon::analyses::code {

namespace {

constexpr int ClassHeaderLines = 4;

struct Counts {
    qint64 comments = 0, blanks = 0, total = 0;
    void add(const Counts& o) { comments += o.comments; blanks += o.blanks; total += o.total; }
};

struct StepRow {
    int section = 0;
    QString name;
    Counts counts;
};

// Counts one module file. A row is held back until the next one starts or the
// file ends, so that lines after the last end line still land in the module's
// last row; a module without any row (declarations only) gets one
// "(Declarations)" row. Counters and names start afresh in every file, so a
// run gives the same numbers whatever ran before it.
class ModuleCounter {
public:
    ModuleCounter(SourceCursor& c, std::function<void(const StepRow&)> write)
        : c_(c), write_(std::move(write)) {}

    void line(const QString& raw) {
        if (raw.startsWith(u"Attribute")) return;
        if (raw.isEmpty()) {
            if (section_ > 0) { ++counts_.blanks; ++counts_.total; }
            return;
        }
        if (counts_.total == 0 && section_ == 0) c_.procedureName = NoDeclarationsName;
        const CodeLine code = procedureCodeLine(raw);
        if (isHeaderCode(code)) c_.procedureName = GetProcName(raw);
        ++counts_.total;
        const QString body = ltrim(raw);
        if (body.startsWith(u'\'') || upper(left(body, 4)) == u"REM ") ++counts_.comments;
        else if (trim(raw).isEmpty()) ++counts_.blanks;
        if (isEndCode(code, false)) {
            startRow(c_.procedureName);
        } else if (previousName_ == NoDeclarationsName && c_.procedureName != NoDeclarationsName) {
            startRow(NoDeclarationsName);
        }
        previousName_ = c_.procedureName;
    }

    void finish() {
        if (pending_) {
            pending_->counts.add(counts_);
            write_(*pending_);
        } else if (counts_.total > 0) {
            write_(StepRow{1, NoDeclarationsName, counts_});
        }
    }

private:
    void startRow(const QString& name) {
        if (pending_) write_(*pending_);
        pending_ = StepRow{++section_, name, counts_};
        counts_ = {};
    }

    SourceCursor& c_;
    std::function<void(const StepRow&)> write_;
    int section_ = 0;
    Counts counts_;
    QString previousName_;
    std::optional<StepRow> pending_;
};

// A document module's export begins with a class header the counts leave
// out: the cursor's raw line moves past it. Returns the lines passed over.
int skipClassHeader(SourceCursor& c, LineReader& reader, bool document) {
    if (!document || !upper(c.rawLine).startsWith(u"VERSION 1.0 CLASS")) return 0;
    for (int i = 0; i < ClassHeaderLines; ++i) c.rawLine = reader.next();
    return ClassHeaderLines;
}

}  // namespace

StepTotals moduleStepTotals(LineReader& reader, bool document) {
    SourceCursor c;
    StepTotals totals;
    ModuleCounter counter(c, [&](const StepRow& r) {
        totals.comments += r.counts.comments;
        totals.blanks += r.counts.blanks;
        totals.total += r.counts.total;
    });
    while (!reader.atEnd()) {
        c.rawLine = reader.next();
        skipClassHeader(c, reader, document);
        counter.line(c.rawLine);
    }
    counter.finish();
    totals.code = totals.total - totals.blanks - totals.comments;
    return totals;
}

CodeOutcome runModuleSteps(const CodeContext& ctx) {
    CodeOutcome out;
    if (refuseWithoutModules(ctx, out)) return out;
    const ChapterFrame frame{ModuleStepsPlace, QStringLiteral("T_XlModStep"), CollectingText};
    runChapter(ctx, frame, out, 1, [&](store::Database& db) {
        SourceCursor& c = ctx.cursor;
        auto table = db.openTable(QStringLiteral("T_XlModStep"));
        const std::vector<KindFile> files = allModuleFiles(c.workingFolder);
        const ModuleKind* kind = nullptr;
        std::optional<ModuleCounter> counter;
        const auto write = [&](const StepRow& r) {
            table->addNew();
            table->set(QStringLiteral("Object"), kind->label);
            table->set(QStringLiteral("objectNo"), c.moduleNumber);
            table->set(QStringLiteral("ProcedureNo"), r.section);
            table->set(QStringLiteral("objectName"), moduleNameFromPath(c.filePath));
            table->set(QStringLiteral("ProcedureName"), r.name);
            table->set(QStringLiteral("ComentCnt"), r.counts.comments);
            table->set(QStringLiteral("SpaceCnt"), r.counts.blanks);
            table->set(QStringLiteral("ProcCnt"), r.counts.total - r.counts.blanks - r.counts.comments);
            table->set(QStringLiteral("TotalCnt"), r.counts.total);
            table->update();
            ++out.rows;
        };
        const auto begin = [&](int index) {
            kind = files[size_t(index)].kind;
            counter.emplace(c, write);
        };
        const auto line = [&](LineReader& reader) {
            out.linesRead += skipClassHeader(c, reader, kind->code >= 4);  // workbook and sheet modules
            counter->line(c.rawLine);
        };
        readFiles(ctx, pathsOf(files), out, {begin, line, [&] { counter->finish(); }});
    });
    return out;
}

}  // namespace tabulon::analyses::code
