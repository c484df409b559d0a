#pragma once
// What the .xls reader keeps of the workbook globals while it reads the
// sheets: the references formulas resolve through (SUPBOOK, EXTERNSHEET,
// NAME with its tokens), the BOUNDSHEET list with each sheet's offset, the
// formats with their colours still as palette indices. Private to the
// reader: the loaded workbook is the model (host/model/Book.h), filled from
// this and the sheets once they are read. Sheets are read side by side, each
// seeing this only as const.
#include "host/model/Book.h"
#include "host/model/Notation.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <vector>

namespace tabulon::xls {

using model::Area;
using model::CellData;
using model::CellType;
using model::TextRun;
using model::TextRuns;
using model::a1Column;
using model::cellAddress;

enum class SupBookKind { Self, AddIn, External, OleDde };

struct ExternNameModel {
    QString name;
};

struct SupBookModel {
    SupBookKind kind = SupBookKind::Self;
    QString path;               // External: the resolved path; OleDde: "server|topic"
    QStringList sheetNames;
    std::vector<ExternNameModel> names;
};

struct XtiModel {
    int supBook = 0;
    int firstTab = 0;
    int lastTab = 0;
};

struct NameModel {
    QString name;               // as stored; built-ins mapped to their names
    int sheetIndex = 0;         // itab: 0 workbook-level, else 1-based BoundSheet
    bool builtin = false;
    bool hidden = false;
    bool vbaMacro = false;      // fOB: the link of a button or shape to a VBA procedure
    std::vector<uint8_t> rgce;  // the NameParsedFormula tokens
    std::vector<uint8_t> extra; // its RgbExtra
};

// One sheet of the BOUNDSHEET list that the model keeps (VB module sheets
// are left out).
struct SheetEntry {
    QString name;
    model::SheetKind kind = model::SheetKind::Worksheet;
    int visibility = 0;         // hsState: 0 visible, 1 hidden, 2 very hidden
    uint32_t bofOffset = 0;
};

// Font, MS-XLS 2.4.122, its colour an icv (MS-XLS 2.5.161).
struct FontDef {
    model::Font font;
    int icv = 0x7FFF;           // 0x7FFF: the window text colour
};

// One side of a cell border: a line style and its icv.
struct BorderLine {
    int style = 0;
    int icv = 64;
};

// XF, MS-XLS 2.4.353 with CellXF 2.5.20: ifnt, ifmt and icvs as stored.
struct XfDef {
    int font = 0;               // ifnt
    int format = 0;             // ifmt
    int hAlign = 0, vAlign = 2;
    bool wrap = false, shrink = false;
    int indent = 0, rotation = 0;
    BorderLine left, right, top, bottom, diagonal;
    bool diagonalDown = false, diagonalUp = false;
    int pattern = 0;
    int patternColor = 64;      // icvFore
    int backColor = 65;         // icvBack
};

struct Globals {
    QString path;               // absolute path of the file: relative links are resolved against its folder
    int biff = 8;               // 8: Excel 97-2003 (BIFF8); 5: Excel 5.0/95 (BIFF5), byte strings in codePage
    int codePage = 1252;
    QString codeName;
    bool vbaModuleSheets = false;       // Excel 5.0/95 VB module sheets are present
    std::vector<SheetEntry> sheets;     // every BoundSheet8 except VB modules
    std::vector<int> boundSheetToSheet; // BoundSheet index -> index in sheets, -1 if left out
    QStringList boundSheetNames;        // every BoundSheet8 name in file order
    uint64_t sstCount = 0;              // the strings the SST records announce: cells are checked against it
    std::vector<NameModel> names;
    std::vector<SupBookModel> supBooks;
    std::vector<XtiModel> xti;
    std::vector<uint32_t> palette;      // PALETTE colours 0x00BBGGRR from icv 8; empty: the default
    std::vector<FontDef> fonts;         // by ifnt as stored (the file format has no ifnt 4)
    std::map<int, QString> formatCodes; // FORMAT records: ifmt -> code
    std::vector<XfDef> xfs;
    bool date1904 = false;
    QByteArray drawingGroup;            // the joined MsoDrawingGroup records: the BLIP store
    QStringList warnings;
};

// A font number as a formatting run or an XF stores it (ifnt, which skips
// 4) as the index of its font in the model's list.
constexpr int fontIndex(int ifnt) { return ifnt >= 4 ? ifnt - 1 : ifnt; }

}  // namespace tabulon::xls
