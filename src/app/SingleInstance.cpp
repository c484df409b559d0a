#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace tabulon::app {

QString SingleInstance::defaultLockPath() {
    // Without XDG_RUNTIME_DIR Qt would warn and invent a folder; the shared
    // temporary folder with the user id in the name is as good.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QDir::tempPath() + QStringLiteral("/tabulon-%1.lock").arg(getuid());
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/tabulon.lock");
}

SingleInstance::SingleInstance(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath)) {}

bool SingleInstance::acquire() {
    lock_->setStaleLockTime(0);  // only a dead owner makes the lock stale
    return lock_->tryLock(0);
}

}  // namespace tabulon::app
