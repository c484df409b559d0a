#include "app/Desktop.h"

#include "common/Log.h"

#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>

namespace tabulon::app {

namespace {
constexpr int kOpenerWaitMs = 5000;
}

VolumeSpace SystemDiskSpace::volumeOf(const QString& path) {
    QStorageInfo storage(QFileInfo(path).absolutePath());
    storage.refresh();
    if (!storage.isValid() || !storage.isReady())
        return {};
    return {storage.rootPath(), storage.bytesTotal(), storage.bytesFree()};
}

bool DesktopShell::open(const QUrl& url) {
    // The desktop's opener hands the link to its handler and ends; when there
    // is none (no browser, no mail client) it ends at once with an error
    // status. It may also stay while the browser it started runs.
    auto* opener = new QProcess;
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->start(QStringLiteral("xdg-open"), {url.isLocalFile() ? url.toLocalFile() : url.toString()});
    if (!opener->waitForStarted(kOpenerWaitMs)) {
        delete opener;
        return false;
    }
    if (!opener->waitForFinished(kOpenerWaitMs))
        return true;
    const QString said = QString::fromLocal8Bit(opener->readAllStandardError()).trimmed();
    if (!said.isEmpty())
        logging::write(QStringLiteral("xdg-open"), said);
    return opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
}

double diskSpace(const VolumeSpace& volume, int selector, int unit) {
    if (volume.totalBytes < 0 || volume.freeBytes < 0)
        return -1;
    if (selector == 1)
        return double(volume.totalBytes) / 1024 / 1024;
    const double free = double(volume.freeBytes);
    switch (unit) {
    case 1: return free / 1024 / 1024;
    case 2: return free / 1024;
    default: return free;
    }
}

QString megabytesText(double megabytes) {
    return QString::number(megabytes, 'f', 2) + QStringLiteral("MB");
}

}  // namespace tabulon::app
