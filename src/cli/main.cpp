// tabulon: the window when no command is given, otherwise one command of the
// table in Commands.h; FrontDoor decides which.
#include "app/WindowEntry.h"
#include "cli/FrontDoor.h"
#include "common/Log.h"
#include "host/LibraryMessages.h"

#include <QGuiApplication>
#include <QTextStream>
#include <csignal>

namespace {

using namespace tabulon;

int runCommand(int argc, char** argv, const cli::CommandInfo& command, const QStringList& args) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return cli::runCommand(command, args, out, err);
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit makes a write fail, which the program reports like a
    // full disk, instead of ending the program halfway through a file.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Library messages go to the log before anything can print one.
    logging::install(cli::takeVerbose(args));
    host::routeLibraryMessages();
    const QString home = cli::takeHome(args);
    if (!home.isEmpty())
        qputenv("TABULON_HOME", home.toLocal8Bit());

    const cli::Route route = cli::route(args);
    switch (route.kind) {
    case cli::Route::Kind::Command:
        return runCommand(argc, argv, *route.command, route.args);
    case cli::Route::Kind::Usage: {
        QTextStream stream(route.exitCode == 0 ? stdout : stderr);
        stream << cli::usageText();
        return route.exitCode;
    }
    case cli::Route::Kind::Window:
        break;
    }
    return app::runWindow(argc, argv, route.args);
}
