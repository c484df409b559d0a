#include "app/Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QStorageInfo>

namespace tabulon::app {

VolumeSpace SystemDiskSpace::volumeOf(const QString& path) {
    QStorageInfo storage(QFileInfo(path).absolutePath());
    storage.refresh();
    if (!storage.isValid() || !storage.isReady())
        return {};
    return {storage.rootPath(), storage.bytesTotal(), storage.bytesFree()};
}

bool DesktopShell::open(const QUrl& url) { return QDesktopServices::openUrl(url); }

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
