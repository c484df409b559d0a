#include "store/Database.h"

#include "store/ResultsFile.h"

namespace tabulon::store {

// One way to copy an open database: the results file's (backup beside the
// target, synced, renamed into place).
void Database::copyTo(const QString& destination) { writeResultsFile(*this, destination); }

}  // namespace tabulon::store
