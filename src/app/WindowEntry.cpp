#include "app/WindowEntry.h"

#include "app/CommandWiring.h"
#include "app/FrmTabulon.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "app/WindowPorts.h"
#include "intake/AppPaths.h"
#include "intake/Session.h"

#include <QApplication>
#include <cstdio>

namespace tabulon::app {

namespace {

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int runWindow(int argc, char** argv, const QStringList& args) {
    if (!hasDisplay()) {
        std::fputs("画面を表示できません: ウィンドウにはグラフィカルなセッションが必要です"
                   "（コマンドの一覧は tabulon --help）\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    installQtJapanese(app);
    SingleInstance instance;
    if (!instance.acquire()) {
        BoxMessages(nullptr).message(QStringLiteral("既にTabulonは、既に起動しています。"), Buttons::Ok);
        return 0;
    }
    intake::Session session(intake::AppPaths::forFolder(intake::resolveAppFolder({})));
    session.commandLine = args.join(u' ');
    FrmTabulon window(session);
    installCommands(window);
    window.Form_Load();
    if (window.hasEnded())  // an unstable-system error at start-up, exit accepted
        return 0;
    window.show();
    return app.exec();
}

}  // namespace tabulon::app
