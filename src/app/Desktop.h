#pragma once
// What the auxiliary dialogs ask of the desktop, one small interface each, so
// the dialogs can be tested with stand-ins: the size and free space of the
// volume that holds a file, and opening a link with the desktop's default
// handler (browser for pages, mail client for mailto:).
#include <QString>
#include <QUrl>

namespace tabulon::app {

// The volume (file system) holding a path: its mount point stands for the
// drive. Sizes in bytes; -1 when the volume could not be asked.
struct VolumeSpace {
    QString root;
    qint64 totalBytes = -1;
    qint64 freeBytes = -1;
};

class DiskSpacePort {
public:
    virtual ~DiskSpacePort() = default;
    virtual VolumeSpace volumeOf(const QString& path) = 0;
};

class ShellOpenPort {
public:
    virtual ~ShellOpenPort() = default;
    // False when no handler could be started.
    virtual bool open(const QUrl& url) = 0;
};

// The file systems as the system reports them (local and network mounts).
class SystemDiskSpace : public DiskSpacePort {
public:
    VolumeSpace volumeOf(const QString& path) override;
};

// The desktop's default handlers.
class DesktopShell : public ShellOpenPort {
public:
    bool open(const QUrl& url) override;
};

// The disk-space function of the About box: selector 1 gives the total size
// in megabytes; any other selector the free bytes divided by 1024 twice for
// unit 1, once for unit 2, not at all for other units. -1 when unknown.
double diskSpace(const VolumeSpace& volume, int selector, int unit);

// A size as the About box prints it: "#0.00" followed by "MB".
QString megabytesText(double megabytes);

}  // namespace tabulon::app
