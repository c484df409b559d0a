#include "host/ooxml/formula/FormulaText.h"

#include "host/ooxml/formula/FormulaLexer.h"
#include "host/model/Notation.h"

namespace tabulon::ooxml {

namespace {

QStringView piece(QStringView text, const Token& t) { return text.mid(t.begin, t.end - t.begin); }

bool isChar(QStringView text, const std::vector<Token>& ts, size_t i, char16_t c) {
    return i < ts.size() && ts[i].kind == TokenKind::Char && text[ts[i].begin] == c;
}

// Prefixes the newer functions and their parameters are stored with.
QStringView withoutPrefixes(QStringView word) {
    static constexpr const char16_t* kPrefixes[] = {u"_xlfn.", u"_xlws.", u"_xlpm.", u"_xludf."};
    for (bool again = true; again;) {
        again = false;
        for (const char16_t* p : kPrefixes) {
            if (word.startsWith(QStringView(p), Qt::CaseInsensitive)) {
                word = word.mid(QStringView(p).size());
                again = true;
            }
        }
    }
    return word;
}

// "[3]" -> 3; 0 when it is no external book number.
int bookNumber(QStringView bracket) {
    if (bracket.size() < 3 || !bracket.startsWith(u'[') || !bracket.endsWith(u']')) return -1;
    bool ok = false;
    const int n = bracket.mid(1, bracket.size() - 2).toInt(&ok);
    return ok ? n : -1;
}

QString unquote(QStringView quoted) {
    QString s = quoted.mid(1, quoted.size() - 2).toString();
    s.replace(QStringLiteral("''"), QStringLiteral("'"));
    return s;
}

// The book part of a sheet prefix: "C:\data\Prices.xlsx" -> "C:\data\[Prices.xlsx]".
QString bracketedBook(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.left(cut + 1) + u'[' + path.mid(cut + 1) + u']';
}

QString quoted(const QString& text) {
    QString inner = text;
    inner.replace(u'\'', QStringLiteral("''"));
    return u'\'' + inner + u'\'';
}

const ExternalBook* bookAt(const std::vector<ExternalBook>& books, int n) {
    return n >= 1 && size_t(n) <= books.size() ? &books[size_t(n - 1)] : nullptr;
}

// The prefix of a reference into sheet `sheet` of external book n, or of a
// name of that book (empty sheet), as the spreadsheet writes it.
std::optional<QString> externalPrefix(const std::vector<ExternalBook>& books, int n, const QString& sheet) {
    if (n == 0) return sheet.isEmpty() ? QString() : model::sheetPrefixText(QString(), sheet);
    const ExternalBook* b = bookAt(books, n);
    if (!b) return std::nullopt;
    if (b->dde()) return b->server + u'|' + quoted(b->topic);
    if (sheet.isEmpty()) return model::sheetPrefixText(QString(), b->path);
    return model::sheetPrefixText(bracketedBook(b->path), sheet);
}

}  // namespace

QString displayFormula(QStringView text, const std::vector<ExternalBook>& books) {
    // Most formulas have neither a book number nor a stored prefix.
    bool plain = true;
    for (qsizetype i = 0; i < text.size() && plain; ++i) {
        const char16_t c = text[i].unicode();
        plain = c != u'[' && !(c == u'_' && i + 2 < text.size() && (text[i + 1].unicode() | 0x20) == u'x' &&
                                (text[i + 2].unicode() | 0x20) == u'l');
    }
    if (plain) return text.toString();
    const std::vector<Token> ts = lexFormula(text);
    QString out;
    out.reserve(text.size());
    for (size_t i = 0; i < ts.size(); ++i) {
        const Token& t = ts[i];
        const QStringView p = piece(text, t);
        if (t.kind == TokenKind::Word) {
            out += withoutPrefixes(p);
            continue;
        }
        // "[1]Sheet1!", "[1]!": a book number at the start of a reference.
        if (t.kind == TokenKind::Bracket && (i == 0 || ts[i - 1].kind != TokenKind::Word)) {
            const int n = bookNumber(p);
            if (n >= 0 && isChar(text, ts, i + 1, u'!')) {
                if (const auto prefix = externalPrefix(books, n, QString())) {
                    out += *prefix;
                    if (n != 0) out += u'!';
                    ++i;  // the "!"
                    continue;
                }
            }
            if (n >= 0 && i + 1 < ts.size() && ts[i + 1].kind == TokenKind::Word && isChar(text, ts, i + 2, u'!')) {
                if (const auto prefix = externalPrefix(books, n, piece(text, ts[i + 1]).toString())) {
                    out += *prefix;
                    ++i;  // the sheet; the "!" follows as it is
                    continue;
                }
            }
        }
        // "'[1]My Sheet'!"
        if (t.kind == TokenKind::Quoted && isChar(text, ts, i + 1, u'!')) {
            const QString inner = unquote(p);
            const qsizetype close = inner.indexOf(u']');
            const int n = inner.startsWith(u'[') && close > 0 ? bookNumber(QStringView(inner).left(close + 1)) : -1;
            if (n >= 0) {
                if (const auto prefix = externalPrefix(books, n, inner.mid(close + 1))) {
                    out += *prefix;
                    continue;
                }
            }
        }
        out += p;
    }
    return out;
}

namespace {

// A reference word moved by (dRow, dCol); nothing when it leaves the grid.
std::optional<QString> movedCell(QStringView word, int dRow, int dCol) {
    CellRef r;
    if (!parseCellRef(word, r)) return QString();  // not a cell: unchanged (empty marks that)
    const int col = r.colAbs ? r.col : r.col + dCol;
    const int row = r.rowAbs ? r.row : r.row + dRow;
    if (col < 0 || col >= kMaxCols || row < 0 || row >= kMaxRows) return std::nullopt;
    return (r.colAbs ? QStringLiteral("$") : QString()) + columnLetters(col) + (r.rowAbs ? QStringLiteral("$") : QString()) +
           QString::number(row + 1);
}

// Whether the word at i could be a reference: not a function, a sheet name,
// a table name, or a name after a book number.
bool referencePosition(QStringView text, const std::vector<Token>& ts, size_t i) {
    if (isChar(text, ts, i + 1, u'(') || isChar(text, ts, i + 1, u'!')) return false;
    if (i + 1 < ts.size() && ts[i + 1].kind == TokenKind::Bracket) return false;
    return true;
}

}  // namespace

QString shownAsStored(std::string_view stored) {
    // Any '_' may begin a prefix, any '[' a book number: both go the long way.
    for (const char c : stored)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '[' || c == '_') return QString();
    if (stored.empty()) return QString();
    QString out(qsizetype(stored.size() + 1), Qt::Uninitialized);
    QChar* to = out.data();
    to[0] = u'=';
    for (size_t i = 0; i < stored.size(); ++i) to[i + 1] = QChar(char16_t(stored[i]));
    return out;
}

void addInCalls(QStringView stored, QStringList& into) {
    static constexpr QStringView kXll = u"_xll.";
    if (!stored.contains(kXll, Qt::CaseInsensitive)) return;
    const std::vector<Token> ts = lexFormula(stored);
    for (size_t i = 0; i + 1 < ts.size(); ++i) {
        const QStringView word = piece(stored, ts[i]);
        if (ts[i].kind != TokenKind::Word || !word.startsWith(kXll, Qt::CaseInsensitive) || word.size() == kXll.size() ||
            !isChar(stored, ts, i + 1, u'('))
            continue;
        const QString name = word.mid(kXll.size()).toString();
        if (!into.contains(name, Qt::CaseInsensitive)) into << name;
    }
}

QString shiftFormula(QStringView text, int dRow, int dCol) {
    const std::vector<Token> ts = lexFormula(text);
    QString out;
    out.reserve(text.size());
    for (size_t i = 0; i < ts.size(); ++i) {
        const QStringView p = piece(text, ts[i]);
        if (ts[i].kind != TokenKind::Word || !referencePosition(text, ts, i)) {
            out += p;
            continue;
        }
        // Column and row ranges: "A:C", "$1:3".
        const bool rangeNext = isChar(text, ts, i + 1, u':') && i + 2 < ts.size() && ts[i + 2].kind == TokenKind::Word;
        if (rangeNext) {
            const QStringView q = piece(text, ts[i + 2]);
            bool a1 = false, a2 = false;
            int n1 = 0, n2 = 0;
            const bool cols = parseColumnRef(p, a1, n1) && parseColumnRef(q, a2, n2);
            const bool rows = !cols && parseRowRef(p, a1, n1) && parseRowRef(q, a2, n2);
            if (cols || rows) {
                const int d = cols ? dCol : dRow, limit = cols ? kMaxCols : kMaxRows;
                const int m1 = a1 ? n1 : n1 + d, m2 = a2 ? n2 : n2 + d;
                auto name = [&](bool abs, int n) {
                    return (abs ? QStringLiteral("$") : QString()) + (cols ? columnLetters(n) : QString::number(n + 1));
                };
                if (m1 < 0 || m2 < 0 || m1 >= limit || m2 >= limit) out += QStringLiteral("#REF!");
                else out += name(a1, m1) + u':' + name(a2, m2);
                i += 2;
                continue;
            }
            // "A1:B2": one end moved off the sheet spoils the whole area.
            CellRef r1, r2;
            if (parseCellRef(p, r1) && parseCellRef(q, r2) && referencePosition(text, ts, i + 2)) {
                const auto first = movedCell(p, dRow, dCol), second = movedCell(q, dRow, dCol);
                out += first && second ? *first + u':' + *second : QStringLiteral("#REF!");
                i += 2;
                continue;
            }
        }
        const auto moved = movedCell(p, dRow, dCol);
        if (!moved) out += QStringLiteral("#REF!");
        else out += moved->isEmpty() ? p.toString() : *moved;
    }
    return out;
}

namespace {

// One "Sheet!A1:B2" / "A:A" / "1:3" reference from token i on; i moves past it.
std::optional<RefArea> readReference(QStringView text, const std::vector<Token>& ts, size_t& i) {
    RefArea a;
    if (i < ts.size() && (ts[i].kind == TokenKind::Quoted || ts[i].kind == TokenKind::Word) && isChar(text, ts, i + 1, u'!')) {
        const QStringView p = piece(text, ts[i]);
        a.sheet = ts[i].kind == TokenKind::Quoted ? unquote(p) : p.toString();
        i += 2;
    }
    if (i >= ts.size() || ts[i].kind != TokenKind::Word) return std::nullopt;
    const QStringView first = piece(text, ts[i]);
    const bool range = isChar(text, ts, i + 1, u':') && i + 2 < ts.size() && ts[i + 2].kind == TokenKind::Word;
    const QStringView second = range ? piece(text, ts[i + 2]) : first;
    CellRef c1, c2;
    bool abs = false;
    if (parseCellRef(first, c1) && parseCellRef(second, c2)) {
        a.firstRow = std::min(c1.row, c2.row), a.lastRow = std::max(c1.row, c2.row);
        a.firstCol = std::min(c1.col, c2.col), a.lastCol = std::max(c1.col, c2.col);
    } else if (range && parseColumnRef(first, abs, a.firstCol) && parseColumnRef(second, abs, a.lastCol)) {
        if (a.firstCol > a.lastCol) std::swap(a.firstCol, a.lastCol);
        a.firstRow = 0, a.lastRow = kMaxRows - 1;
    } else if (range && parseRowRef(first, abs, a.firstRow) && parseRowRef(second, abs, a.lastRow)) {
        if (a.firstRow > a.lastRow) std::swap(a.firstRow, a.lastRow);
        a.firstCol = 0, a.lastCol = kMaxCols - 1;
    } else {
        return std::nullopt;
    }
    i += range ? 3 : 1;
    return a;
}

}  // namespace

std::optional<std::vector<RefArea>> referenceAreas(QStringView text) {
    if (text.startsWith(u'=')) text = text.mid(1);
    std::vector<Token> ts;
    for (const Token& t : lexFormula(text))
        if (t.kind != TokenKind::Space) ts.push_back(t);
    // A union may stand in parentheses: "(Sheet1!$A$1,Sheet1!$C$3)".
    size_t i = 0, end = ts.size();
    if (end >= 2 && isChar(text, ts, 0, u'(') && isChar(text, ts, end - 1, u')')) ++i, --end;
    ts.resize(end);
    std::vector<RefArea> areas;
    while (i < ts.size()) {
        const auto a = readReference(text, ts, i);
        if (!a) return std::nullopt;
        areas.push_back(*a);
        if (i == ts.size()) break;
        if (!isChar(text, ts, i, u',')) return std::nullopt;
        ++i;
    }
    if (areas.empty()) return std::nullopt;
    return areas;
}

}  // namespace tabulon::ooxml
