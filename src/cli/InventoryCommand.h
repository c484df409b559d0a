#pragma once
// tabulon inventory: every workbook under folder trees in one estate
// database (src/inventory/), its work list and shards for other machines,
// their merge, and the summary a person reads.
#include <QStringList>
#include <QTextStream>

namespace tabulon::cli {

// Exit codes: 0 done, 1 done with workbooks recorded as failed, 2 a wrong
// command line or a database that cannot be used.
int inventoryCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tabulon::cli
