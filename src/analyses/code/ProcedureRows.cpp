#include "analyses/code/ProcedureRows.h"

#include "analyses/code/CodeLine.h"
#include "analyses/code/LineRules.h"
#include "store/Database.h"

namespace tabulon::analyses::code {

namespace {
struct HeaderRule {
    const char16_t* word;
    bool atStart;      // compared against the first 12 characters
    const char* type;
    bool writesDimCall;
    int keywordLength;
};
// First match decides; Declare forms before the plain ones they contain.
constexpr HeaderRule HeaderRules[] = {
    {kw::PropertyGet, true, "Property Get", false, 13},
    {kw::PropertyLet, true, "Property Let", false, 13},
    {kw::PropertySet, true, "Property Set", false, 13},
    {kw::DeclareFunction, false, "Declare Function", true, 17},
    {kw::DeclareSub, false, "Declare Sub", true, 12},
    {kw::Function, false, "Function", true, 9},
    {kw::Sub, false, "Sub", true, 4},
};
constexpr int MaxParameterLength = 150;
}  // namespace

HeaderKind TypeSelect(const QString& header) {
    HeaderKind kind;
    const int mark = commentMarkOutsideStrings(header);
    const QString code = rtrim(mark > 0 ? left(header, mark - 1) : header);
    const QString u = upper(maskStrings(code));
    const HeaderRule* rule = nullptr;
    for (const HeaderRule& r : HeaderRules) {
        if (r.atStart ? left(u, 12) == QStringView(r.word) : instr(u, r.word) > 0) {
            rule = &r;
            break;
        }
    }
    if (!rule) return kind;
    kind.type = QString::fromUtf8(rule->type);
    kind.writesDimCall = rule->writesDimCall;
    const int k = rule->keywordLength;
    // The parameter list runs to the ")" that closes its "(": array
    // parameters keep their "()" and the return type stays behind it.
    const auto [p1, p2] = parameterParens(u);
    const int length = p2 - p1 - 1;
    if (p1 <= k || p2 <= k || length >= MaxParameterLength) return kind;
    kind.hasParts = true;
    kind.parameters = length >= 3 ? QVariant(rtrim(mid(code, p1 + 1, length))) : QVariant();
    const int as = wordPosition(u, u"AS", WordEnd::Header, p2);
    kind.returnType = as > 0 ? QVariant(mid(code, as + 3)) : QVariant();
    return kind;
}

namespace {
struct StatementRule {
    const char16_t* word;
    int dimCall;
    const char* type;
    int startOffset;     // s = position + offset
    int typeOffset;      // offset when the line also holds "TYPE " (0: none)
    int threshold;       // smallest comment position taken as a comment
    int subtrahend;      // length = c - subtrahend (0: length = c - s)
};
constexpr StatementRule StatementRules[] = {
    {kw::Dim, 4, "Dim", 4, 0, 4, 5},
    {kw::Const, 5, "Const", 6, 0, 6, 0},
    {kw::Global, 1, "Global", 7, 0, 7, 8},
    {kw::Private, 3, "Private", 8, 13, 8, 9},
    {kw::Public, 2, "Public", 7, 12, 7, 8},
    {kw::Call, 6, "Call", 5, 0, 5, 6},
};
constexpr int CommentLimit = 255;

// Upper-cased code that begins with a Type or Enum block word.
bool startsBlockWord(QStringView u) {
    return u.startsWith(kw::Type) || u.startsWith(u"ENUM ");
}

// Type and Enum without a scope word are Public in a standard module (and
// only allowed at module level): a definition row with the scope shown as
// implied.
bool unscopedBlock(const QString& l, const QString& u, Statement& st) {
    if (!startsBlockWord(u)) return false;
    st.dimCall = 2;
    st.type = QStringLiteral("(Public)");
    st.bunrui = QStringLiteral("定義");
    const int c = commentMarkOutsideStrings(l);
    if (c > 0) st.comment = rtrim(mid(l, c + 1, CommentLimit));
    const int colon = instr(u, u":");  // a block on one line ends its name
    const int end = colon > 0 && (c == 0 || colon < c) ? colon : c > 0 ? c : CommentLimit;
    st.text = trim(mid(l, 6, end - 6));
    return true;
}

// A Type or Enum block: its word stands right after the scope word (at
// `from`), as a word of its own. "TYPE " inside a name (m_showType) makes no
// definition of a variable.
bool blockAfterScope(const QString& u, int from) {
    return startsBlockWord(QStringView(u).mid(from - 1));
}

}  // namespace

bool isUnscopedBlock(const QString& logicalLine) {
    return startsBlockWord(upper(ltrim(logicalLine)));
}

Statement classifyStatement(const QString& logicalLine) {
    Statement st;
    const QString l = ltrim(logicalLine);
    const QString u = upper(l);
    if (unscopedBlock(l, u, st)) return st;
    for (const StatementRule& r : StatementRules) {
        const int at = instr(u, r.word);
        if (at == 0) continue;
        const bool definition = r.typeOffset != 0 && blockAfterScope(u, at + r.startOffset);
        st.dimCall = r.dimCall;
        st.type = QString::fromUtf8(r.type);
        st.numberedByProcedure = r.dimCall == 4 || r.dimCall == 5;
        st.bunrui = r.dimCall == 5   ? QStringLiteral("定数")
                    : r.dimCall == 6 ? QStringLiteral("呼出")
                    : definition     ? QStringLiteral("定義")
                                     : QStringLiteral("変数");
        const int s = at + (definition ? r.typeOffset : r.startOffset);
        int c = commentMarkOutsideStrings(l);
        if (c >= r.threshold) {
            st.comment = rtrim(mid(l, c + 1, CommentLimit));
        } else {
            c = CommentLimit;
        }
        // A definition's name starts behind its block word: its text ends
        // before the comment mark all the same.
        const int shift = definition ? r.typeOffset - r.startOffset : 0;
        int length = c - (r.subtrahend ? r.subtrahend + shift : s);
        // A block on one line ("Private Enum LongPtr: [_]: End Enum") is
        // named up to its first colon.
        if (const int colon = definition ? instr(u, u":", s) : 0; colon > 0 && colon < s + length)
            length = colon - s;
        st.text = length > 0 ? rtrim(mid(l, s, length)) : QString();
        break;
    }
    return st;
}

ProcedureRows::ProcedureRows(store::Database& db, SourceCursor& cursor)
    : c_(cursor),
      proc_(db.openTable(QStringLiteral("T_XlProcName"))),
      dimCall_(db.openTable(QStringLiteral("T_XlDimCall"))) {}

ProcedureRows::~ProcedureRows() = default;

void ProcedureRows::procedure(const ModuleKind& kind) {
    store::Table& t = *proc_;
    t.addNew();
    t.set(QStringLiteral("objectNo"), c_.moduleNumber);
    t.set(QStringLiteral("ProcedureNo"), c_.procedureNumber);
    t.set(QStringLiteral("objectName"), c_.moduleFile);
    t.set(QStringLiteral("ProcedureName"), c_.procedureName);
    t.set(QStringLiteral("PrivatePublic"), PriPubDel(c_.logicalLine));
    t.set(QStringLiteral("Object"),
          contains(c_.logicalLine, kw::Declare) ? kind.apiLabel : kind.label);
    const HeaderKind h = TypeSelect(c_.logicalLine);
    if (!h.type.isEmpty()) {
        t.set(QStringLiteral("Type"), h.type);
        if (h.writesDimCall) t.set(QStringLiteral("DimCall"), 0);
        if (h.hasParts) {
            t.set(QStringLiteral("Parameters"), h.parameters);
            t.set(QStringLiteral("As"), h.returnType);
        }
    }
    t.update();
    ++written_;
}

void ProcedureRows::declarationsRow() {
    store::Table& t = *proc_;
    t.addNew();
    t.set(QStringLiteral("objectName"), c_.moduleFile);
    t.set(QStringLiteral("objectNo"), c_.moduleNumber);
    t.set(QStringLiteral("ProcedureNo"), 1);
    t.set(QStringLiteral("Object"), QStringLiteral("(Declarations)"));
    t.update();
    ++written_;
}

void ProcedureRows::DCCGWrite() {
    const Statement st = classifyStatement(c_.logicalLine);
    store::Table& t = *dimCall_;
    t.addNew();
    t.set(QStringLiteral("objectNo"), c_.moduleNumber);
    if (st.dimCall != 0) {
        const bool byProcedure = st.numberedByProcedure || !c_.procedureName.isEmpty();
        t.set(QStringLiteral("ProcedureNo"), byProcedure ? c_.procedureNumber : 1);
        t.set(QStringLiteral("Line"), c_.lineNumber);
        t.set(QStringLiteral("DimCall"), st.dimCall);
        t.set(QStringLiteral("Bunrui"), st.bunrui);
        t.set(QStringLiteral("Type"), st.type);
        t.set(QStringLiteral("As"), st.comment);
        t.set(QStringLiteral("Parameters"), st.text);
    }
    t.update();
    ++written_;
}

}  // namespace tabulon::analyses::code
