// Paths of other workbooks as stored in SUPBOOK (MS-XLS 2.5.277 VirtualPath):
// a leading 0x0001 introduces a code for where the path starts; inside the
// path 0x0003 separates folders and 0x0004 climbs one folder.
//
// A path on a drive or a server is shown as the machine that saved the
// workbook showed it, backslashes and all ("C:\data\Prices.xls",
// "\\server\share\B.xls"): it names a place on that machine, not here. A
// path relative to the workbook (or to the root of its volume) is resolved
// here, into a local path the file chapters can look for.
#include "host/xls/Readers.h"

#include <QDir>

namespace tabulon::xls {

namespace {

// The folder steps of an encoded file path, with the given separator.
QString decodeSteps(const QString& s, QChar sep) {
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t ch = s.at(i).unicode();
        if (ch == 0x0003) {
            out += sep;
        } else if (ch == 0x0004) {
            out += QStringLiteral("..");
            out += sep;
        } else if (ch >= 0x0020) {
            out += s.at(i);
        }
    }
    return out;
}

// A local path from steps that may hold backslashes written out as
// characters, as some writers store them.
QString local(QString steps) { return steps.replace(QLatin1Char('\\'), QLatin1Char('/')); }

QString relativeTo(const QString& folder, const QString& rel) {
    if (folder.isEmpty()) return local(rel);
    return QDir::cleanPath(folder + QLatin1Char('/') + local(rel));
}

// A drive or server path written out in full, without the start codes.
bool namesAnotherMachine(const QString& s) {
    const bool drive = s.size() >= 3 && s.at(0).isLetter() && s.at(1) == QLatin1Char(':') &&
                       (s.at(2) == QLatin1Char('\\') || s.at(2) == QLatin1Char('/'));
    return drive || s.startsWith(QStringLiteral("\\\\"));
}

QString withoutLeadingSeparator(QString s) {
    while (s.startsWith(QLatin1Char('\\')) || s.startsWith(QLatin1Char('/'))) s.remove(0, 1);
    return s;
}

// A path without a start code: two leading separators make a UNC path, one
// starts at the root of this workbook's volume, none is relative to its folder.
QString plainPath(const QString& s, const QString& bookFolder) {
    const QChar sep(0x0003);
    if (s.startsWith(QString(2, sep))) return QStringLiteral("\\\\") + decodeSteps(s.mid(2), QLatin1Char('\\'));
    if (s.startsWith(sep)) return QStringLiteral("/") + local(decodeSteps(s.mid(1), QLatin1Char('/')));
    const QString stored = decodeSteps(s, QLatin1Char('\\'));
    if (namesAnotherMachine(stored)) return stored;
    return relativeTo(bookFolder, decodeSteps(s, QLatin1Char('/')));
}

}  // namespace

QString decodeVirtualPath(const QString& encoded, const QString& bookFolder) {
    if (encoded.isEmpty()) return encoded;
    if (encoded.at(0).unicode() != 0x0001) return plainPath(encoded, bookFolder);
    const QString rest = encoded.mid(2);
    const char16_t code = encoded.size() > 1 ? encoded.at(1).unicode() : 0;
    switch (code) {
    case 0x0001:  // volume: drive letter, or '@' for a UNC server
        if (rest.startsWith(QLatin1Char('@')))
            return QStringLiteral("\\\\") + decodeSteps(rest.mid(1), QLatin1Char('\\'));
        if (rest.isEmpty()) return QString();
        return rest.left(1) + QStringLiteral(":\\") + withoutLeadingSeparator(decodeSteps(rest.mid(1), QLatin1Char('\\')));
    case 0x0002:  // same volume as this workbook: from its root
        return QStringLiteral("/") + local(withoutLeadingSeparator(decodeSteps(rest, QLatin1Char('/'))));
    case 0x0005:  // transfer protocol: a count, then the URL as written
        return rest.mid(1);
    case 0x0006:  // startup, alternate startup and library folders of the
    case 0x0007:  // machine that saved the workbook: none of them is here,
    case 0x0008:  // so the path is shown as stored, relative to them
        return decodeSteps(rest, QLatin1Char('\\'));
    default:      // a plain path after the 0x0001 marker
        return plainPath(encoded.mid(1), bookFolder);
    }
}

}  // namespace tabulon::xls
