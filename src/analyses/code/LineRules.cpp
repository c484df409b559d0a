#include "analyses/code/LineRules.h"

namespace tabulon::analyses::code {

namespace {
constexpr QChar Blank = u' ';
constexpr int ScopeCut = 8;  // first character after "PUBLIC ", the blank of "PRIVATE "
constexpr int PriPubDelLimit = 2000;
constexpr int PriPubDel2Limit = 512;
constexpr int ProcNameLimit = 255;
}  // namespace

QString upper(QStringView s) {
    QString out(s.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (QChar c : s) {
        if (c.isSurrogate()) {
            *o++ = c;
            continue;
        }
        const char32_t u = QChar::toUpper(char32_t(c.unicode()));
        *o++ = u > 0xFFFF ? c : QChar(char16_t(u));
    }
    return out;
}

QString ltrim(QStringView s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == Blank) ++i;
    return s.mid(i).toString();
}

QString rtrim(QStringView s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == Blank) --n;
    return s.left(n).toString();
}

QString trim(QStringView s) {
    qsizetype i = 0, n = s.size();
    while (i < n && s[i] == Blank) ++i;
    while (n > i && s[n - 1] == Blank) --n;
    return s.mid(i, n - i).toString();
}

int instr(QStringView hay, QStringView needle, int start) {
    if (start < 1) start = 1;
    if (start > hay.size() + 1) return 0;
    const qsizetype at = hay.indexOf(needle, start - 1, Qt::CaseSensitive);
    return at < 0 ? 0 : int(at + 1);
}

QString mid(QStringView s, int start, int length) {
    if (start < 1) start = 1;
    if (start > s.size()) return QString();
    return (length < 0 ? s.mid(start - 1) : s.mid(start - 1, length)).toString();
}

QString left(QStringView s, int length) {
    return s.left(qMax(0, length)).toString();
}

bool contains(QStringView line, QStringView keyword) {
    return upper(ltrim(line)).contains(keyword);
}

bool beginsWith(QStringView line, QStringView keyword) {
    return upper(ltrim(line)).startsWith(keyword);
}

bool isCommentLine(QStringView rawLine) {
    return trim(rawLine).startsWith(QStringView(kw::CommentMark));
}

bool isContinued(QStringView rawLine) {
    return rawLine.contains(QStringView(kw::Continuation));
}

QString PriPubDel(QString& logicalLine) {
    QString scope = QStringLiteral("Public");
    if (contains(logicalLine, kw::Private) || contains(logicalLine, kw::Public)) {
        if (left(upper(logicalLine), 8) == QStringView(kw::Private))
            scope = QStringLiteral("Private");
        logicalLine = trim(mid(logicalLine, ScopeCut, PriPubDelLimit));
    } else {
        logicalLine = trim(left(logicalLine, PriPubDelLimit));
    }
    return scope;
}

QString PriPubDel2(QStringView text) {
    const QString t = trim(text);
    const QString u = upper(t);
    if (u.startsWith(QStringView(kw::Private)) || u.startsWith(QStringView(kw::Public)))
        return trim(mid(t, ScopeCut, PriPubDel2Limit));
    return trim(left(text, PriPubDel2Limit));
}

namespace {
// The name runs from `start` for (anchor - offset - 1) units. A negative
// length (a "Lib " right behind the keyword, e.g. "Sub A() ' Lib x") cannot
// be cut; it is a failure like any other, not an abort of the whole run.
QString cutName(const QString& s, int start, int anchor, int offset) {
    const int length = anchor - offset - 1;
    if (start > anchor || length < 0) return ProcNameError;
    return trim(mid(s, start, length));
}
}  // namespace

QString GetProcName(QStringView text) {
    const QString s = (contains(text, kw::Private) || contains(text, kw::Public))
                          ? trim(mid(text, ScopeCut, ProcNameLimit))
                          : trim(left(text, ProcNameLimit));
    const QString u = upper(s);
    const int lib = instr(s, kw::Lib);
    const int paren = instr(s, u"(");
    if (const int at = instr(u, kw::Sub))
        return lib ? cutName(s, at + 4, lib, 12) : cutName(s, at + 4, paren, 4);
    if (const int at = instr(u, kw::Function))
        return lib ? cutName(s, at + 9, lib, 17) : cutName(s, at + 9, paren, 9);
    if (const int at = instr(u, kw::Property))
        return cutName(s, at + 12, paren, 12);
    return ProcNameError;
}

}  // namespace tabulon::analyses::code
