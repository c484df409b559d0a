#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace tabulon::app {

QString SingleInstance::defaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return QDir::tempPath() + QStringLiteral("/tabulon-%1.lock").arg(getuid());
    return folder + QStringLiteral("/tabulon.lock");
}

SingleInstance::SingleInstance(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath)) {}

bool SingleInstance::acquire() {
    lock_->setStaleLockTime(0);  // only a dead owner makes the lock stale
    return lock_->tryLock(0);
}

}  // namespace tabulon::app
