#include "analyses/code/ModuleFiles.h"

#include "analyses/code/LineRules.h"
#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

namespace tabulon::analyses::code {

const std::array<ModuleKind, 5>& moduleKinds() {
    static const std::array<ModuleKind, 5> kinds{{
        {1, QStringLiteral("*.bas"), QStringLiteral("標準ﾓｼﾞｭｰﾙ"), QStringLiteral("標準ﾓｼﾞｭｰﾙ(Api)")},
        {2, QStringLiteral("*.cls"), QStringLiteral("ｸﾗｽﾓｼﾞｭｰﾙ"), QStringLiteral("ｸﾗｽﾓｼﾞｭｰﾙ(Api)")},
        {3, QStringLiteral("*.frm"), QStringLiteral("ﾌｫｰﾑﾓｼﾞｭｰﾙ"), QStringLiteral("ﾌｫｰﾑﾓｼﾞｭｰﾙ(Api)")},
        {4, QStringLiteral("*.bok"), QStringLiteral("ﾌﾞｯｸﾓｼﾞｭｰﾙ"), QStringLiteral("ﾌﾞｯｸﾓｼﾞｭｰﾙ(Api)")},
        {5, QStringLiteral("*.sht"), QStringLiteral("ｼｰﾄﾓｼﾞｭｰﾙ"), QStringLiteral("ｼｰﾄﾓｼﾞｭｰﾙ(Api)")},
    }};
    return kinds;
}

const ModuleKind& moduleKind(int code) {
    return moduleKinds().at(std::size_t(std::clamp(code, 1, 5) - 1));
}

namespace {
bool codePointLess(const QString& a, const QString& b) {
    const QList<uint> ua = a.toUcs4(), ub = b.toUcs4();
    return std::lexicographical_compare(ua.begin(), ua.end(), ub.begin(), ub.end());
}
}  // namespace

QStringList listModuleFiles(const QString& folder, const QString& pattern) {
    QDir dir(folder);
    QStringList names;
    if (pattern == QLatin1String("*.*")) {
        // A form's binary resources (.frx) are never module text.
        names = dir.entryList(QDir::Files);
        names.removeIf([](const QString& n) { return n.endsWith(QLatin1String(".frx"), Qt::CaseInsensitive); });
    }
    else
        names = dir.entryList({pattern}, QDir::Files);
    std::sort(names.begin(), names.end(), codePointLess);
    QString base = folder;
    if (!base.endsWith(u'/') && !base.endsWith(QDir::separator())) base += QDir::separator();
    for (QString& n : names) n.prepend(base);
    return names;
}

QString workingFolderMarker() {
    return QStringLiteral("temp") + QDir::separator();
}

QString moduleNameFromPath(const QString& path) {
    const int at = instr(path, workingFolderMarker());
    return mid(path, at + 5);
}

QString fileNamePart(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

int kindFromExtension(const QString& path) {
    static const QStringList extensions{QStringLiteral("bas"), QStringLiteral("cls"),
                                        QStringLiteral("frm"), QStringLiteral("bok"),
                                        QStringLiteral("sht")};
    return int(extensions.indexOf(path.right(3))) + 1;
}

int progressAfterFile(int moduleNumber, int n) {
    if (n <= 0) return 0;
    return int(std::floor(100.0 / n + 0.5)) * moduleNumber;
}

QString decodeModuleText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) return text;
    for (const char* name : {"windows-31j", "Shift_JIS"}) {
        QStringDecoder legacy(name);
        if (legacy.isValid()) return legacy.decode(view);
    }
    return QString::fromLatin1(view);
}

LineReader::LineReader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(err::FileNotFound, QStringLiteral("ファイルが見つかりません。"));
    text_ = decodeModuleText(file.readAll());
}

LineReader LineReader::ofText(QString text) {
    LineReader reader;
    reader.text_ = std::move(text);
    return reader;
}

QString LineReader::next() {
    if (atEnd()) throw Error(62, QStringLiteral("ファイルにこれ以上データがありません。"));
    qsizetype end = text_.indexOf(u'\r', pos_);
    if (end < 0) end = text_.size();
    QString line = text_.mid(pos_, end - pos_);
    pos_ = end + 1;
    if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
    return line;
}

}  // namespace tabulon::analyses::code
