#include "host/ooxml/formula/FormulaLexer.h"

namespace tabulon::ooxml {

namespace {

// Characters a name, a function or a reference is made of. Anything else
// ends a word.
bool isWordChar(QChar c) {
    if (c.unicode() >= 0x80) return !c.isSpace();
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'\\' || c == u'$' || c == u'?';
}

// Error literals; anything else after "#" is the spill operator.
constexpr const char16_t* kErrors[] = {u"#NULL!", u"#DIV/0!", u"#VALUE!", u"#REF!", u"#NAME?", u"#NUM!",
                                       u"#N/A", u"#GETTING_DATA", u"#SPILL!", u"#CALC!", u"#FIELD!",
                                       u"#BLOCKED!", u"#UNKNOWN!", u"#CONNECT!", u"#BUSY!", u"#PYTHON!"};

qsizetype closingQuote(QStringView t, qsizetype i, QChar q) {
    for (++i; i < t.size(); ++i) {
        if (t[i] != q) continue;
        if (i + 1 < t.size() && t[i + 1] == q) { ++i; continue; }
        return i + 1;
    }
    return t.size();
}

// "[...]" with nesting; "'" escapes the next character inside.
qsizetype closingBracket(QStringView t, qsizetype i) {
    int depth = 0;
    for (; i < t.size(); ++i) {
        if (t[i] == u'\'') { ++i; continue; }
        if (t[i] == u'[') ++depth;
        else if (t[i] == u']' && --depth == 0) return i + 1;
    }
    return t.size();
}

bool letters(QStringView s, int& col) {
    if (s.isEmpty() || s.size() > 3) return false;
    col = 0;
    for (QChar c : s) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z') return false;
        col = col * 26 + (u - u'A' + 1);
    }
    --col;
    return col < kMaxCols;
}

bool digits(QStringView s, int& row) {
    if (s.isEmpty() || s.size() > 7) return false;
    row = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9') return false;
        row = row * 10 + (c.unicode() - u'0');
    }
    --row;
    return row >= 0 && row < kMaxRows;
}

}  // namespace

std::vector<Token> lexFormula(QStringView t) {
    std::vector<Token> out;
    qsizetype i = 0;
    while (i < t.size()) {
        const QChar c = t[i];
        qsizetype end = i + 1;
        TokenKind kind = TokenKind::Char;
        if (c == u'"') {
            kind = TokenKind::String;
            end = closingQuote(t, i, c);
        } else if (c == u'\'') {
            kind = TokenKind::Quoted;
            end = closingQuote(t, i, c);
        } else if (c == u'[') {
            kind = TokenKind::Bracket;
            end = closingBracket(t, i);
        } else if (c == u'#') {
            for (const char16_t* e : kErrors) {
                const QStringView err(e);
                if (t.mid(i).startsWith(err, Qt::CaseInsensitive)) {
                    kind = TokenKind::Error;
                    end = i + err.size();
                    break;
                }
            }
        } else if (c.isSpace()) {
            kind = TokenKind::Space;
            while (end < t.size() && t[end].isSpace()) ++end;
        } else if (isWordChar(c)) {
            kind = TokenKind::Word;
            while (end < t.size() && isWordChar(t[end])) ++end;
            // A number's exponent: "1E+5" is one number, not "1E" plus 5.
            if (c.isDigit() && end < t.size() && (t[end] == u'+' || t[end] == u'-') &&
                (t[end - 1] == u'E' || t[end - 1] == u'e') && end + 1 < t.size() && t[end + 1].isDigit()) {
                end += 2;
                while (end < t.size() && t[end].isDigit()) ++end;
            }
        }
        out.push_back({kind, i, end});
        i = end;
    }
    return out;
}

bool parseCellRef(QStringView w, CellRef& out) {
    qsizetype i = 0;
    out.colAbs = i < w.size() && w[i] == u'$';
    if (out.colAbs) ++i;
    const qsizetype colStart = i;
    while (i < w.size() && w[i].isLetter() && w[i].unicode() < 0x80) ++i;
    if (!letters(w.mid(colStart, i - colStart), out.col)) return false;
    out.rowAbs = i < w.size() && w[i] == u'$';
    if (out.rowAbs) ++i;
    return digits(w.mid(i), out.row);
}

bool parseColumnRef(QStringView w, bool& absolute, int& col) {
    absolute = w.startsWith(u'$');
    return letters(absolute ? w.mid(1) : w, col);
}

bool parseRowRef(QStringView w, bool& absolute, int& row) {
    absolute = w.startsWith(u'$');
    return digits(absolute ? w.mid(1) : w, row);
}

QString columnLetters(int col) {
    QString s;
    for (int n = col + 1; n > 0; n = (n - 1) / 26) s.prepend(QChar(u'A' + (n - 1) % 26));
    return s;
}

}  // namespace tabulon::ooxml
