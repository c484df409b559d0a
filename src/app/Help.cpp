#include "app/Help.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

// The page is compiled into the library; a static library needs the resource
// registered by hand.
static void registerHelpResource() { Q_INIT_RESOURCE(help); }

namespace tabulon::app {

namespace {
const QString kPageName = QStringLiteral("Tabulon2.html");
}

QString helpPagePath(const QString& appFolder) {
    const QString installed = QDir(appFolder).filePath(kPageName);
    if (QFile::exists(installed))
        return installed;
    registerHelpResource();
    QFile page(QStringLiteral(":/help/") + kPageName);
    if (!page.open(QIODevice::ReadOnly))
        return {};
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::tempPath();
    const QString target = QDir(folder).filePath(kPageName);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(page.readAll()) < 0 || !out.commit())
        return {};
    return target;
}

bool m3_Click(const QString& appFolder, ShellOpenPort& shell, MessagePort& messages) {
    const QString path = helpPagePath(appFolder);
    if (path.isEmpty()) {
        messages.message(QStringLiteral("ヘルプを表示できません。\r理由: ヘルプファイルを書き出せません。"));
        return false;
    }
    if (!shell.open(QUrl::fromLocalFile(path))) {
        messages.message(QStringLiteral("ヘルプ「%1」を表示できません。\r理由: 既定のブラウザが"
                                        "設定されていません。")
                             .arg(path));
        return false;
    }
    return true;
}

}  // namespace tabulon::app
