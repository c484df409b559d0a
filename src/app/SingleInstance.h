#pragma once
// Only one copy of the program runs per user: the settings files, the
// analysis database and the working folder are not made for sharing.
#include <QLockFile>
#include <QString>
#include <memory>

namespace tabulon::app {

class SingleInstance {
public:
    // The lock file in the user's runtime folder (or the temporary folder,
    // with the user's id in the name, when there is no runtime folder).
    static QString defaultLockPath();

    explicit SingleInstance(const QString& lockPath = defaultLockPath());
    // False when another running instance holds the lock. A lock left by a
    // crashed instance is taken over.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace tabulon::app
