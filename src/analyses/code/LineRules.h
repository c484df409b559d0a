#pragma once
// The line rules shared by every code analysis: string primitives with the
// semantics the analyses were written against (1-based positions, 0 for "not
// found", blanks trimmed but never tabs, lengths in UTF-16 units), the keyword
// tests, the comment-line test and the scope and name routines.
//
// The scope and name routines read the code part of a header (CodeLine.h):
// keywords in string literals or trailing comments do not count, Friend and
// Static are passed over like a scope word, and "Declare PtrSafe" reads like
// "Declare". GetProcName still measures a header's name length from
// position 1; a declaration's runs from its keyword to "Lib".
#include <QString>
#include <QStringView>

namespace tabulon::analyses::code {

// ---- string primitives -------------------------------------------------
// Upper case one UTF-16 unit at a time, so positions found in the upper-cased
// text are valid in the original (no "ß" -> "SS" growth).
QString upper(QStringView s);
QString ltrim(QStringView s);   // removes leading U+0020 only
QString rtrim(QStringView s);   // removes trailing U+0020 only
QString trim(QStringView s);
// Position (1-based) of needle in hay at or after start, 0 when absent.
int instr(QStringView hay, QStringView needle, int start = 1);
// Text from 1-based start, at most length units (length < 0: to the end).
QString mid(QStringView s, int start, int length = -1);
QString left(QStringView s, int length);

// ---- keyword literals --------------------------------------------------
namespace kw {
inline constexpr char16_t Private[] = u"PRIVATE ";
inline constexpr char16_t Public[] = u"PUBLIC ";
inline constexpr char16_t Global[] = u"GLOBAL ";
inline constexpr char16_t Dim[] = u"DIM ";
inline constexpr char16_t Const[] = u"CONST ";
inline constexpr char16_t Type[] = u"TYPE ";
inline constexpr char16_t Declare[] = u"DECLARE ";
inline constexpr char16_t Sub[] = u"SUB ";
inline constexpr char16_t Function[] = u"FUNCTION ";
inline constexpr char16_t Property[] = u"PROPERTY ";
inline constexpr char16_t Call[] = u"CALL ";
inline constexpr char16_t PropertyGet[] = u"PROPERTY GET";
inline constexpr char16_t PropertyLet[] = u"PROPERTY LET";
inline constexpr char16_t PropertySet[] = u"PROPERTY SET";
inline constexpr char16_t DeclareFunction[] = u"DECLARE FUNCTION ";
inline constexpr char16_t DeclareSub[] = u"DECLARE SUB ";
inline constexpr char16_t CommentMark[] = u"'";
inline constexpr char16_t Continuation[] = u" _";
inline constexpr char16_t Lib[] = u"Lib ";  // matched case-sensitively
}  // namespace kw

// ---- keyword tests -----------------------------------------------------
// Both test the upper-cased, left-trimmed line; the literal is upper case.
bool contains(QStringView line, QStringView keyword);
bool beginsWith(QStringView line, QStringView keyword);
// The trimmed raw line starts with the comment mark.
bool isCommentLine(QStringView rawLine);
// A physical line that continues on the next one: it contains " _" anywhere.
bool isContinued(QStringView rawLine);

// ---- scope and name routines -------------------------------------------
// PriPubDel: scope of a procedure header. Returns "Private" or "Public" and
// rewrites the logical line without its scope word (at most 2000 units).
QString PriPubDel(QString& logicalLine);
// PriPubDel2: the text without a leading scope word, at most 512 units.
QString PriPubDel2(QStringView text);
// GetProcName: the procedure name of a header or API declaration, or
// kUnknownProcName when the line names none.
QString GetProcName(QStringView text);

// What GetProcName gives for a line that names no procedure. It is a real
// value, not only a failure mark: the chapters store it as the procedure name
// of the lines that follow, so it can reach the tables and reports as is.
inline const QString kUnknownProcName = QStringLiteral("ERROR");

}  // namespace tabulon::analyses::code
