#pragma once
// Copies of database files that never change the source. Results files and
// the program's analysis database are read this way wherever a private copy
// is wanted: loading a results file, `tabulon report`, the working database
// of a batch run.
#include <QString>

struct sqlite3;

namespace tabulon::store {

// How the source is read.
enum class CopySource {
    // A file that may be written while it is copied (the program's analysis
    // database): read under the engine's read lock, so a writer in another
    // process cannot tear the copy.
    Live,
    // A file nobody writes (a results file): its bytes are copied as they are.
    Settled,
};

// Copies `source` to `target` (replaced) as the engine reads it committed.
// A journal or write-ahead log another program left beside the source (an
// interrupted or unfinished write) is copied with it and replayed or rolled
// back in the copy; the source and its side files stay byte for byte as they
// were. Returns 0 or the engine's result code, with `reason` worded for the
// user. The target's side files are removed either way.
int copyDatabaseFile(const QString& source, const QString& target, CopySource kind, QString& reason);

// The engine's online backup of the open database `source` into a new file
// at `target`: consistent although the source stays open. Returns 0 or the
// engine's result code, with `reason` filled.
int backupInto(sqlite3* source, const QString& target, QString& reason);

// Why the engine could not read or write a file, in the user's words.
QString engineReason(sqlite3* db, int rc);

}  // namespace tabulon::store
