#pragma once
// `tabulon dump [--json] BOOK`: what the reader sees in a workbook.
#include <QStringList>
#include <QTextStream>

namespace tabulon::cli {

// args are the words after "dump". Returns the exit code: 0 read, 1 the
// workbook could not be read, 2 wrong usage.
int dumpCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tabulon::cli
