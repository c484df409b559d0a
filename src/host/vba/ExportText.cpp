#include "host/vba/ExportText.h"

#include <QRegularExpression>
#include <QStringList>

namespace tabulon::vba {
namespace {

const QString Crlf = QStringLiteral("\r\n");

QStringList splitLines(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    // A final line end leaves one empty piece that is not a line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The stored source of a class, form or document module carries attributes
// that belong to the host's storage and that Export leaves out. Only the
// module's leading attribute block is searched; procedure attributes
// ("Attribute Foo.VB_...") are never among them.
QStringList withoutStorageAttributes(const QStringList& lines) {
    static const QRegularExpression storageOnly(
        QStringLiteral("^Attribute\\s+VB_(Base|TemplateDerived|Customizable)\\s*="),
        QRegularExpression::CaseInsensitiveOption);
    QStringList kept;
    bool inHeader = true;
    for (const QString& line : lines) {
        if (inHeader && !line.startsWith(QLatin1String("Attribute "), Qt::CaseInsensitive))
            inHeader = false;
        if (inHeader && storageOnly.match(line).hasMatch())
            continue;
        kept << line;
    }
    return kept;
}

QString propertyKey(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.left(eq).trimmed();
}

// The designer text of a user form as Export writes it: without the
// TypeInfoVer line (an editor bookkeeping value) and with the reference to
// the binary .frx file among the form's properties, in their alphabetical
// place, as real exports show it.
QStringList formHeader(const QString& designer, const QString& frxFileName) {
    const QString blobKey = QStringLiteral("OleObjectBlob");
    const QString blobLine = QStringLiteral("   %1   =   \"%2\":0000")
                                 .arg(blobKey.leftJustified(13), frxFileName);
    QStringList out;
    int depth = 0;
    bool inserted = false;
    for (const QString& line : splitLines(designer)) {
        const QString word = line.trimmed().section(u' ', 0, 0);
        if (word == u"Begin" || word == u"BeginProperty") {
            out << line;
            ++depth;
            continue;
        }
        if (word == u"End" || word == u"EndProperty") {
            if (depth == 1 && !inserted) {
                out << blobLine;
                inserted = true;
            }
            out << line;
            --depth;
            continue;
        }
        if (depth == 1) {
            const QString key = propertyKey(line);
            if (key.compare(u"TypeInfoVer", Qt::CaseInsensitive) == 0)
                continue;
            if (!inserted && !key.isEmpty() && key.compare(blobKey, Qt::CaseInsensitive) > 0) {
                out << blobLine;
                inserted = true;
            }
        }
        out << line;
    }
    return out;
}

}  // namespace

QString exportText(ComponentType type, const QString& source, const QString& designer,
                   const QString& frxFileName) {
    QStringList lines;
    switch (type) {
    case ComponentType::Standard:
        lines = splitLines(source);
        break;
    case ComponentType::Class:
    case ComponentType::Document:
        lines << QStringLiteral("VERSION 1.0 CLASS") << QStringLiteral("BEGIN")
              << QStringLiteral("  MultiUse = -1  'True") << QStringLiteral("END");
        lines << withoutStorageAttributes(splitLines(source));
        break;
    case ComponentType::Form:
        lines << formHeader(designer, frxFileName);
        lines << withoutStorageAttributes(splitLines(source));
        break;
    }
    return lines.isEmpty() ? QString() : lines.join(Crlf) + Crlf;
}

QString exportExtension(ComponentType type, const QString& name) {
    switch (type) {
    case ComponentType::Standard: return QStringLiteral(".bas");
    case ComponentType::Class: return QStringLiteral(".cls");
    case ComponentType::Form: return QStringLiteral(".frm");
    case ComponentType::Document:
        return name.toUpper() == u"THISWORKBOOK" ? QStringLiteral(".bok")
                                                 : QStringLiteral(".sht");
    }
    return {};
}

}  // namespace tabulon::vba
