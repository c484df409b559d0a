#include "inventory/Content.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tabulon::inventory {

Content contentOf(const QByteArray& head) {
    // MS-CFB 2.2 header signature
    if (head.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))) return Content::CompoundFile;
    // a local file header (PK\3\4), or the end record of an empty archive
    if (head.startsWith(QByteArrayLiteral("PK\x03\x04"))) return Content::Zip;
    // BOF of BIFF2, BIFF3 or BIFF4 (MS-XLS 2.4.21 lists their record numbers)
    if (head.size() >= 4) {
        const int type = uint8_t(head[0]) | (uint8_t(head[1]) << 8);
        const int size = uint8_t(head[2]) | (uint8_t(head[3]) << 8);
        if ((type == 0x0009 || type == 0x0209 || type == 0x0409) && size >= 4 && size <= 16) return Content::OldBiff;
    }
    return Content::None;
}

Content contentOfFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(native.constData(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(native.constData(), flags);
    if (fd < 0) return Content::None;
    char head[8];
    ssize_t n;
    do n = ::read(fd, head, sizeof head); while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 ? contentOf(QByteArray(head, int(n))) : Content::None;
}

bool hasWorkbookName(const QString& path) {
    static const QStringList suffixes{"xls", "xlt", "xla", "xlsx", "xlsm", "xltx", "xltm", "xlam", "xlsb", "xlw"};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

}  // namespace tabulon::inventory
