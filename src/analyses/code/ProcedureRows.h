#pragma once
// The row writers of the procedure list: procedure rows (with TypeSelect),
// the declarations row of a module and DCCGWrite for declaration and call
// statements. They read the scan cursor; PriPubDel rewrites its logical line.
#include "analyses/code/CodeModules.h"
#include "analyses/code/SourceCursor.h"

#include <QVariant>
#include <memory>

namespace tabulon::store {
class Database;
class Table;
}  // namespace tabulon::store

namespace tabulon::analyses::code {

// What TypeSelect makes of a scope-stripped header text.
struct HeaderKind {
    QString type;             // "Sub", "Property Get", ... or empty: no kind matched
    bool writesDimCall = false;
    bool hasParts = false;    // Parameters and As are written
    QVariant parameters;      // text or Null
    QVariant returnType;      // text or Null ("As" field)
};
HeaderKind TypeSelect(const QString& header);

// What DCCGWrite makes of a declaration or call statement.
struct Statement {
    int dimCall = 0;          // 1 Global ... 6 Call; 0 when no keyword matched
    QString bunrui;
    QString type;
    QString text;             // Parameters
    QVariant comment;         // As: the trailing comment or Null
    bool numberedByProcedure = false;  // Dim and Const use the procedure number
};
Statement classifyStatement(const QString& logicalLine);
// A Type or Enum statement without a scope word.
bool isUnscopedBlock(const QString& logicalLine);

class ProcedureRows {
public:
    ProcedureRows(store::Database& db, SourceCursor& cursor);
    ~ProcedureRows();

    // A T_XlProcName row for the header in the cursor's logical line.
    void procedure(const ModuleKind& kind);
    // The module's "(Declarations)" row with ProcedureNo 1.
    void declarationsRow();
    // A T_XlDimCall row for the statement in the logical line.
    void DCCGWrite();
    int written() const { return written_; }

private:
    SourceCursor& c_;
    std::unique_ptr<store::Table> proc_;
    std::unique_ptr<store::Table> dimCall_;
    int written_ = 0;
};

}  // namespace tabulon::analyses::code
