#pragma once
// `tabulon document BOOK [-o DIR] [options]`: the whole documentation of
// a workbook without the window. Runs the intake and every chapter in the
// order of the main window, as if each command had been clicked once, and
// writes one PDF per report plus one combined PDF.
#include <QStringList>
#include <QTextStream>

namespace tabulon::cli {

int documentCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tabulon::cli
