#pragma once
// How a source line reads as VBA code, for the procedure-header, procedure-end
// and declaration tests of every code analysis. The plain substring tests of
// LineRules see keywords inside string literals, trailing comments and longer
// words; these rules look only at the code a VBA programmer would see:
//
//  - the comment mark is the first apostrophe outside a string literal
//    ("..." with "" inside a literal);
//  - the code part is the line without its leading blanks and tabs, cut before
//    that comment mark, trailing blanks removed, and with "PtrSafe " taken out
//    of a 64-bit "Declare PtrSafe" so that it reads like a 32-bit declaration;
//  - keywords count as whole words: at the start of the code or after a blank,
//    tab or colon, and followed by what the test names;
//  - whole-line comments (apostrophe or Rem) and Exit Sub/Function/Property
//    statements are never procedure headers or ends.
#include <QString>
#include <QStringView>

namespace tabulon::analyses::code {

// 1-based position of the first apostrophe outside a string literal, 0 if none.
int commentMarkOutsideStrings(QStringView line);
// `line` with the characters inside string literals replaced by a placeholder
// (the quotes stay), so keyword searches skip literals and positions still
// match the original.
QString maskStrings(QStringView line);
// Leading blanks and tabs removed.
QString stripIndent(QStringView line);
// A whole-line comment: the first character after the indentation is an
// apostrophe, or the first word is Rem.
bool isWholeLineComment(QStringView line);
// The words of a whole-line comment: the text after its indentation, its mark
// (apostrophe or Rem) and one blank or tab after the mark; further blanks are
// the author's layout and stay. A null view for a line that is no comment.
QStringView commentWords(QStringView line);

struct CodeLine {
    QString code;    // code part (see above); positions refer to this text
    QString masked;  // `code` upper-cased with string literals masked
    bool comment = false;  // a whole-line comment: apostrophe or Rem first
    bool exit = false;     // an Exit Sub / Function / Property statement
};
CodeLine codeLine(QStringView line);
// codeLine() for lines that may hold a procedure header or end; an empty
// CodeLine (neither) for the many that cannot, without building one.
CodeLine procedureCodeLine(QStringView line);

// Where a test word may end: a header word is followed by a blank, tab or
// "("; an end phrase also by the end of the code; Exit keywords by a colon.
enum class WordEnd { Header, Phrase, Statement };
// 1-based position of `word` (upper case, no trailing blank) as a whole word
// in `masked` at or after `from`, 0 when absent.
int wordPosition(QStringView masked, QStringView word, WordEnd end, int from = 1);

// A procedure header anywhere in the code (Sub, Function or Property word).
bool isHeaderCode(const CodeLine& line);
// End Sub / End Function / End Property; `atStart` asks for it at the start
// of the code, otherwise anywhere.
bool isEndCode(const CodeLine& line, bool atStart);

// The first "(" outside a string literal and the ")" that closes it (nesting
// counted), 1-based; {0, 0} when there is no "(" or it is never closed.
struct ParenSpan { int open = 0; int close = 0; };
ParenSpan parameterParens(QStringView masked);

// Leading "Friend " and "Static " words removed (repeatedly); `friendSeen`
// tells whether a Friend word stood there.
QString stripFriendStatic(QStringView text, bool* friendSeen = nullptr);

// Progress after `done` of `all` files: 100 x done / all, capped at 100.
int progressShare(qint64 done, qint64 all);

}  // namespace tabulon::analyses::code
