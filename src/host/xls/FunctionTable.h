#pragma once
// The spreadsheet's built-in worksheet and macro-sheet functions as a parsed
// formula numbers them (Ftab, MS-XLS 2.5.198.17).
#include <QString>

namespace tabulon::xls {

struct FunctionInfo {
    const char* name = nullptr;  // English name as the formula text shows it
    int minArgs = 0;
    int maxArgs = 0;             // equal to minArgs for a fixed argument count
};

// The function with the given Ftab index, or nullptr for an unused index.
// Index 255 is not a function: it marks a call whose first argument names an
// add-in or user-defined function. biff12: a binary workbook's table, which
// goes on past the .xls one.
const FunctionInfo* builtinFunction(int index, bool biff12 = false);

constexpr int kUserDefinedFunction = 255;

}  // namespace tabulon::xls
