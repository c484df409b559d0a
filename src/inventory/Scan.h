#pragma once
// One run over the estate: find the files (a walk over the roots, or a work
// list and its shard), keep what has not changed since the last run, read the
// rest in the worker processes, mark the files that are gone, point the links
// at the files they name. Rows are committed in batches as the answers come,
// so a killed run loses at most one batch and the next run, seeing those
// files unchanged, goes on where it stopped.
#include "inventory/Shard.h"
#include "inventory/WorkerPool.h"

#include <QStringList>
#include <optional>

namespace tabulon::inventory {

class EstateDb;
class ProgressLine;

struct ScanOptions {
    QStringList roots;           // canonical roots; empty when listFile is given
    QString listFile;            // a work list of `--list` ("-": standard input)
    std::optional<Shard> shard;  // of the work list
    QStringList excludes;
    PoolOptions pool;
    bool verifyHash = false;     // unchanged size and time are confirmed by the content's hash
    bool retryFailed = false;    // files that failed before are read again
};

struct ScanStats {
    qint64 seen = 0;        // files of the scope present now
    qint64 unchanged = 0;   // not read again
    qint64 read = 0;        // handed to the reader
    qint64 workbooks = 0;   // present workbooks of the scope, read or failed
    qint64 failed = 0;      // of them, failed (this run or before)
    qint64 other = 0;       // present files that are no workbook
    qint64 vanished = 0;    // marked gone in this run
    qint64 problems = 0;    // folders and files the walk could not examine
    qint64 linksFound = 0;
    qint64 peakWorkerKb = 0;
    double seconds = 0;
};

// Paths of a work list: one absolute path a line, UTF-8.
QStringList readWorkList(const QString& file);

ScanStats scanEstate(EstateDb& db, const ScanOptions& options, ProgressLine& progress);

// The closing line of a run, in Japanese.
QString summaryText(const ScanStats& stats);

}  // namespace tabulon::inventory
