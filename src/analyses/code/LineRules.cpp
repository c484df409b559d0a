#include "analyses/code/LineRules.h"

#include "analyses/code/CodeLine.h"

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
    const int mark = commentMarkOutsideStrings(logicalLine);
    const QString masked = upper(maskStrings(mark > 0 ? left(logicalLine, mark - 1) : logicalLine));
    if (wordPosition(masked, u"PRIVATE", WordEnd::Header) > 0 || wordPosition(masked, u"PUBLIC", WordEnd::Header) > 0) {
        if (left(masked, 8) == QStringView(kw::Private))
            scope = QStringLiteral("Private");
        logicalLine = trim(mid(logicalLine, ScopeCut, PriPubDelLimit));
    } else {
        logicalLine = trim(left(logicalLine, PriPubDelLimit));
    }
    // Friend and Static stand between the scope word and the keyword.
    bool isFriend = false;
    logicalLine = stripFriendStatic(logicalLine, &isFriend);
    return isFriend ? QStringLiteral("Friend") : scope;
}

QString PriPubDel2(QStringView text) {
    const QString t = trim(text);
    const QString u = upper(t);
    if (u.startsWith(QStringView(kw::Private)) || u.startsWith(QStringView(kw::Public)))
        return trim(mid(t, ScopeCut, PriPubDel2Limit));
    return trim(left(text, PriPubDel2Limit));
}

namespace {
// The name runs from `start` for `length` units. No length (a "Lib " right
// behind the keyword) cannot be cut; it is a failure like any other, not an
// abort of the whole run.
QString cutName(const QString& s, int start, int anchor, int length) {
    if (start > anchor || length < 0) return kUnknownProcName;
    return trim(mid(s, start, length));
}

// A header's name ends before its "(", measured from position 1 as if the
// keyword began the line; a declaration's name ends before "Lib", measured
// from the keyword, so a declaration whose "Declare" stands on the line
// before (continued with " _") is named all the same.
QString headerName(const QString& s, int start, int paren, int offset) {
    return cutName(s, start, paren, paren - offset - 1);
}
QString declarationName(const QString& s, int start, int lib) {
    return start == lib ? kUnknownProcName : cutName(s, start, lib, lib - start);
}
}  // namespace

// The keywords are looked for in the code part only (no string literal, no
// trailing comment), as whole words, after the scope word and any Friend or
// Static word are gone; the length formula then measures from the keyword.
QString GetProcName(QStringView text) {
    const CodeLine line = codeLine(text);
    if (line.comment) return kUnknownProcName;
    const bool scoped = wordPosition(line.masked, u"PRIVATE", WordEnd::Header) > 0 ||
                        wordPosition(line.masked, u"PUBLIC", WordEnd::Header) > 0;
    const QString s = stripFriendStatic(scoped ? trim(mid(line.code, ScopeCut, ProcNameLimit))
                                               : trim(left(line.code, ProcNameLimit)));
    const QString masked = maskStrings(s);
    const QString u = upper(masked);
    const int libBlank = instr(masked, u" Lib ");
    const int lib = libBlank ? libBlank + 1 : 0;
    const int paren = instr(masked, u"(");
    if (const int at = wordPosition(u, u"SUB", WordEnd::Header))
        return lib ? declarationName(s, at + 4, lib) : headerName(s, at + 4, paren, 4);
    if (const int at = wordPosition(u, u"FUNCTION", WordEnd::Header))
        return lib ? declarationName(s, at + 9, lib) : headerName(s, at + 9, paren, 9);
    if (const int at = wordPosition(u, u"PROPERTY", WordEnd::Header))
        return headerName(s, at + 12, paren, 12);
    return kUnknownProcName;
}

}  // namespace tabulon::analyses::code
