#pragma once
// The frame every collecting code command shares: the workbook reopen rule,
// the analysis database, the busy convention with the gauge at 0, the reset
// statement of its table, its status text, the collection itself, one commit,
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
    QString resetSql;    // "delete * from T_Xl...;"
    QString status;      // the "...取得中" text
};

// Runs `collect` inside the frame; on success the outcome ends in Report with
// `report` (which may be empty: nothing to show) and `doneMark`.
void runChapter(const CodeContext& ctx, const ChapterFrame& frame, CodeOutcome& out,
                const QString& report, int doneMark,
                const std::function<void(store::Database&)>& collect);

// Every module file of the working folder with its kind, in visiting order.
struct KindFile {
    const ModuleKind* kind;
    QString path;
};
std::vector<KindFile> allModuleFiles(const QString& folder);

}  // namespace tabulon::analyses::code
