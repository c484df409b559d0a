#include "host/vba/SafeFileName.h"

#include <QStringList>

namespace tabulon::vba {
namespace {

constexpr int MaxBaseBytes = 120;

bool isUnsafeChar(QChar c) {
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || refused.contains(c) ||
           c.category() == QChar::Other_Control;
}

bool isReservedDeviceName(const QString& name) {
    static const QStringList plain = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                      QStringLiteral("AUX"), QStringLiteral("NUL"),
                                      QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    // Windows reserves the device name with any extension ("CON.txt") too.
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    if (plain.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT")) &&
           stem[3].isDigit();
}

QString cutToUtf8Bytes(const QString& text, int maxBytes) {
    QString out;
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() &&
                          text[i + 1].isLowSurrogate();
        const QString piece = text.mid(i, pair ? 2 : 1);
        const int size = static_cast<int>(piece.toUtf8().size());
        if (bytes + size > maxBytes)
            break;
        out += piece;
        bytes += size;
        if (pair)
            ++i;
    }
    return out;
}

}  // namespace

QString safeBaseName(const QString& moduleName) {
    QString name;
    name.reserve(moduleName.size());
    for (qsizetype i = 0; i < moduleName.size(); ++i) {
        const QChar c = moduleName[i];
        // A lone surrogate has no UTF-8 form, so it cannot be in a file name.
        const bool pairedHigh = c.isHighSurrogate() && i + 1 < moduleName.size() &&
                                moduleName[i + 1].isLowSurrogate();
        const bool pairedLow = c.isLowSurrogate() && i > 0 && moduleName[i - 1].isHighSurrogate();
        const bool lone = c.isSurrogate() && !pairedHigh && !pairedLow;
        name += (isUnsafeChar(c) || lone) ? QChar(u'_') : c;
    }
    name = cutToUtf8Bytes(name, MaxBaseBytes);
    while (name.endsWith(u'.') || name.endsWith(u' '))
        name[name.size() - 1] = u'_';
    if (name.isEmpty())
        return QStringLiteral("_");
    if (name.startsWith(u'.') || isReservedDeviceName(name))
        name.prepend(u'_');
    return name;
}

QString uniqueFileName(const QString& baseName, const QString& extension, QSet<QString>& taken) {
    QString fileName = baseName + extension;
    for (int n = 2; taken.contains(fileName.toCaseFolded()); ++n)
        fileName = baseName + QStringLiteral("~%1").arg(n) + extension;
    taken.insert(fileName.toCaseFolded());
    return fileName;
}

}  // namespace tabulon::vba
