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

// Every module file of the working folder with its kind, in visiting order.
struct KindFile {
    const ModuleKind* kind;
    QString path;
};
std::vector<KindFile> allModuleFiles(const QString& folder);
QStringList pathsOf(const std::vector<KindFile>& files);

// Reads the files in order, one reader each: the module number counts them
// from 1, the cursor's file path and raw line follow the reading and the
// outcome counts the lines. `line` gets the reader too (a Type block reads on
// by itself); `begin` (with the file's index) and `end` may be empty.
struct FileVisit {
    std::function<void(int index)> begin;
    std::function<void(LineReader& reader)> line;
    std::function<void()> end;
    bool progress = true;  // 100 x files done / all files after each file
};
void readFiles(const CodeContext& ctx, const QStringList& paths, CodeOutcome& out, const FileVisit& visit);

}  // namespace tabulon::analyses::code
