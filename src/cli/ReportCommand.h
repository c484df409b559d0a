#pragma once
// `tabulon report NAME [NAME...] --db FILE --pdf OUT.pdf`: renders stored
// reports of an analysis database into one PDF, without a display.
#include <QStringList>
#include <QTextStream>

namespace tabulon::cli {

// args are the words after "report". Returns the exit code: 0 written,
// 1 the report could not be rendered, 2 wrong usage. Needs a QGuiApplication
// (the offscreen platform is enough).
int reportCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tabulon::cli
