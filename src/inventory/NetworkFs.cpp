#include "inventory/NetworkFs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace tabulon::inventory {

namespace {

// statfs f_type values of network file systems (linux/magic.h and the
// file systems' own headers).
struct Magic {
    unsigned long value;
    const char* name;
};
constexpr Magic kNetworkMagics[] = {
    {0x6969, "nfs"},        {0x517B, "smb"},         {0xFF534D42, "cifs"}, {0xFE534D42, "smb2"},
    {0x73757245, "coda"},   {0x5346414F, "afs"},     {0x6B414653, "afs"},  {0x01021997, "9p"},
    {0x00C36400, "ceph"},   {0x0BD00BD0, "lustre"},  {0x47504653, "gpfs"}, {0x013111A8, "ibrix"},
    {0x19830326, "fhgfs"},  {0x61636673, "acfs"},    {0x6B8B4567, "gfs2"},
};
constexpr unsigned long kFuseMagic = 0x65735546;

// FUSE carries local file systems too (ntfs-3g, exfat); these subtypes reach
// other machines.
const QStringList kNetworkFuse{"fuse.sshfs", "fuse.s3fs", "fuse.rclone", "fuse.glusterfs", "fuse.gcsfuse",
                               "fuse.davfs", "fuse.curlftpfs", "fuse.smbnetfs", "fuse.cifs", "fuse.afp"};

// The type of the mount holding the device `dev`, from /proc/self/mountinfo:
// "36 35 0:45 / /mnt rw - fuse.sshfs host:/ rw".
QString mountTypeOf(dev_t dev) {
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString wanted = QStringLiteral("%1:%2").arg(major(dev)).arg(minor(dev));
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3 || QString::fromLatin1(fields[2]) != wanted) continue;
        const qsizetype dash = fields.indexOf("-");
        if (dash >= 0 && dash + 1 < fields.size()) return QString::fromLatin1(fields[dash + 1]);
    }
    return {};
}

}  // namespace

QString networkFileSystemName(long magic, const QString& mountType) {
    for (const Magic& m : kNetworkMagics)
        if ((unsigned long)(magic) == m.value || (unsigned long)(magic & 0xFFFFFFFF) == m.value)
            return QString::fromLatin1(m.name);
    if (mountType.startsWith(QLatin1String("nfs")) || mountType == u"cifs" || mountType == u"smb3")
        return mountType;
    if ((unsigned long)(magic) == kFuseMagic && kNetworkFuse.contains(mountType)) return mountType;
    return {};
}

QString networkFileSystem(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    struct statfs fs {};
    struct stat st {};
    if (::statfs(native.constData(), &fs) != 0 || ::stat(native.constData(), &st) != 0) return {};
    return networkFileSystemName(long(fs.f_type), mountTypeOf(st.st_dev));
}

QString networkRefusal(const QString& database, const QString& fileSystem) {
    return QStringLiteral("データベース '%1' はネットワーク上のファイルシステム（%2）にあります。"
                          "データベースはローカルディスク上に置いてください"
                          "（ブックはネットワーク上にあっても読めます）。")
        .arg(database, fileSystem);
}

}  // namespace tabulon::inventory
