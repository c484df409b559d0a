#pragma once
// Cells as every reader loads them: values and formula texts, kept compact
// because a workbook holds a million of them.
#include <cstdint>
#include <vector>

namespace tabulon::model {

enum class CellType : uint8_t { Empty, Number, Text, Boolean, Error };

// The error values, numbered as the spreadsheet's binary files store them
// (an Office Open XML reader maps "#DIV/0!" and the rest onto these).
namespace errorcode {
constexpr int Null = 0x00, Div0 = 0x07, Value = 0x0F, Ref = 0x17, Name = 0x1D, Num = 0x24, NA = 0x2A;
}

// One cell. A text value is an index into the workbook's shared strings or,
// flagged OwnText, into the sheet's own texts; a formula text ("=...") is an
// index into the sheet's own texts, flagged HasFormula.
struct CellData {
    static constexpr uint8_t OwnText = 0x01;
    static constexpr uint8_t HasFormula = 0x02;
    int32_t row = 0;  // 0-based
    uint16_t col = 0;
    CellType type = CellType::Empty;
    uint8_t flags = 0;
    uint32_t text = 0;     // Text: the index of its text
    uint32_t formula = 0;  // HasFormula: the index of its formula text
    double number = 0;     // Number; Boolean 0/1; Error: its code (errorcode)
};
static_assert(sizeof(CellData) == 24, "cells stay compact");

// A formatting run of a rich text: from the character `first` on, the text
// is in the workbook's font number `font` (an index into Formats::fonts).
struct TextRun {
    uint16_t first = 0;
    uint16_t font = 0;
};
using TextRuns = std::vector<TextRun>;

// A rectangular block of cells, 0-based and inclusive.
struct Area {
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
    bool operator==(const Area&) const = default;
};

}  // namespace tabulon::model
