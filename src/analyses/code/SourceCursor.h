#pragma once
// The scan cursor: the values an analysis run and its row writers share. The
// caller owns one for the life of the main window; values survive from one run
// to the next and each analysis resets what it needs.
#include <QString>

namespace tabulon::analyses::code {

class LineReader;

struct SourceCursor {
    QString moduleFile;      // file name of the module being read ("Module1.bas")
    QString rawLine;         // the last physical line read, unchanged
    QString logicalLine;     // the statement under examination
    qint32 lineNumber = 0;   // physical lines read (per analysis rules)
    int moduleNumber = 0;    // objectNo: ordinal of the file within the run
    int procedureNumber = 0; // ProcedureNo
    QString procedureName;   // as GetProcName returned it
};

// Reads one statement: physical lines ending in a continuation are joined into
// the logical line (each piece without its last character, left-trimmed), and
// the line number counts every physical line read. A module whose last line
// is continued ends the unfinished statement with the module.
void readStatement(SourceCursor& cursor, LineReader& reader);

}  // namespace tabulon::analyses::code
