#include "host/PathParts.h"

namespace tabulon::host {
namespace {

qsizetype lastSeparator(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (path[i] == u'\\' || path[i] == u'/')
            return i;
    }
    return -1;
}

}  // namespace

QString GetFolderPart(const QString& path) {
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at + 1);
}

QString GetFileNamePart(const QString& path) {
    const qsizetype at = lastSeparator(path);
    return at < 0 ? path : path.mid(at + 1);
}

}  // namespace tabulon::host
