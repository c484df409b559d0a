#pragma once
// Results files (.xdb): an analysis database that travels on its own. It is
// written as a consistent copy of the open database (the engine's backup,
// never the live file's bytes) into a temporary file beside the chosen name,
// synced and renamed into place, so the name holds either the old file or
// the complete new one. The header carries our application id and the format
// version, so a results file is told apart from any other SQLite file.
//
// A results file is never opened for writing: loading copies it into a
// private working copy, brings an older format up to date there (tables it
// lacks are added empty) and the reports print from that copy.
#include "common/Error.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace tabulon::store {

class Database;

// PRAGMA application_id of every results file: "Tabu" in ASCII.
inline constexpr int kResultsApplicationId = 0x54616275;
// PRAGMA user_version: 1 is the first format with the application id;
// files written before it carry 0 and are read as an older format.
inline constexpr int kResultsFormatVersion = 1;

enum class ResultsKind {
    Current,   // ours, this format version
    Older,     // ours, an earlier format version
    Newer,     // ours, a later format version this program cannot read
    NotSqlite, // not a database at all (or cut short)
    Jet,       // a database of the old Windows program (Jet/Access file)
    Foreign,   // an SQLite file of another program
    Damaged,   // ours by its header, but the pages do not check out
};

// What the header of a file says; `version` is its user_version.
struct ResultsHeader {
    ResultsKind kind = ResultsKind::NotSqlite;
    int version = 0;
};
ResultsHeader readResultsHeader(const QString& path);

// Raised when a file is refused as a results file; the description names the
// file and why, worded for the user.
class ResultsRefused : public Error {
public:
    ResultsRefused(ResultsKind kind, int version, const QString& path);
    ResultsKind kind() const { return kind_; }

private:
    ResultsKind kind_;
};
// Error number of a refused file (the engine's "unrecognised database format").
inline constexpr int kUnrecognisedFormat = 3343;

// Writes `live` as the results file `destination`. `prepare` runs on the
// temporary copy before it is stamped and renamed (to adjust what is saved);
// the live database is not changed. Replaces an existing file only at the
// final rename. Error 75 with the path and the reason on any failure, after
// which the temporary file is gone and `destination` is as it was.
void writeResultsFile(Database& live, const QString& destination,
                      const std::function<void(Database& copy)>& prepare = {});

// What loading made of a results file.
struct WorkingCopy {
    QString path;              // the private copy the reports print from
    QStringList addedTables;   // analysis tables the file lacked (older format)
};

// Checks `results` as a whole (header, every page, the analysis tables) and
// copies it to `workingPath`, replacing what was there. Throws ResultsRefused
// for a file that is not a results file this program can read, or error 75
// when the copy cannot be written; `results` is only ever read.
WorkingCopy openWorkingCopy(const QString& results, const QString& workingPath);

}  // namespace tabulon::store
