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

// A real Type statement: a scope word, then the word Type and a name.
int typeStatementNameStart(const Piece& p) {
    for (const char16_t* scope : {u"PUBLIC", u"PRIVATE", u"GLOBAL"}) {
        if (wordPosition(p.upper, scope, WordEnd::Header) != 1) continue;
        const int type = wordPosition(p.upper, u"TYPE", WordEnd::Header);
        const QString between = p.upper.mid(qsizetype(std::char_traits<char16_t>::length(scope)),
                                            qsizetype(type) - 1 - qsizetype(std::char_traits<char16_t>::length(scope)));
        if (type > 0 && trim(between).isEmpty()) return type + 5;
    }
    return 0;
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

QString VariableScan::currentName() const {
    return c_.procedureName.isEmpty() ? NoDeclarationsName : c_.procedureName;
}

// A line declaring several names is taken piece by piece; each later piece
// gets the line's leading word (its scope word) in front. A piece that ends
// without a row drops the rest of the line.
void VariableScan::line(const QString& raw, LineReader& reader) {
    // Most lines hold no scope word at all: they only count as a piece.
    bool scoped = false;
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
    const int blank = instr(t, u" ");
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
    if (n == 0) return false;
    const CodeLine code = codeLine(r);
    if (!code.exit && (wordPosition(code.masked, u"FUNCTION", WordEnd::Header) > 0 ||
                       wordPosition(code.masked, u"SUB", WordEnd::Header) > 0)) {
        c_.procedureName = GetProcName(r);
        ++c_.procedureNumber;
        return false;
    }
    if (const int nameStart = typeStatementNameStart(p)) {
        typeBlock(p.text, nameStart, p.c, scope, reader);
        return false;
    }
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
// row. Blank, comment and attribute lines and members without "As" are passed
// over; a block without End Type ends with its file.
void VariableScan::typeBlock(const QString& t, int nameStart, int c, const QString& scope,
                             LineReader& reader) {
    const Piece head(t);
    write_(HensuRow{c_.procedureName, cut(t, nameStart, c - nameStart + 1), scope, QStringLiteral("定義"),
                    QString(), pieces_, head.description()});
    int split = 0;
    while (!reader.atEnd()) {
        c_.rawLine = reader.next();
        const Piece m(c_.rawLine);
        if (wordPosition(m.upper, u"END TYPE", WordEnd::Phrase) == 1) {
            const int length = split > nameStart ? split - nameStart : m.c - nameStart;
            write_(HensuRow{currentName(), cut(m.text, nameStart, length), {}, {}, {}, pieces_, m.description()});
            return;
        }
        const int a = m.as();
        if (trim(c_.rawLine).isEmpty() || c_.rawLine.startsWith(u"Attribute") || isWholeLineComment(m.text) || a == 0)
            continue;
        ++pieces_;
        split = a;
        write_(HensuRow{currentName(), cut(m.text, 1, a - 2), scope, QStringLiteral("定義"),
                        QStringLiteral("型/") + cut(m.text, a + 3, m.c - a - 3), pieces_, m.description()});
    }
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
            table->set(QStringLiteral("objectName"), fileNamePart(c.filePath));
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
        readFiles(ctx, listModuleFiles(c.workingFolder, moduleKind(1).pattern), out,
                  {[&](int) { c.procedureName.clear(); }, [&](LineReader& r) { scan.line(c.rawLine, r); }, {}});
    });
    return out;
}

}  // namespace tabulon::analyses::code
