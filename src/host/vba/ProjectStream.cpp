#include "host/vba/ProjectStream.h"

#include <QRegularExpression>
#include <QStringList>

namespace tabulon::vba {
namespace {

QString unquote(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    return value;
}

// GC= decodes to one byte: 0x00 not visible, 0xFF visible. A value that does
// not decode is taken as locked: a damaged protection must not open a
// project that its owner closed.
bool lockedByVisibility(const QString& value) {
    QByteArray data;
    if (!decryptProjectValue(unquote(value), data) || data.size() != 1)
        return true;
    return static_cast<unsigned char>(data[0]) == 0x00;
}

}  // namespace

bool decryptProjectValue(const QString& hex, QByteArray& data) {
    const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
    if (raw.size() < 7 || raw.size() * 2 != hex.size())
        return false;
    const auto at = [&](int i) { return static_cast<quint8>(raw[i]); };
    const quint8 seed = at(0);
    const quint8 versionEnc = at(1);
    const quint8 projKeyEnc = at(2);
    if ((seed ^ versionEnc) != 2)
        return false;
    quint8 unencrypted1 = seed ^ projKeyEnc;
    quint8 encrypted1 = projKeyEnc;
    quint8 encrypted2 = versionEnc;
    int pos = 3;
    const auto next = [&]() {
        const quint8 byteEnc = at(pos++);
        const quint8 byte = byteEnc ^ static_cast<quint8>(encrypted2 + unencrypted1);
        encrypted2 = encrypted1;
        encrypted1 = byteEnc;
        unencrypted1 = byte;
        return byte;
    };
    const int ignoredLength = (seed & 6) / 2;
    if (raw.size() < pos + ignoredLength + 4)
        return false;
    for (int i = 0; i < ignoredLength; ++i)
        next();
    quint32 length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<quint32>(next()) << (8 * i);
    if (length != static_cast<quint32>(raw.size() - pos))
        return false;
    data.clear();
    while (pos < raw.size())
        data.append(static_cast<char>(next()));
    return true;
}

ProjectInfo parseProject(const QString& text) {
    ProjectInfo info;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString& line : lines) {
        if (line.startsWith(u'['))
            break;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1);
        if (key.compare(u"GC", Qt::CaseInsensitive) == 0) {
            info.lockedForViewing = lockedByVisibility(value);
            continue;
        }
        ComponentType type;
        QString name = value;
        if (key == u"Module") {
            type = ComponentType::Standard;
        } else if (key == u"Class") {
            type = ComponentType::Class;
        } else if (key == u"BaseClass") {
            type = ComponentType::Form;
        } else if (key == u"Document") {
            type = ComponentType::Document;
            // Document=Name/&H00000000: the part after the slash is the
            // document's version cookie.
            const qsizetype slash = name.lastIndexOf(u'/');
            if (slash >= 0)
                name.truncate(slash);
        } else {
            continue;
        }
        info.kinds.insert(name.toUpper(), type);
    }
    return info;
}

}  // namespace tabulon::vba
