#include "inventory/Shard.h"

#include "common/Error.h"
#include "inventory/NetworkFs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tabulon::inventory {

namespace {

[[noreturn]] void cannot(const QString& what, const QString& path) {
    throw Error(err::PathFileAccess, QStringLiteral("%1 '%2' を書き込めません。").arg(what, path));
}

// Copies through a temporary name beside `to`, synced before the rename.
void copyInto(const QString& from, const QString& to) {
    QFile in(from);
    QSaveFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) cannot(QStringLiteral("データベース"), to);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) cannot(QStringLiteral("データベース"), to);
    }
    if (!out.commit()) cannot(QStringLiteral("データベース"), to);
}

}  // namespace

std::optional<Shard> parseShard(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,6})/(\\d{1,6})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int k = m.captured(1).toInt(), n = m.captured(2).toInt();
    if (n < 1 || k < 1 || k > n) return std::nullopt;
    return Shard{k, n};
}

int shardOf(const QString& path, int n) {
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
    quint64 h = 0;
    for (int i = 0; i < 8; ++i) h = (h << 8) | uint8_t(digest[i]);
    return int(h % quint64(n)) + 1;
}

QString shardWorkingPath(const QString& target) {
    const QFileInfo t(target);
    if (networkFileSystem(t.absolutePath()).isEmpty()) return t.absoluteFilePath() + QStringLiteral(".partial");
    const QByteArray key = QCryptographicHash::hash(t.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir::temp().filePath(QStringLiteral("tabulon-shard-%1.sqlite").arg(QString::fromLatin1(key.left(16))));
}

void prepareShard(const QString& target, const QString& working) {
    if (QFileInfo::exists(working) || !QFileInfo::exists(target)) return;
    copyInto(target, working);
}

void publishShard(const QString& working, const QString& target) {
    const QFileInfo w(working), t(target);
    if (w.absolutePath() == t.absolutePath()) {
        if (!syncPath(working) || std::rename(QFile::encodeName(working).constData(), QFile::encodeName(target).constData()) != 0)
            cannot(QStringLiteral("データベース"), target);
        syncPath(t.absolutePath());
    } else {
        copyInto(working, target);
        QFile::remove(working);
    }
}

bool syncPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace tabulon::inventory
