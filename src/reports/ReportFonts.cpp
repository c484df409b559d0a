#include "reports/ReportFonts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStringList>

namespace tabulon::reports {

namespace {

QString fontFolder() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/fonts");
    if (QFileInfo::exists(beside + QStringLiteral("/sans.otf"))) return beside;
    return QStringLiteral(TABULON_REPORT_FONT_DIR);
}

// "2F00 4E00" lines: an unmapped character and its stand-in, in hex.
QHash<char32_t, char32_t> readAliases(const QString& path) {
    QHash<char32_t, char32_t> aliases;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return aliases;
    while (!file.atEnd()) {
        const QList<QByteArray> parts = file.readLine().simplified().split(' ');
        bool ok1 = false, ok2 = false;
        if (parts.size() != 2) continue;
        const uint from = parts[0].toUInt(&ok1, 16), to = parts[1].toUInt(&ok2, 16);
        if (ok1 && ok2) aliases.insert(from, to);
    }
    return aliases;
}

// Registers the regular and bold file of a face; the face counts only when
// both were taken, so bold text never falls to another family.
PreparedFace registerFace(const char* regular, const char* bold) {
    const QString folder = fontFolder() + u'/';
    const int r = QFontDatabase::addApplicationFont(folder + QLatin1String(regular));
    const int b = QFontDatabase::addApplicationFont(folder + QLatin1String(bold));
    const QStringList families = QFontDatabase::applicationFontFamilies(r);
    if (r < 0 || b < 0 || families.isEmpty()) return {};
    return {families.front(), readAliases(folder + QLatin1String(regular) + QStringLiteral(".aliases"))};
}

}  // namespace

const PreparedFace& preparedFace(bool mono) {
    static const PreparedFace sans = registerFace("sans.otf", "sans-bold.otf");
    static const PreparedFace monospaced = registerFace("mono.otf", "mono-bold.otf");
    return mono ? monospaced : sans;
}

const PreparedFace& preparedSerifFace() {
    static const PreparedFace serif = registerFace("serif.otf", "serif-bold.otf");
    return serif;
}

}  // namespace tabulon::reports
