#include "analyses/code/ProcedureList.h"

#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "analyses/code/ProcedureRows.h"
#include "store/Database.h"

namespace tabulon::analyses::code {

namespace {

// Statements outside the keyword filter are never looked at.
bool passesKeywordFilter(const SourceCursor& c) {
    static const char16_t* const words[] = {kw::Private, kw::Public, kw::Property, kw::Function,
                                            kw::Sub,     kw::Global, kw::Const,    kw::Call};
    if (isCommentLine(c.rawLine)) return false;
    const QString u = upper(ltrim(c.logicalLine));
    for (const char16_t* w : words)
        if (u.contains(QStringView(w))) return true;
    return u.startsWith(QStringView(kw::Dim)) || isUnscopedBlock(c.logicalLine);
}

bool isDeclarationOrCall(const QString& logicalLine) {
    return contains(logicalLine, kw::Call) || contains(logicalLine, kw::Const) ||
           contains(logicalLine, kw::Global) || contains(logicalLine, kw::Private) ||
           contains(logicalLine, kw::Public) || beginsWith(logicalLine, kw::Dim) || isUnscopedBlock(logicalLine);
}

class Run {
public:
    Run(const CodeContext& ctx, bool detailed, CodeOutcome& out)
        : ctx_(ctx), c_(ctx.cursor), detailed_(detailed), out_(out) {}

    void collect(store::Database& db) {
        ProcedureRows rows(db, c_);
        rows_ = &rows;
        c_.moduleNumber = 0;
        c_.procedureNumber = 0;
        ctx_.progress.status(CollectingText);
        for (const CodeModule& module : ctx_.modules) readModule(module);
        out_.rows = rows.written();
        rows_ = nullptr;
    }

private:
    void readModule(const CodeModule& module) {
        c_.moduleFile = module.fileName;
        LineReader reader(module.lines);
        ++c_.moduleNumber;
        c_.logicalLine.clear();
        c_.procedureNumber = 0;
        c_.lineNumber = 0;
        while (!reader.atEnd()) {
            readStatement(c_, reader);
            examine(*module.kind);
            c_.logicalLine.clear();
        }
        out_.linesRead += c_.lineNumber;
        ctx_.progress.progress(progressAfterFile(c_.moduleNumber, ctx_.counts.total()));
    }

    void examine(const ModuleKind& kind) {
        if (!passesKeywordFilter(c_)) return;
        const CodeLine code = codeLine(c_.logicalLine);
        if (isHeaderCode(code)) {
            ++c_.procedureNumber;
            c_.procedureName = GetProcName(c_.logicalLine);
            c_.logicalLine = code.code;  // scope, kind and parameters come from the code part
            rows_->procedure(kind);
        } else if (detailed_ && isDeclarationOrCall(c_.logicalLine)) {
            if (c_.procedureNumber == 0) {
                c_.procedureNumber = 1;
                rows_->declarationsRow();
            }
            rows_->DCCGWrite();
        }
    }

    const CodeContext& ctx_;
    SourceCursor& c_;
    bool detailed_;
    CodeOutcome& out_;
    ProcedureRows* rows_ = nullptr;
};

}  // namespace

QStringList procedureNames(const CodeModule& module) {
    SourceCursor c;
    LineReader reader(module.lines);
    QStringList names;
    while (!reader.atEnd()) {
        readStatement(c, reader);
        if (passesKeywordFilter(c) && isHeaderCode(codeLine(c.logicalLine)))
            names << GetProcName(c.logicalLine);
        c.logicalLine.clear();
    }
    return names;
}

CodeOutcome runProcedureList(const CodeContext& ctx, const ProcedureListOptions& options) {
    CodeOutcome out;
    out.doneMark = options.tablesMode;
    if (refuseWithoutModules(ctx, out)) return out;
    runGuarded(ctx, ProcedureListPlace, out, [&] {
        if (options.tablesMode != int(options.mode)) {
            auto db = store::Database::open(ctx.databasePath);
            BusyGuard busy(ctx.progress);
            ctx.progress.showGauge(true);
            ctx.progress.progress(0);
            db->clearTable(QStringLiteral("T_XlProcName"));
            db->clearTable(QStringLiteral("T_XlDimCall"));
            Run(ctx, options.mode == intake::ProcedureOption::Detailed, out).collect(*db);
            db->commit();
            out.collected = true;
        }
        out.doneMark = int(options.mode);
        out.end = CodeOutcome::End::Report;
        ctx.progress.status(FinishedText);
        ctx.progress.progress(100);
    });
    return out;
}

}  // namespace tabulon::analyses::code
