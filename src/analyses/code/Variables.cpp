#include "analyses/code/Variables.h"

#include "analyses/code/ChapterRun.h"
#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "analyses/code/SourceList.h"
#include "store/Database.h"

namespace tabulon::analyses::code {

namespace {

constexpr int TextLimit = 255;

// A cut that gives an empty text for a length of 0 or less.
QString cut(const QString& s, int start, int length) {
    return length > 0 ? trim(mid(s, start, length)) : QString();
}

}  // namespace

// The code of a piece: positions found in `upper` are valid in the text.
struct Piece {
    QString text;     // the piece without its indentation
    QString upper;    // its code part, upper-cased, string literals masked
    int mark = 0;     // comment mark outside strings (0: none)
    int c = TextLimit;  // where texts end: before the comment mark, else 255

    explicit Piece(const QString& r) : text(stripIndent(r)) {
        mark = commentMarkOutsideStrings(text);
        upper = code::upper(maskStrings(rtrim(mark > 0 ? QStringView(text).left(mark - 1) : QStringView(text))));
        if (mark > 1) c = mark - 1;
    }
    QString description() const { return mark > 0 ? trim(mid(text, mark + 1, TextLimit)) : QString(); }
    int as() const { return wordPosition(upper, u"AS", WordEnd::Header); }
};

namespace {

// A block statement (Type or Enum): the word first, or a scope word and
// then the word, followed by a name. Where the name starts, 0 for no block.
int blockNameStart(const Piece& p, const char16_t* word) {
    const qsizetype wordLength = qsizetype(std::char_traits<char16_t>::length(word));
    const int at = wordPosition(p.upper, word, WordEnd::Header);
    if (at == 0) return 0;
    if (at == 1) return at + int(wordLength) + 1;
    for (const char16_t* scope : {u"PUBLIC", u"PRIVATE", u"GLOBAL"}) {
        if (wordPosition(p.upper, scope, WordEnd::Header) != 1) continue;
        const qsizetype scopeLength = qsizetype(std::char_traits<char16_t>::length(scope));
        if (trim(p.upper.mid(scopeLength, qsizetype(at) - 1 - scopeLength)).isEmpty())
            return at + int(wordLength) + 1;
    }
    return 0;
}

// The first word of a declaration without a scope word: Type and Enum (which
// only stand at module level) and Const.
bool startsUnscopedDeclaration(QStringView raw) {
    qsizetype i = 0;
    while (i < raw.size() && (raw[i] == u' ' || raw[i] == u'\t')) ++i;
    const QStringView code = raw.mid(i, 6);
    for (QStringView word : {u"Type", u"Enum", u"Const"}) {
        if (code.size() > word.size() && code.startsWith(word, Qt::CaseInsensitive) &&
            (code[word.size()] == u' ' || code[word.size()] == u'\t'))
            return true;
    }
    return false;
}

// Colons that part statements: in the masked code, so none inside a string
// literal or the trailing comment.
std::vector<int> statementColons(const QString& upper) {
    std::vector<int> at;
    for (qsizetype i = 0; i < upper.size(); ++i)
        if (upper[i] == u':') at.push_back(int(i + 1));
    return at;
}

// Commas that separate declarations: outside string literals and
// parentheses, before the trailing comment.
std::vector<int> declarationCommas(const QString& line) {
    const int mark = commentMarkOutsideStrings(line);
    const QString masked = maskStrings(mark > 0 ? QStringView(line).left(mark - 1) : QStringView(line));
    std::vector<int> at;
    int depth = 0;
    for (qsizetype i = 0; i < masked.size(); ++i) {
        const QChar ch = masked[i];
        if (ch == u'(') ++depth;
        else if (ch == u')') depth = std::max(0, depth - 1);
        else if (ch == u',' && depth == 0) at.push_back(int(i + 1));
    }
    return at;
}

}  // namespace

VariableScan::VariableScan(SourceCursor& cursor, std::function<void(const HensuRow&)> write)
    : c_(cursor), write_(std::move(write)) {}

const QString VariableScan::ImpliedPublic = QStringLiteral("(Public)");
const QString VariableScan::ImpliedPrivate = QStringLiteral("(Private)");
const QString VariableScan::ImpliedLocal = QStringLiteral("(Dim)");

QString VariableScan::currentName() const {
    return c_.procedureName.isEmpty() ? NoDeclarationsName : c_.procedureName;
}

// A line declaring several names is taken piece by piece; each later piece
// gets the line's leading words in front: its scope word, and Const after it
// ("Private Const A = 1, B = 2" declares two constants). A piece that ends
// without a row drops the rest of the line.
void VariableScan::line(const QString& raw, LineReader& reader) {
    const CodeLine procedure = procedureCodeLine(raw);
    // Every header names the procedure of the lines after it, with or
    // without a scope word ("Sub Main()"), a Property one too; an API
    // declaration (a header of its own in the procedure list) included.
    if (isHeaderCode(procedure)) {
        inProcedure_ = wordPosition(procedure.masked, u"DECLARE", WordEnd::Header) == 0;
        ++pieces_;
        c_.procedureName = GetProcName(raw);
        ++c_.procedureNumber;
        return;
    }
    if (isEndCode(procedure, true))
        inProcedure_ = false;
    // Most lines hold no scope word at all: they only count as a piece.
    bool scoped = startsUnscopedDeclaration(raw);
    for (const char16_t* word : {kw::Dim, kw::Global, kw::Public, kw::Private})
        scoped = scoped || raw.contains(QStringView(word), Qt::CaseInsensitive);
    if (!scoped) {
        if (!trim(raw).isEmpty() && !raw.startsWith(u"Attribute") && !isWholeLineComment(raw)) ++pieces_;
        return;
    }
    const QString t = stripIndent(raw);
    const std::vector<int> commas = declarationCommas(t);
    if (commas.empty() || raw.startsWith(u"Attribute")) {
        piece(raw, reader);
        return;
    }
    int blank = instr(t, u" ");
    if (upper(mid(t, blank + 1, 6)) == QStringView(kw::Const)) blank += 6;
    const QString leadingWord = left(t, blank);
    int from = 1;
    for (size_t i = 0; i <= commas.size(); ++i) {
        const bool last = i == commas.size();
        const QString segment = last ? mid(t, from) : mid(t, from, commas[i] - from);
        const QString r = i == 0 ? segment : leadingWord + trim(segment);
        if (!piece(r, reader) || last) return;
        from = commas[i] + 1;
    }
}

bool VariableScan::piece(const QString& r, LineReader& reader) {
    if (trim(r).isEmpty() || r.startsWith(u"Attribute") || isWholeLineComment(r)) return false;
    ++pieces_;
    const Piece p(r);
    const QString& u = p.upper;
    static const char16_t* const scopes[] = {kw::Dim, kw::Global, kw::Public, kw::Private};
    static const char* const scopeNames[] = {"Dim", "Global", "Public", "Private"};
    int n = 0;
    QString scope;
    for (int i = 0; i < 4; ++i) {
        if (const int at = instr(u, scopes[i])) {
            n = at + int(std::char_traits<char16_t>::length(scopes[i]));
            scope = QString::fromLatin1(scopeNames[i]);
            break;
        }
    }
    if (n == 0) return unscopedPiece(p, reader);
    if (const int nameStart = blockNameStart(p, u"TYPE")) {
        typeBlock(p.text, nameStart, p.c, scope, reader);
        return false;
    }
    if (const int nameStart = blockNameStart(p, u"ENUM")) {
        enumBlock(p, nameStart, scope, reader);
        return false;
    }
    return declaration(p, n, scope);
}

// Type, Enum and Const without a scope word take the scope the language
// gives them: Public for Type and Enum in a standard module, Private for a
// module-level Const, the procedure for a Const inside one. The scope is
// shown in parentheses, so a reader sees it was implied.
bool VariableScan::unscopedPiece(const Piece& p, LineReader& reader) {
    if (const int nameStart = blockNameStart(p, u"TYPE"); nameStart == 6) {
        typeBlock(p.text, nameStart, p.c, ImpliedPublic, reader);
        return false;
    }
    if (const int nameStart = blockNameStart(p, u"ENUM"); nameStart == 6) {
        enumBlock(p, nameStart, ImpliedPublic, reader);
        return false;
    }
    if (wordPosition(p.upper, u"CONST", WordEnd::Header) != 1) return false;
    return declaration(p, 1, inProcedure_ ? ImpliedLocal : ImpliedPrivate);
}

// A variable or constant row for the piece; its name starts at n.
bool VariableScan::declaration(const Piece& p, int n, const QString& scope) {
    const QString& u = p.upper;
    HensuRow row{currentName(), {}, scope, {}, {}, pieces_, p.description()};
    int split = 0;
    if (u.contains(QStringView(kw::Const))) {
        const int e = instr(u, u"= ");
        row.bunrui = QStringLiteral("定数");
        row.type = e > 0 ? QStringLiteral("値/") + cut(p.text, e + 2, p.c - e - 2) : QString();
        n += 6;
        split = e;
    } else {
        const int a = p.as();
        row.bunrui = QStringLiteral("変数");
        row.type = a > 0 ? QStringLiteral("型/") + cut(p.text, a + 3, p.c - a - 3) : QString();
        split = a;
    }
    row.name = cut(p.text, n, split > n ? split - n : p.c - n);
    write_(row);
    return true;
}

// The type's own row, one row per member up to End Type, then the End Type
// row (no name; the comment of the End Type line). Blank, comment and
// attribute lines and members without "As" are passed over; a block without
// End Type ends with its module.
void VariableScan::typeBlock(const QString& t, int nameStart, int c, const QString& scope,
                             LineReader& reader) {
    const Piece head(t);
    write_(HensuRow{c_.procedureName, cut(t, nameStart, c - nameStart + 1), scope, QStringLiteral("定義"),
                    QString(), pieces_, head.description()});
    while (!reader.atEnd()) {
        c_.rawLine = reader.next();
        const Piece m(c_.rawLine);
        if (wordPosition(m.upper, u"END TYPE", WordEnd::Phrase) == 1) {
            write_(HensuRow{currentName(), {}, {}, {}, {}, pieces_, m.description()});
            return;
        }
        const int a = m.as();
        if (trim(c_.rawLine).isEmpty() || c_.rawLine.startsWith(u"Attribute") || isWholeLineComment(m.text) || a == 0)
            continue;
        ++pieces_;
        write_(HensuRow{currentName(), cut(m.text, 1, a - 2), scope, QStringLiteral("定義"),
                        QStringLiteral("型/") + cut(m.text, a + 3, m.c - a - 3), pieces_, m.description()});
    }
}

// The enumeration's own row (its type column says Enum), then one row per
// member up to End Enum, with its value where one is written. Blank, comment
// and attribute lines are passed over; a block without End Enum ends with its
// module.
// A block may stand on one line, its statements parted by colons
// ("Private Enum LongPtr: [_]: End Enum", the usual way to name a type on
// 32-bit Office): its name ends at the first colon, the rest are its members
// and its end.
void VariableScan::enumBlock(const Piece& head, int nameStart, const QString& scope, LineReader& reader) {
    const std::vector<int> colons = statementColons(head.upper);
    const int nameEnd = colons.empty() ? head.c : colons.front() - 1;
    write_(HensuRow{c_.procedureName, cut(head.text, nameStart, nameEnd - nameStart + 1), scope,
                    QStringLiteral("定義"), QStringLiteral("Enum"), pieces_, head.description()});
    for (size_t i = 0; i < colons.size(); ++i) {
        const int to = i + 1 < colons.size() ? colons[i + 1] - 1 : int(head.upper.size());
        if (enumMember(mid(head.text, colons[i] + 1, to - colons[i]), scope)) return;
    }
    while (!reader.atEnd()) {
        c_.rawLine = reader.next();
        if (trim(c_.rawLine).isEmpty() || c_.rawLine.startsWith(u"Attribute") || isWholeLineComment(c_.rawLine))
            continue;
        if (enumMember(c_.rawLine, scope)) return;
    }
}

// One member's row, with its value where one is written; true at End Enum.
bool VariableScan::enumMember(const QString& statement, const QString& scope) {
    const Piece m(statement);
    if (wordPosition(m.upper, u"END ENUM", WordEnd::Phrase) == 1) return true;
    ++pieces_;
    const int e = instr(m.upper, u"=");
    write_(HensuRow{currentName(), e > 0 ? cut(m.text, 1, e - 1) : cut(m.text, 1, m.c), scope,
                    QStringLiteral("定義"), e > 0 ? QStringLiteral("値/") + cut(m.text, e + 1, m.c - e) : QString(),
                    pieces_, m.description()});
    return false;
}

CodeOutcome runVariables(const CodeContext& ctx) {
    CodeOutcome out;
    if (refuseUnreadableProject(ctx, out)) return out;
    const ChapterFrame frame{VariablesPlace, QStringLiteral("T_XlHensu"),
                             VariablesCollectingText};
    runChapter(ctx, frame, out, 1, [&](store::Database& db) {
        SourceCursor& c = ctx.cursor;
        auto table = db.openTable(QStringLiteral("T_XlHensu"));
        VariableScan scan(c, [&](const HensuRow& r) {
            table->addNew();
            table->set(QStringLiteral("objectNo"), c.moduleNumber);
            table->set(QStringLiteral("ProcedureNo"), c.procedureNumber);
            table->set(QStringLiteral("objectName"), c.moduleFile);
            table->set(QStringLiteral("ProcedureName"), r.procedureName);
            table->set(QStringLiteral("HensuName"), r.name);
            table->set(QStringLiteral("Property"), r.scope);
            table->set(QStringLiteral("Bunrui"), r.bunrui);
            table->set(QStringLiteral("Type"), r.type);
            table->set(QStringLiteral("Line"), r.piece);
            table->set(QStringLiteral("Description"), r.description);
            table->update();
            ++out.rows;
        });
        c.procedureNumber = 0;
        readModules(ctx, modulesOf(ctx.modules, {1}), out,
                    {[&](const CodeModule&) { c.procedureName.clear(); scan.startModule(); },
                     [&](LineReader& r) { scan.line(c.rawLine, r); }, {}});
    });
    return out;
}

}  // namespace tabulon::analyses::code
