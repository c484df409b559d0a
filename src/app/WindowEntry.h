#pragma once
// The main window as the program's default: one instance per user, start-up,
// the event loop. `args` holds the results file named on the command line.
#include <QStringList>

namespace tabulon::app {

// Returns the exit code; 1 when there is no display to open the window on.
int runWindow(int argc, char** argv, const QStringList& args);

}  // namespace tabulon::app
