#pragma once
// The pieces of a formula as a workbook part stores it (A1 notation, no
// leading "="), told apart just far enough to rewrite references: strings,
// quoted sheet names, error literals, bracketed groups (structured
// references, external book numbers), words (names, functions, cell,
// column and row references, numbers) and single characters.
#include <QString>
#include <QStringView>
#include <vector>

namespace tabulon::ooxml {

enum class TokenKind { String, Quoted, Error, Bracket, Word, Space, Char };

struct Token {
    TokenKind kind;
    qsizetype begin = 0, end = 0;  // in the text
};

std::vector<Token> lexFormula(QStringView text);

// A cell reference word ("$B$12", "b12") split into its parts; the column
// and row are 0-based.
struct CellRef {
    bool colAbs = false, rowAbs = false;
    int col = 0, row = 0;
};
bool parseCellRef(QStringView word, CellRef& out);
// A column alone ("$AB") or a row alone ("$12"), as the ends of "A:C" and "1:3".
bool parseColumnRef(QStringView word, bool& absolute, int& col);
bool parseRowRef(QStringView word, bool& absolute, int& row);

// The grid of the workbooks saved since 2007.
constexpr int kMaxRows = 1048576;
constexpr int kMaxCols = 16384;

QString columnLetters(int col);  // 0 -> "A", 16383 -> "XFD"

}  // namespace tabulon::ooxml
