#include "analyses/code/ModuleSteps.h"

#include "analyses/code/ChapterRun.h"
#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "analyses/code/SourceList.h"
#include "store/Database.h"

#include <optional>

namespace tabulon::analyses::code {

namespace {

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
        // A comment counts as one however it is indented (blanks or tabs) or
        // marked (an apostrophe, Rem with or without words); a line of
        // blanks and tabs only is a blank line.
        if (isWholeLineComment(raw)) ++counts_.comments;
        else if (stripIndent(raw).isEmpty()) ++counts_.blanks;
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

// Workbook and sheet modules leave the exporter's header uncounted; class
// and form modules count theirs in the declarations.
int firstCountedLine(const CodeModule& module) {
    return module.kind->code >= 4 ? module.headerLines : 0;
}

}  // namespace

StepTotals moduleStepTotals(const CodeModule& module) {
    SourceCursor c;
    StepTotals totals;
    ModuleCounter counter(c, [&](const StepRow& r) {
        totals.comments += r.counts.comments;
        totals.blanks += r.counts.blanks;
        totals.total += r.counts.total;
    });
    for (qsizetype i = firstCountedLine(module); i < module.lines.size(); ++i) counter.line(module.lines[i]);
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
        const ModuleKind* kind = nullptr;
        std::optional<ModuleCounter> counter;
        const auto write = [&](const StepRow& r) {
            table->addNew();
            table->set(QStringLiteral("Object"), kind->label);
            table->set(QStringLiteral("objectNo"), c.moduleNumber);
            table->set(QStringLiteral("ProcedureNo"), r.section);
            table->set(QStringLiteral("objectName"), c.moduleFile);
            table->set(QStringLiteral("ProcedureName"), r.name);
            table->set(QStringLiteral("ComentCnt"), r.counts.comments);
            table->set(QStringLiteral("SpaceCnt"), r.counts.blanks);
            table->set(QStringLiteral("ProcCnt"), r.counts.total - r.counts.blanks - r.counts.comments);
            table->set(QStringLiteral("TotalCnt"), r.counts.total);
            table->update();
            ++out.rows;
        };
        int headerLeft = 0;
        const auto begin = [&](const CodeModule& module) {
            kind = module.kind;
            headerLeft = firstCountedLine(module);
            counter.emplace(c, write);
        };
        const auto line = [&](LineReader&) {
            if (headerLeft > 0) {
                --headerLeft;
                return;
            }
            counter->line(c.rawLine);
        };
        readModules(ctx, allModules(ctx), out, {begin, line, [&] { counter->finish(); }});
    });
    return out;
}

}  // namespace tabulon::analyses::code
