// tabulon init: the install step. A fresh program folder gets the files the
// window and the analyses expect beside the program.
#include "cli/Commands.h"
#include "cli/FrontDoor.h"

#include "common/Guard.h"
#include "intake/AppPaths.h"

namespace tabulon::cli {

int initCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (!args.isEmpty()) {
        err << commandUsage(*findCommand(QStringLiteral("init")));
        return 2;
    }
    const intake::AppPaths paths = intake::AppPaths::forFolder(intake::resolveAppFolder({}));
    const auto failure = guardedRun(QStringLiteral("tabulon init"), [&] {
        const QStringList created = intake::ensureInstalled(paths);
        for (const QString& file : created)
            out << "作成しました: " << file << '\n';
        if (created.isEmpty())
            out << "プログラムフォルダ " << paths.appFolder << " には必要なファイルが揃っています\n";
    });
    if (!failure) return 0;
    err << "tabulon init: エラー " << failure->number() << ": " << failure->text() << '\n';
    return 1;
}

}  // namespace tabulon::cli
