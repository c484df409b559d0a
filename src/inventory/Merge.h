#pragma once
// The union of shard databases. Each part's file rows replace rows of the same
// path that were read earlier (a part read later wins), with their modules,
// procedures and findings; runs and walk problems are kept as the parts
// recorded them. One transaction per part: a failed merge leaves the target
// as it was before that part. Links are resolved afresh at the end, across
// the whole estate, since a link may lead into another shard.
#include <QStringList>

namespace tabulon::inventory {

class EstateDb;

struct MergeStats {
    int parts = 0;
    qint64 files = 0;  // rows taken from the parts
    qint64 linksFound = 0;
};

// Throws tabulon::Error (Japanese) for a part that is missing, no estate
// database or of a newer format.
void checkParts(const QStringList& parts);

// Checks every part first, so a merge refused writes nothing.
MergeStats mergeParts(EstateDb& target, const QStringList& parts);

}  // namespace tabulon::inventory
