#include "analyses/code/CodeLine.h"

#include "analyses/code/LineRules.h"

#include <algorithm>

namespace tabulon::analyses::code {

namespace {
constexpr QChar Quote = u'"';
constexpr QChar Apostrophe = u'\'';
constexpr QChar Masked = QChar(0x1);  // never part of a keyword

bool isGap(QChar c) { return c == u' ' || c == u'\t'; }
bool startsWord(QStringView s, qsizetype at) { return at == 0 || isGap(s[at - 1]) || s[at - 1] == u':'; }

bool endsWord(QStringView s, qsizetype after, WordEnd end) {
    if (after >= s.size()) return end != WordEnd::Header;
    const QChar c = s[after];
    if (isGap(c)) return true;
    switch (end) {
    case WordEnd::Header: return c == u'(';
    case WordEnd::Phrase: return c == u'(';
    case WordEnd::Statement: return c == u':';
    }
    return false;
}

// "Rem" as the first word of the text.
bool startsWithRem(QStringView s) {
    return s.size() >= 3 && s.left(3).compare(u"REM", Qt::CaseInsensitive) == 0 &&
           (s.size() == 3 || isGap(s[3]));
}

// The 64-bit form reads like the 32-bit one: "PtrSafe " after "Declare ".
void dropPtrSafe(QString& code) {
    static const QString declarePtrSafe = QStringLiteral("DECLARE PTRSAFE ");
    const int at = instr(upper(code), declarePtrSafe);
    if (at > 0) code.remove(at - 1 + 8, 8);
}
}  // namespace

int commentMarkOutsideStrings(QStringView line) {
    bool inString = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == Quote) inString = !inString;  // "" inside a literal toggles twice
        else if (c == Apostrophe && !inString) return int(i + 1);
    }
    return 0;
}

QString maskStrings(QStringView line) {
    QString out = line.toString();
    bool inString = false;
    for (QChar& c : out) {
        if (c == Quote) inString = !inString;
        else if (inString) c = Masked;
    }
    return out;
}

QString stripIndent(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && isGap(line[i])) ++i;
    return line.mid(i).toString();
}

bool isWholeLineComment(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && isGap(line[i])) ++i;
    const QStringView body = line.mid(i);
    return body.startsWith(Apostrophe) || startsWithRem(body);
}

QStringView commentWords(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && isGap(line[i])) ++i;
    QStringView body = line.mid(i);
    if (body.startsWith(Apostrophe)) body = body.mid(1);
    else if (startsWithRem(body)) body = body.mid(3);
    else return {};
    if (!body.isEmpty() && isGap(body.front())) body = body.mid(1);
    return body.isNull() ? QStringView(u"") : body;
}

CodeLine codeLine(QStringView line) {
    CodeLine out;
    const QString body = stripIndent(line);
    out.comment = isWholeLineComment(body);
    if (out.comment) return out;
    const int mark = commentMarkOutsideStrings(body);
    out.code = rtrim(mark > 0 ? QStringView(body).left(mark - 1) : QStringView(body));
    dropPtrSafe(out.code);
    out.masked = upper(maskStrings(out.code));
    for (const char16_t* word : {u"EXIT SUB", u"EXIT FUNCTION", u"EXIT PROPERTY"}) {
        if (wordPosition(out.masked, word, WordEnd::Statement) > 0) {
            out.exit = true;
            break;
        }
    }
    return out;
}

CodeLine procedureCodeLine(QStringView line) {
    for (const char16_t* word : {u"sub", u"function", u"property"})
        if (line.contains(QStringView(word), Qt::CaseInsensitive)) return codeLine(line);
    return CodeLine{};
}

int wordPosition(QStringView masked, QStringView word, WordEnd end, int from) {
    qsizetype at = std::max(0, from - 1);
    while ((at = masked.indexOf(word, at)) >= 0) {
        if (startsWord(masked, at) && endsWord(masked, at + word.size(), end)) return int(at + 1);
        ++at;
    }
    return 0;
}

bool isHeaderCode(const CodeLine& line) {
    if (line.comment || line.exit) return false;
    for (const char16_t* word : {u"SUB", u"FUNCTION", u"PROPERTY"})
        if (wordPosition(line.masked, word, WordEnd::Header) > 0) return true;
    return false;
}

bool isEndCode(const CodeLine& line, bool atStart) {
    if (line.comment || line.exit) return false;
    for (const char16_t* phrase : {u"END SUB", u"END FUNCTION", u"END PROPERTY"}) {
        const int at = wordPosition(line.masked, phrase, WordEnd::Phrase);
        if (atStart ? at == 1 : at > 0) return true;
    }
    return false;
}

ParenSpan parameterParens(QStringView masked) {
    const qsizetype open = masked.indexOf(u'(');
    if (open < 0) return {};
    int depth = 0;
    for (qsizetype i = open; i < masked.size(); ++i) {
        if (masked[i] == u'(') ++depth;
        else if (masked[i] == u')' && --depth == 0) return {int(open + 1), int(i + 1)};
    }
    return {};
}

QString stripFriendStatic(QStringView text, bool* friendSeen) {
    QString s = trim(text);
    for (;;) {
        const QString u = upper(left(s, 7));
        if (u == u"FRIEND ") {
            if (friendSeen) *friendSeen = true;
        } else if (u != u"STATIC ") {
            return s;
        }
        s = trim(mid(s, 8));
    }
}

int progressShare(qint64 done, qint64 all) {
    if (all <= 0) return 100;
    return int(std::min<qint64>(100, done * 100 / all));
}

}  // namespace tabulon::analyses::code
