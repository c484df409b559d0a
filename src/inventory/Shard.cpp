#include "inventory/Shard.h"

#include "common/Error.h"
#include "common/SafeFile.h"
#include "inventory/NetworkFs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>

namespace tabulon::inventory {

namespace {

[[noreturn]] void cannot(const QString& path, int errorNumber) {
    throw Error(err::PathFileAccess,
                QStringLiteral("データベース '%1' を書き込めません。\r理由: %2").arg(path, systemReason(errorNumber)));
}

// Copies through a part file beside `to`, synced before the rename.
void copyInto(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))  // errno is the failed open's
        throw Error(err::PathFileAccess, QStringLiteral("データベース '%1' を読めません。\r理由: %2").arg(from, systemReason(errno)));
    PartFile out(to);
    if (!out.open(QIODevice::WriteOnly)) cannot(to, out.errorNumber());
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty()) cannot(to, EIO);  // the source shrank or failed
        out.write(chunk);
    }
    if (!out.commit()) cannot(to, out.errorNumber());
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
    if (QFileInfo(working).absolutePath() == QFileInfo(target).absolutePath()) {
        if (const int failed = commitPart(working, target)) cannot(target, failed);
    } else {
        copyInto(working, target);
        QFile::remove(working);
    }
}

}  // namespace tabulon::inventory
