#pragma once
// The one row of T_XlSaveFlag in a results file: which analyses the file
// holds and under which option (the done marks), the source list's column
// option and the cover-page texts as they stood in the window. Saving takes
// it from the session; loading gives it back (PrintSet), which brings the
// window into the state in which the saved chapters can be previewed.
#include "intake/Session.h"

#include <QStringList>
#include <array>
#include <optional>

namespace tabulon::store {
class Database;
}

namespace tabulon::intake {

struct SaveFlag {
    QString objName;                     // the workbook's bare file name
    std::array<int, kMarkCount> marks{}; // indexed by Mark
    int mSs = 2;                         // the source list's columns: 1 or 2
    QString title, system, company, bumon, auther, createDate;
    bool operator==(const SaveFlag&) const = default;
};

SaveFlag saveFlagOf(const Session& session);

// Empties T_XlSaveFlag and writes the row.
void writeSaveFlag(store::Database& db, const SaveFlag& flag);

// The saved row; nothing when the table is empty. A value out of the range
// of its option is refused (error 3343, naming the field) before anything is
// applied, so a damaged file cannot leave the window half restored.
std::optional<SaveFlag> readSaveFlag(store::Database& db);

// The analysis tables whose rows a mark vouches for (empty for the cell
// sheet-selection mark, which goes with the cell mark).
QStringList tablesOfMark(Mark mark);

// Sets every mark to 0 whose tables are among `tables` (tables a results file
// of an older format lacked and that were added empty).
void clearMarksOfTables(SaveFlag& flag, const QStringList& tables);

// Restores marks, options, cover texts and the previews of the saved
// analyses, and makes the cover pages usable.
void PrintSet(Session& session, const SaveFlag& flag);

}  // namespace tabulon::intake
