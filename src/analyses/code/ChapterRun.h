#pragma once
// The frame every collecting code command shares: the analysis database, the
// busy convention with the gauge at 0, its table emptied, its status text,
// the collection itself, one commit,
// then "終了しました" and 100 %. Failures become the command's error box.
#include "analyses/code/CodeCommand.h"

#include <functional>
#include <vector>

namespace tabulon::store {
class Database;
}

namespace tabulon::analyses::code {

struct ChapterFrame {
    QString place;       // "場所:..." text of the error box
    QString table;       // the table it empties and fills
    QString status;      // the "...取得中" text
};

// Runs `collect` inside the frame; on success the outcome ends in Report with
// `doneMark`.
void runChapter(const CodeContext& ctx, const ChapterFrame& frame, CodeOutcome& out, int doneMark,
                const std::function<void(store::Database&)>& collect);

// Reads the modules in order, one reader each: the module number counts them
// from 1, the cursor's module file and raw line follow the reading and the
// outcome counts the lines. `line` gets the reader too (a Type block reads on
// by itself); `begin` and `end` may be empty.
struct ModuleVisit {
    std::function<void(const CodeModule& module)> begin;
    std::function<void(LineReader& reader)> line;
    std::function<void()> end;
    bool progress = true;  // 100 x modules done / all modules after each one
};
void readModules(const CodeContext& ctx, const ModuleList& modules, CodeOutcome& out, const ModuleVisit& visit);
// Every module of the context, in visiting order.
ModuleList allModules(const CodeContext& ctx);

}  // namespace tabulon::analyses::code
