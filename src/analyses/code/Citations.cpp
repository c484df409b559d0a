#include "analyses/code/Citations.h"

#include "analyses/code/ChapterRun.h"
#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "store/Database.h"

#include <algorithm>
#include <deque>

namespace tabulon::analyses::code {

// An Aho-Corasick automaton over the names; each state knows the smallest
// list position among the names that end there.
FirstNameMatcher::FirstNameMatcher(const QStringList& names) {
    nodes_.emplace_back();
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].isEmpty()) continue;
        int state = 0;
        for (QChar qc : names[i]) {
            const char16_t ch = qc.unicode();
            int to = child(state, ch);
            if (to < 0) {
                to = int(nodes_.size());
                auto& next = nodes_[size_t(state)].next;
                next.insert(std::lower_bound(next.begin(), next.end(), std::make_pair(ch, 0)), {ch, to});
                nodes_.emplace_back();
            }
            state = to;
        }
        int& best = nodes_[size_t(state)].best;
        if (best < 0 || i < best) best = i;
    }
    std::deque<int> queue;
    for (const auto& [ch, to] : nodes_[0].next) queue.push_back(to);
    while (!queue.empty()) {
        const int state = queue.front();
        queue.pop_front();
        for (const auto& [ch, to] : nodes_[size_t(state)].next) {
            int f = nodes_[size_t(state)].fail;
            while (f > 0 && child(f, ch) < 0) f = nodes_[size_t(f)].fail;
            const int target = child(f, ch);
            nodes_[size_t(to)].fail = target >= 0 && target != to ? target : 0;
            const int inherited = nodes_[size_t(nodes_[size_t(to)].fail)].best;
            int& best = nodes_[size_t(to)].best;
            if (inherited >= 0 && (best < 0 || inherited < best)) best = inherited;
            queue.push_back(to);
        }
    }
}

int FirstNameMatcher::child(int state, char16_t ch) const {
    const auto& next = nodes_[size_t(state)].next;
    const auto it = std::lower_bound(next.begin(), next.end(), std::make_pair(ch, 0));
    return it != next.end() && it->first == ch ? it->second : -1;
}

int FirstNameMatcher::step(int state, char16_t ch) const {
    for (;;) {
        const int to = child(state, ch);
        if (to >= 0) return to;
        if (state == 0) return 0;
        state = nodes_[size_t(state)].fail;
    }
}

int FirstNameMatcher::firstIn(QStringView line) const {
    int state = 0, best = -1;
    for (QChar qc : line) {
        state = step(state, qc.unicode());
        const int here = nodes_[size_t(state)].best;
        if (here >= 0 && (best < 0 || here < best)) {
            best = here;
            if (best == 0) break;
        }
    }
    return best;
}

namespace {

bool skipped(const QString& raw) {
    return trim(raw).isEmpty() || raw.startsWith(u"Attribute");
}

// Sub and Function headers (not Property) of code lines.
bool isCollectedHeader(const CodeLine& code) {
    return !code.comment && !code.exit &&
           (wordPosition(code.masked, u"FUNCTION", WordEnd::Header) > 0 ||
            wordPosition(code.masked, u"SUB", WordEnd::Header) > 0);
}

}  // namespace

CodeOutcome runCitations(const CodeContext& ctx) {
    CodeOutcome out;
    if (refuseUnreadableProject(ctx, out)) return out;
    const ChapterFrame frame{CitationsPlace, QStringLiteral("T_XlLinkModule"),
                             CitationsCollectingText};
    runChapter(ctx, frame, out, 1, [&](store::Database& db) {
        SourceCursor& c = ctx.cursor;
        auto table = db.openTable(QStringLiteral("T_XlLinkModule"));
        const ModuleList standard = modulesOf(ctx.modules, {1});
        QStringList names, modules;
        for (const CodeModule* module : standard) {
            for (const QString& raw : module->lines) {
                ++out.linesRead;
                if (skipped(raw) || !isCollectedHeader(procedureCodeLine(raw))) continue;
                const QString name = GetProcName(raw);
                if (name == kUnknownProcName || name.isEmpty()) continue;
                names << name;
                modules << module->fileName;
            }
        }
        const FirstNameMatcher matcher(names);
        const auto cite = [&](LineReader&) {
            if (skipped(c.rawLine)) return;
            if (isCollectedHeader(procedureCodeLine(c.rawLine))) {
                c.procedureName = GetProcName(c.rawLine);
                return;
            }
            if (!c.rawLine.contains(u"= ") && !c.rawLine.contains(QStringView(kw::Call), Qt::CaseInsensitive))
                return;
            const int i = matcher.firstIn(c.rawLine);
            if (i < 0) return;
            table->addNew();
            table->set(QStringLiteral("objectNo"), c.moduleNumber);
            table->set(QStringLiteral("ProcedureNo"), i);
            table->set(QStringLiteral("objectName"), c.moduleFile);
            table->set(QStringLiteral("Procedure"), c.procedureName);
            table->set(QStringLiteral("LinkProcedure"), names[i]);
            table->set(QStringLiteral("MotoName"), modules[i]);
            table->update();
            ++out.rows;
        };
        // The search reports no progress between 0 and 100.
        readModules(ctx, standard, out, {[&](const CodeModule&) { c.procedureName.clear(); }, cite, {}, false});
    });
    return out;
}

}  // namespace tabulon::analyses::code
