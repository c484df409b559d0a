#include "intake/Profile.h"

#include "host/CodePage.h"
#include "common/Error.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace tabulon::intake {
namespace {

const QString kRecentSection = QStringLiteral("RECENT");

QString recentKey(int n) { return QStringLiteral("RecentFile%1").arg(n); }

QStringList readLines(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = decodeSettingsText(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// "[Name]" -> Name; anything else -> null string.
QString sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return {};
    const qsizetype close = t.indexOf(u']');
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

bool isKeyLine(const QString& line, const QString& key) {
    const qsizetype eq = line.indexOf(u'=');
    return eq >= 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

QString lineValue(const QString& line) {
    QString v = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    const qsizetype nul = v.indexOf(QChar(0));
    return nul < 0 ? v : v.left(nul);
}

struct SectionSpan {
    qsizetype header = -1;  // line index of "[Section]", -1 when absent
    qsizetype end = 0;      // one past the section's last line
};

SectionSpan findSection(const QStringList& lines, const QString& section) {
    SectionSpan span;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (name.isNull())
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0)
            span.header = i;
    }
    span.end = lines.size();
    return span;
}

QString cutAtLineEnd(const QString& value) {
    qsizetype cut = value.size();
    for (const QChar c : {QChar(u'\r'), QChar(u'\n'), QChar(0)}) {
        const qsizetype at = value.indexOf(c);
        if (at >= 0 && at < cut)
            cut = at;
    }
    return value.left(cut);
}

void saveLines(const QString& file, const QStringList& lines) {
    QSaveFile out(file);
    bool ok = out.open(QIODevice::WriteOnly);
    for (const QString& line : lines) {
        if (!ok)
            break;
        ok = out.write((line + QStringLiteral("\r\n")).toUtf8()) >= 0;
    }
    if (!ok || !out.commit())
        throw Error(err::PathFileAccess,
                    QStringLiteral("パス名またはファイル名が無効です。 (%1)").arg(file));
}

}  // namespace

QString decodeSettingsText(const QByteArray& bytes) {
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return host::decodeCodePage(body, 932);
}

QString readProfileString(const QString& file, const QString& section,
                          const QString& key, const QString& defaultValue) {
    const QStringList lines = readLines(file);
    const SectionSpan span = findSection(lines, section);
    if (span.header < 0)
        return defaultValue;
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        if (isKeyLine(lines[i], key))
            return lineValue(lines[i]);
    }
    return defaultValue;
}

void writeProfileString(const QString& file, const QString& section,
                        const QString& key, const QString& value) {
    QStringList lines = readLines(file);
    const QString entry = key + u'=' + cutAtLineEnd(value);
    const SectionSpan span = findSection(lines, section);
    if (span.header < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << u'[' + section + u']' << entry;
        saveLines(file, lines);
        return;
    }
    qsizetype insertAt = span.header + 1;
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        if (isKeyLine(lines[i], key)) {
            lines[i] = entry;
            saveLines(file, lines);
            return;
        }
        if (!lines[i].trimmed().isEmpty())
            insertAt = i + 1;
    }
    lines.insert(insertAt, entry);
    saveLines(file, lines);
}

RecentFiles GetRecentFiles(const QString& iniPath) {
    RecentFiles list;
    for (int n = 1; n <= 4; ++n)
        list[n - 1] = readProfileString(iniPath, kRecentSection, recentKey(n), kNoFileMarker);
    return list;
}

bool isNoFileMarker(const QString& entry) { return entry.startsWith(kNoFileMarker); }

bool isRecentSlotUsed(const QString& entry) {
    return !entry.isEmpty() && !isNoFileMarker(entry);
}

void WriteRecentFiles(const QString& iniPath, const RecentFiles& loaded,
                      const QString& path) {
    if (path.isEmpty())
        return;
    writeProfileString(iniPath, kRecentSection, recentKey(1), path);
    for (int i = 2; i >= 0; --i) {
        if (!isNoFileMarker(loaded[i]))
            writeProfileString(iniPath, kRecentSection, recentKey(i + 2), loaded[i]);
    }
}

}  // namespace tabulon::intake
