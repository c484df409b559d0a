#include "analyses/code/SourceCursor.h"

#include "analyses/code/CodeModules.h"
#include "analyses/code/LineRules.h"

namespace tabulon::analyses::code {

void readStatement(SourceCursor& cursor, LineReader& reader) {
    cursor.rawLine = reader.next();
    ++cursor.lineNumber;
    while (isContinued(cursor.rawLine)) {
        // The blank before the underscore stays and separates the pieces.
        cursor.logicalLine += ltrim(left(cursor.rawLine, int(cursor.rawLine.size()) - 1));
        if (reader.atEnd()) return;  // the module ends the unfinished statement
        cursor.rawLine = reader.next();
        ++cursor.lineNumber;
    }
    cursor.logicalLine += ltrim(cursor.rawLine);
}

}  // namespace tabulon::analyses::code
