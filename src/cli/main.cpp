// tabulon: the window when no subcommand is given, otherwise one command of
// the table in Commands.h.
#include "app/CommandWiring.h"
#include "app/FrmTabulon.h"
#include "app/SingleInstance.h"
#include "app/WindowPorts.h"
#include "cli/Commands.h"
#include "intake/AppPaths.h"
#include "intake/Session.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

using namespace tabulon;

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Takes "--home DIR" / "--home=DIR" out of the arguments, wherever it stands.
QString takeHome(QStringList& args) {
    QString home;
    for (qsizetype i = 0; i < args.size();) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size()) {
            home = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(QLatin1String("--home="))) {
            home = args[i].mid(7);
            args.remove(i);
        } else {
            ++i;
        }
    }
    return home;
}

QString usage() {
    QString text = QStringLiteral(
        "usage: tabulon [--home DIR] [RESULT.xdb]     open the window\n"
        "       tabulon [--home DIR] COMMAND [ARGS]   run a command without the window\n\n"
        "--home DIR   program folder (settings, Tabulon2.mdb, temp/); default: TABULON_HOME,\n"
        "             else the folder of the executable\n\ncommands:\n");
    for (const cli::CommandInfo& c : cli::commandTable())
        text += QStringLiteral("  %1  %2\n").arg(QLatin1String(c.name), -10).arg(QString::fromUtf8(c.help));
    return text;
}

int runCommand(int argc, char** argv, const cli::CommandInfo& command, const QStringList& args) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return command.run(args, out, err);
}

int runWindow(int argc, char** argv, const QStringList& args) {
    if (!hasDisplay()) {
        std::puts("no display: the window needs a graphical session");
        return 0;
    }
    QApplication app(argc, argv);
    app::SingleInstance instance;
    if (!instance.acquire()) {
        app::BoxMessages(nullptr).message(QStringLiteral("既にTabulonは、既に起動しています。"),
                                          Buttons::Ok);
        return 0;
    }
    intake::Session session(intake::AppPaths::forFolder(intake::resolveAppFolder({})));
    session.commandLine = args.join(u' ');
    app::FrmTabulon window(session);
    app::installCommands(window);
    window.Form_Load();
    if (window.hasEnded())  // an unstable-system error at start-up, exit accepted
        return 0;
    window.show();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString home = takeHome(args);
    if (!home.isEmpty())
        qputenv("TABULON_HOME", home.toLocal8Bit());

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("show this help"));
    parser.addOption(help);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("command to run"));
    if (!parser.parse(QStringList{QStringLiteral("tabulon")} + args)) {
        std::fprintf(stderr, "%s\n%s", qPrintable(parser.errorText()), qPrintable(usage()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) {
        if (const cli::CommandInfo* command = cli::findCommand(positional.first()))
            return runCommand(argc, argv, *command, positional.mid(1));
    }
    return runWindow(argc, argv, positional);
}
