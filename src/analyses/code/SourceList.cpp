#include "analyses/code/SourceList.h"

#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "store/Database.h"

namespace tabulon::analyses::code {

using intake::ModuleSelection;

// One module kind each, with the kind's own code; All is every kind.
int selectionKind(ModuleSelection selection) {
    return selection == ModuleSelection::All ? 0 : int(selection);
}

namespace {

constexpr int SourceTextLimit = 255;

// The guards for selections naming one counted kind.
bool refuseMissingKind(const CodeContext& ctx, ModuleSelection selection, CodeOutcome& out) {
    QString text;
    if (selection == ModuleSelection::Standard && ctx.counts.standard == 0)
        text = QStringLiteral("標準ﾓｼﾞｭｰﾙは存在しません");
    if (selection == ModuleSelection::Class && ctx.counts.classes == 0)
        text = QStringLiteral("ｸﾗｽﾓｼﾞｭｰﾙは存在しません");
    if (selection == ModuleSelection::Form && ctx.counts.forms == 0)
        text = QStringLiteral("ﾌｫｰﾑﾓｼﾞｭｰﾙは存在しません");
    if (text.isEmpty()) return false;
    // The workbook may well hold code in other kinds: the status line says
    // which kind is missing, not that there is no module at all.
    ctx.progress.status(text);
    ctx.messages.message(text);
    out.end = CodeOutcome::End::Refused;
    out.message = text;
    return true;
}

int progressBase(const ModuleCounts& counts, ModuleSelection selection) {
    switch (selection) {
    case ModuleSelection::Standard: return counts.standard;
    case ModuleSelection::Class: return counts.classes;
    case ModuleSelection::Form: return counts.forms;
    case ModuleSelection::All: return counts.total();
    default: return 0;  // workbook and sheet modules report nothing per file
    }
}

// The selections that may take in document modules (the workbook's and the
// sheets'): they leave out the exporter's header of every module they list.
bool mayHoldDocumentModules(ModuleSelection selection) {
    return selection == ModuleSelection::Workbook || selection == ModuleSelection::Sheet ||
           selection == ModuleSelection::All;
}

class Run {
public:
    Run(const CodeContext& ctx, ModuleSelection selection, store::Database& db, CodeOutcome& out)
        : ctx_(ctx), c_(ctx.cursor), selection_(selection),
          table_(db.openTable(QStringLiteral("T_XlSource"))), out_(out) {}

    void collect() {
        c_.moduleNumber = 0;
        c_.procedureNumber = 1;
        c_.lineNumber = 0;
        ctx_.progress.status(CollectingText);
        c_.procedureName.clear();
        // "All" takes every module in file-name order, whatever its kind.
        const ModuleList modules = selection_ == ModuleSelection::All
                                       ? modulesOf(ctx_.modules, {1, 2, 3, 4, 5}, true)
                                       : modulesOf(ctx_.modules, {selectionKind(selection_)});
        for (const CodeModule* module : modules) readModule(*module);
    }

private:
    void readModule(const CodeModule& module) {
        c_.moduleFile = module.fileName;
        LineReader reader(module.lines);
        ++c_.moduleNumber;
        // The workbook, sheet and "all" selections leave out the exporter's
        // VERSION header; one kind chosen alone lists its module as exported.
        int headerLeft = mayHoldDocumentModules(selection_) ? module.headerLines : 0;
        while (!reader.atEnd()) {
            c_.rawLine = reader.next();
            ++out_.linesRead;
            if (headerLeft > 0) {
                --headerLeft;
                continue;
            }
            examine(module.kind->code);
        }
        if (const int n = progressBase(ctx_.counts, selection_))
            ctx_.progress.progress(progressAfterFile(c_.moduleNumber, n));
    }

    void examine(int kind) {
        const QString& line = c_.rawLine;
        const CodeLine code = procedureCodeLine(line);
        if (!code.comment && !code.exit && startsWithHeaderWord(code.code))
            c_.procedureName = GetProcName(line);
        if (trim(line).isEmpty() || line.startsWith(u"Attribute")) return;
        SourceWrite(quint8(kind));
        if (isEndCode(code, true)) {
            ++c_.procedureNumber;
            c_.procedureName.clear();
        }
    }

    // The header words right behind the scope word (and Friend or Static).
    static bool startsWithHeaderWord(const QString& code) {
        const QString u = upper(maskStrings(stripFriendStatic(PriPubDel2(code))));
        for (const char16_t* word : {u"SUB", u"FUNCTION", u"PROPERTY"})
            if (wordPosition(u, word, WordEnd::Header) == 1) return true;
        return false;
    }

    void SourceWrite(quint8 kind) {
        store::Table& t = *table_;
        t.addNew();
        ++c_.lineNumber;
        t.set(QStringLiteral("Label"), kind);
        t.set(QStringLiteral("objectNo"), c_.moduleNumber);
        t.set(QStringLiteral("ProcedureNo"), c_.procedureNumber);
        t.set(QStringLiteral("Line"), c_.lineNumber);
        t.set(QStringLiteral("objectName"), c_.moduleFile);
        t.set(QStringLiteral("ProcedureName"),
              c_.procedureName.isEmpty() ? NoDeclarationsName : c_.procedureName);
        t.set(QStringLiteral("Procedure"), rtrim(left(c_.rawLine, SourceTextLimit)));
        t.update();
        ++out_.rows;
    }

    const CodeContext& ctx_;
    SourceCursor& c_;
    ModuleSelection selection_;
    std::unique_ptr<store::Table> table_;
    CodeOutcome& out_;
};

}  // namespace

CodeOutcome runSourceList(const CodeContext& ctx, const SourceListOptions& options) {
    CodeOutcome out;
    out.doneMark = options.tableSelection;
    if (refuseWithoutModules(ctx, out) || refuseMissingKind(ctx, options.selection, out))
        return out;
    runGuarded(ctx, SourceListPlace, out, [&] {
        if (options.tableSelection != int(options.selection)) {
            auto db = store::Database::open(ctx.databasePath);
            BusyGuard busy(ctx.progress);
            ctx.progress.showGauge(true);
            ctx.progress.progress(0);
            db->clearTable(QStringLiteral("T_XlSource"));
            Run(ctx, options.selection, *db, out).collect();
            db->commit();
            out.collected = true;
        }
        out.doneMark = int(options.selection);
        out.end = CodeOutcome::End::Report;
        ctx.progress.status(FinishedText);
        ctx.progress.progress(100);
    });
    return out;
}

}  // namespace tabulon::analyses::code
