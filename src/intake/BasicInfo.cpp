#include "intake/BasicInfo.h"

#include "common/Blanks.h"
#include "common/Error.h"
#include "intake/Profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace tabulon::intake {
namespace {

// The value of `line` for `word`, or a null string when the word is absent.
// keyLength counts "Key=", so the value starts right after it.
QString valueAfter(const QString& line, const QString& word, qsizetype keyLength,
                   qsizetype maxLength) {
    const qsizetype at = line.indexOf(word);
    if (at < 0)
        return {};
    return trimTrailingBlanks(line.mid(at + keyLength, maxLength));
}

void applyLine(const QString& line, BasicInfo& info) {
    struct Rule { QString word; qsizetype keyLength; qsizetype maxLength; QString BasicInfo::*field; };
    static const Rule rules[] = {
        {QStringLiteral("Title"), 6, 255, &BasicInfo::title},
        {QStringLiteral("Kisya"), 6, 255, &BasicInfo::company},
        {QStringLiteral("Bumon"), 6, 255, &BasicInfo::bumon},
        // The whole zoom: a saved 100 to 400 % must not come back cut to 10 to 40.
        {QStringLiteral("Zoom"), 5, 255, &BasicInfo::zoom},
    };
    for (const Rule& rule : rules) {
        const QString value = valueAfter(line, rule.word, rule.keyLength, rule.maxLength);
        if (!value.isNull()) {
            info.*rule.field = value;
            return;
        }
    }
}

}  // namespace

BasicInfo readBasicInfo(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(err::FileNotFound, QStringLiteral("ファイルが見つかりません。"));
    QString text = decodeSettingsText(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    BasicInfo info;
    for (const QString& line : text.split(u'\n'))
        applyLine(line, info);
    return info;
}

void writeBasicInfo(const QString& path, const BasicInfo& info) {
    const QString text = QStringLiteral("Title=%1\r\nKisya=%2\r\nBumon=%3\r\nZoom=%4\r\n")
                             .arg(info.title, info.company, info.bumon, info.zoom);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.commit())
        throw Error(err::PathFileAccess,
                    QStringLiteral("パス名またはファイル名が無効です。 (%1)").arg(path));
}

BasicInfo trimmedBasicInfo(const BasicInfo& info) {
    return {trimBlanks(info.title), trimBlanks(info.company), trimBlanks(info.bumon),
            trimBlanks(info.zoom)};
}

}  // namespace tabulon::intake
