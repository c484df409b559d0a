#pragma once
// The reading processes. Every workbook is read in a worker process of our
// own executable (`tabulon inventory --worker`), never in the run itself: a
// worker has a memory limit, is killed when one file takes longer than the
// time limit, and when it dies (a crash, the memory limit) the file it held is
// recorded as failed and a fresh worker takes its place. Whatever a hostile
// file does to the reader, it costs at most its time and memory and the run
// goes on.
//
// The run and its workers speak in lines: a request per file (JSON with path,
// size and time), a FileFacts answer per file (JSON, see Facts.h).
#include "inventory/Facts.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tabulon::inventory {

struct WorkItem {
    QString path;
    qint64 size = 0;
    qint64 mtimeNs = 0;
};

struct PoolOptions {
    QString program;         // the tabulon executable
    int workers = 1;
    int timeoutSeconds = 60;
    qint64 memoryMb = 2048;  // address space a worker may add for one file
};

class WorkerPool {
public:
    // Throws tabulon::Error when no worker can be started.
    explicit WorkerPool(PoolOptions options);
    ~WorkerPool();  // ends the workers
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Reads every item; `done` gets each answer in the calling thread as it
    // comes, `tick` is called at least every 200 ms while the workers read.
    void run(const std::vector<WorkItem>& items, const std::function<void(FileFacts&&)>& done,
             const std::function<void()>& tick);

    // The highest resident memory any worker reached, in kilobytes.
    qint64 peakWorkerKb() const;
    // Workers started in all (more than `workers` when some died).
    int started() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The worker side: reads requests from standard input until it ends,
// answering each on standard output. `scratch` holds the worker's mirror
// links (see Snapshot.h). Returns the exit code.
int runWorker(const QString& scratch, qint64 memoryMb);

}  // namespace tabulon::inventory
