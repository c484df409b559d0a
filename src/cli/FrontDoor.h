#pragma once
// What the executable does with its command line: open the window, run one
// command of the table in Commands.h, or print how to use it. Kept apart from
// main() so the decisions and texts can be tested without starting anything.
#include "cli/Commands.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace tabulon::cli {

struct Route {
    enum class Kind { Window, Command, Usage };
    Kind kind = Kind::Window;
    const CommandInfo* command = nullptr;  // Kind::Command
    QStringList args;                      // the command's words, or the window's results file
    int exitCode = 0;                      // Kind::Usage: 0 asked for, 2 a wrong command line
};

// Takes "--home DIR" / "--home=DIR" out of the arguments, wherever it stands
// before a "--" (after it every word is a file name), and returns DIR (empty
// when not given).
QString takeHome(QStringList& args);

// Takes "--verbose" out of the arguments, wherever it stands: the log of
// library messages is then shown on the error stream.
bool takeVerbose(QStringList& args);

// The route for the arguments after the program name (--home already taken).
// A first word that is no command opens the window only when it can be a
// results file (.xdb or an existing file); anything else is a wrong command.
Route route(const QStringList& args);

// The program's usage: window, options and the command list.
QString usageText();
// The usage of one command, with its options.
QString commandUsage(const CommandInfo& command);

// Runs a command, or prints its usage for --help / -h.
int runCommand(const CommandInfo& command, const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tabulon::cli
