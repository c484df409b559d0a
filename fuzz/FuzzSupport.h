#pragma once
// Shared by the fuzz targets: the readers take paths, so an input is written
// to a file in a folder private to the process first.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace tabulon::fuzz {

inline const QString& scratchFolder() {
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

inline QString writeScratch(const QString& name, const uint8_t* data, size_t size) {
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace tabulon::fuzz
