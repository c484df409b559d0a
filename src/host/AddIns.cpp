#include "host/AddIns.h"

#include "common/Error.h"
#include "host/CodePage.h"
#include "host/ReadFailure.h"
#include "host/cfb/CompoundFile.h"
#include "host/props/PropertySets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringConverter>

namespace tabulon::host {
namespace {

constexpr int SubscriptOutOfRange = 9;
constexpr qint64 MaxRegistryBytes = 1024 * 1024;

QString registryText(const QString& iniPath) {
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(MaxRegistryBytes);
    auto utf8 = QStringDecoder(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = decodeCodePage(bytes, 932);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool isInstalledFlag(const QString& flag) {
    const QString value = flag.trimmed().toLower();
    return value == u"1" || value == u"true" || value == u"yes";
}

}  // namespace

AddInRegistry AddInRegistry::load(const QString& iniPath) {
    AddInRegistry registry;
    const QDir base = QFileInfo(iniPath).absoluteDir();
    const QStringList lines = registryText(iniPath).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#') ||
            (line.startsWith(u'[') && line.endsWith(u']')))
            continue;
        const qsizetype eq = line.lastIndexOf(u'=');
        Entry entry;
        const QString path = (eq < 0 ? line : line.left(eq)).trimmed();
        if (path.isEmpty())
            continue;
        entry.fullName = QDir::cleanPath(base.absoluteFilePath(path));
        entry.installed = eq >= 0 && isInstalledFlag(line.mid(eq + 1));
        registry.entries_.append(entry);
    }
    return registry;
}

AddIn AddInRegistry::item(int position) const {
    const AddIn addIn = registered(position);
    if (!QFileInfo(addIn.fullName).isFile())
        raiseHostError(err::FileNotFound, QStringLiteral("File not found: %1").arg(addIn.fullName));
    return addIn;
}

AddIn AddInRegistry::registered(int position) const {
    if (position < 1 || position > count())
        raiseHostError(SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    const Entry& entry = entries_[position - 1];
    const QFileInfo info(entry.fullName);
    AddIn addIn;
    addIn.name = info.fileName();
    addIn.fullName = entry.fullName;
    addIn.path = info.absolutePath();
    addIn.installed = entry.installed;
    if (info.isFile())
        addIn.title = documentTitle(entry.fullName);
    return addIn;
}

QString documentTitle(const QString& path) {
    try {
        const cfb::CompoundFile file(path);
        std::map<int, QVariant> properties;
        QStringList warnings;
        props::readBuiltinProperties(file, properties, warnings);
        const auto title = properties.find(1);
        return title == properties.end() ? QString() : title->second.toString();
    } catch (const Error&) {
        return {};  // not an OLE file: an .xll or .xlam has no summary here
    }
}

}  // namespace tabulon::host
