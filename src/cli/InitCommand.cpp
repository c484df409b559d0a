// tabulon init: the install step. A fresh program folder gets the files the
// window and the analyses expect beside the program.
#include "cli/Commands.h"
#include "cli/FrontDoor.h"

#include "host/Error.h"
#include "intake/AppPaths.h"

namespace tabulon::cli {

int initCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (!args.isEmpty()) {
        err << commandUsage(*findCommand(QStringLiteral("init")));
        return 2;
    }
    const intake::AppPaths paths = intake::AppPaths::forFolder(intake::resolveAppFolder({}));
    try {
        const QStringList created = intake::ensureInstalled(paths);
        for (const QString& file : created)
            out << "作成しました: " << file << '\n';
        if (created.isEmpty())
            out << "プログラムフォルダ " << paths.appFolder << " には必要なファイルが揃っています\n";
        return 0;
    } catch (const Error& e) {
        err << "tabulon init: エラー " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
}

}  // namespace tabulon::cli
