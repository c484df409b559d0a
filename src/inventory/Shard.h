#pragma once
// Shards: slices of a work list that machines read on their own. A file
// belongs to the shard its path's hash names, so the slices are the same on
// every machine and in every retry, whatever order the list is in. A shard's
// database is written under a working name and renamed into place when the
// shard is complete, so a retried or killed shard never leaves half a result
// under the final name.
#include <QString>
#include <optional>

namespace tabulon::inventory {

struct Shard {
    int k = 1;  // 1-based
    int n = 1;
};

// "K/N" with 1 <= K <= N; nothing for anything else.
std::optional<Shard> parseShard(const QString& text);
// The shard (1-based) of a path among n: the first 8 bytes of the SHA-256 of
// its UTF-8 form, modulo n.
int shardOf(const QString& path, int n);

// Where the shard's database is built: beside the target when that folder is
// on a local disk, else in the temporary folder (a database being written
// needs a local disk; the finished file may go anywhere).
QString shardWorkingPath(const QString& target);
// Before the run: a working database is resumed as it is; otherwise an
// existing complete target is copied to it, so the shard reads only what
// changed since. Throws tabulon::Error 75 when the copy fails.
void prepareShard(const QString& target, const QString& working);
// After the run (the working database closed): puts it under the target name
// in one step, synced. Throws tabulon::Error 75.
void publishShard(const QString& working, const QString& target);

}  // namespace tabulon::inventory
