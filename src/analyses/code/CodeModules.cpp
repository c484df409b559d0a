#include "analyses/code/CodeModules.h"

#include "common/Error.h"
#include "host/vba/Project.h"
#include "intake/ProjectCode.h"

#include <algorithm>
#include <cmath>

namespace tabulon::analyses::code {

const std::array<ModuleKind, 5>& moduleKinds() {
    static const std::array<ModuleKind, 5> kinds{{
        {1, QStringLiteral("bas"), QStringLiteral("標準ﾓｼﾞｭｰﾙ"), QStringLiteral("標準ﾓｼﾞｭｰﾙ(Api)")},
        {2, QStringLiteral("cls"), QStringLiteral("ｸﾗｽﾓｼﾞｭｰﾙ"), QStringLiteral("ｸﾗｽﾓｼﾞｭｰﾙ(Api)")},
        {3, QStringLiteral("frm"), QStringLiteral("ﾌｫｰﾑﾓｼﾞｭｰﾙ"), QStringLiteral("ﾌｫｰﾑﾓｼﾞｭｰﾙ(Api)")},
        {4, QStringLiteral("bok"), QStringLiteral("ﾌﾞｯｸﾓｼﾞｭｰﾙ"), QStringLiteral("ﾌﾞｯｸﾓｼﾞｭｰﾙ(Api)")},
        {5, QStringLiteral("sht"), QStringLiteral("ｼｰﾄﾓｼﾞｭｰﾙ"), QStringLiteral("ｼｰﾄﾓｼﾞｭｰﾙ(Api)")},
    }};
    return kinds;
}

const ModuleKind& moduleKind(int code) {
    return moduleKinds().at(std::size_t(std::clamp(code, 1, 5) - 1));
}

int kindFromExtension(const QString& fileName) {
    const QString tail = fileName.right(3);
    for (const ModuleKind& kind : moduleKinds())
        if (tail == kind.extension) return kind.code;
    return 0;
}

namespace {

constexpr int ClassHeaderLines = 4;  // VERSION 1.0 CLASS, BEGIN, MultiUse, END

bool codePointLess(const QString& a, const QString& b) {
    const QList<uint> ua = a.toUcs4(), ub = b.toUcs4();
    return std::lexicographical_compare(ua.begin(), ua.end(), ub.begin(), ub.end());
}

bool visitingOrder(const CodeModule& a, const CodeModule& b) {
    if (a.kind->code != b.kind->code) return a.kind->code < b.kind->code;
    return codePointLess(a.fileName, b.fileName);
}

}  // namespace

QStringList splitModuleLines(const QString& text) {
    QStringList lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(u'\r', pos);
        if (end < 0) end = text.size();
        lines << text.mid(pos, end - pos);
        pos = end + 1;
        if (pos < text.size() && text[pos] == u'\n') ++pos;
    }
    return lines;
}

CodeModule codeModule(const QString& fileName, const QString& exportText) {
    CodeModule m;
    const int kind = kindFromExtension(fileName);
    if (kind == 0) return m;
    m.kind = &moduleKind(kind);
    m.fileName = fileName;
    m.lines = splitModuleLines(exportText);
    const bool classLike = kind == 2 || kind >= 4;
    if (classLike && !m.lines.isEmpty() && m.lines.front().toUpper().startsWith(u"VERSION 1.0 CLASS"))
        m.headerLines = int(std::min<qsizetype>(ClassHeaderLines, m.lines.size()));
    m.holdsCode = intake::holdsCode(exportText);
    return m;
}

CodeModules codeModules(const vba::Project& project) {
    CodeModules modules;
    for (const vba::Component& component : project.components()) {
        CodeModule m = codeModule(component.fileName, component.exportText);
        if (m.kind) modules.push_back(std::move(m));
    }
    putInVisitingOrder(modules);
    return modules;
}

void putInVisitingOrder(CodeModules& modules) {
    std::stable_sort(modules.begin(), modules.end(), visitingOrder);
}

ModuleList modulesOf(const CodeModules& modules, std::initializer_list<int> kinds, bool byName) {
    ModuleList chosen;
    for (const CodeModule& m : modules)
        if (std::find(kinds.begin(), kinds.end(), m.kind->code) != kinds.end()) chosen.push_back(&m);
    if (byName)
        std::stable_sort(chosen.begin(), chosen.end(),
                         [](const CodeModule* a, const CodeModule* b) { return codePointLess(a->fileName, b->fileName); });
    return chosen;
}

bool anyCode(const CodeModules& modules) {
    return std::any_of(modules.begin(), modules.end(), [](const CodeModule& m) { return m.holdsCode; });
}

int progressAfterFile(int moduleNumber, int n) {
    if (n <= 0) return 0;
    return int(std::floor(100.0 / n + 0.5)) * moduleNumber;
}

QString LineReader::next() {
    if (atEnd()) throw Error(62, QStringLiteral("ファイルにこれ以上データがありません。"));
    return lines_[pos_++];
}

}  // namespace tabulon::analyses::code
