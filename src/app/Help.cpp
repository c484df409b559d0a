#include "app/Help.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

// The page is compiled into the library; a static library needs the resource
// registered by hand.
static void registerHelpResource() { Q_INIT_RESOURCE(help); }

namespace tabulon::app {

namespace {
const QString kPageName = QStringLiteral("Tabulon2.html");
}

QString helpPagePath(const intake::AppPaths& paths) {
    const QString installed = QDir(paths.appFolder).filePath(kPageName);
    if (QFile::exists(installed))
        return installed;
    registerHelpResource();
    QFile page(QStringLiteral(":/help/") + kPageName);
    if (!page.open(QIODevice::ReadOnly) || !QDir().mkpath(paths.tempFolder))
        return {};
    const QString target = QDir(paths.tempFolder).filePath(kPageName);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(page.readAll()) < 0 || !out.commit())
        return {};
    return target;
}

bool m3_Click(const intake::AppPaths& paths, ShellOpenPort& shell, MessagePort& messages) {
    const QString path = helpPagePath(paths);
    if (path.isEmpty()) {
        messages.message(QStringLiteral("ヘルプを表示できません。\r理由: ヘルプファイルを書き出せません。"));
        return false;
    }
    if (!shell.open(QUrl::fromLocalFile(path))) {
        messages.message(QStringLiteral("ヘルプを表示できません。\r理由: ブラウザを起動できません。\r"
                                        "ヘルプのページ: %1")
                             .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

}  // namespace tabulon::app
