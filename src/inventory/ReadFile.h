#pragma once
// One file read into its facts, in a worker process: the bytes taken once
// (Snapshot.h), the workbook loaded by the reader, the facts counted; every
// refusal of the reader becomes the file's error, in Japanese with the
// reader's detail.
#include "inventory/Facts.h"

namespace tabulon::inventory {

struct ReadRequest {
    QString path;
    qint64 size = 0;
    qint64 mtimeNs = 0;
};

// `scratch`: the worker's own folder; `keepBytes`: the largest file handed
// to the reader (a larger one is failed at once: it could not fit the
// memory the worker may use).
FileFacts readFileFacts(const ReadRequest& request, const QString& scratch, qint64 keepBytes);

}  // namespace tabulon::inventory
