#pragma once
// The workbook as the reader loads it, once, into memory. The host API
// (host/Workbook.h) answers every question from this model.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <map>
#include <vector>

namespace tabulon::xls {

enum class SheetKind { Worksheet, Chart, MacroSheet, Dialog };

enum class CellType : uint8_t { Empty, Number, Text, Boolean, Error };

// One cell as loaded. A workbook holds a million of these, so the texts are
// kept aside: a text value is an index into the workbook's shared strings
// or, flagged OwnText, into the sheet's own texts; a formula text
// ("=...") is an index into the sheet's own texts, flagged HasFormula.
struct CellData {
    static constexpr uint8_t OwnText = 0x01;
    static constexpr uint8_t HasFormula = 0x02;
    int32_t row = 0;  // 0-based
    uint16_t col = 0;
    CellType type = CellType::Empty;
    uint8_t flags = 0;
    uint32_t text = 0;     // Text: the index of its text
    uint32_t formula = 0;  // HasFormula: the index of its formula text
    double number = 0;     // Number; Boolean 0/1; Error: the BIFF error code
};
static_assert(sizeof(CellData) == 24, "cells stay compact");

// A formatting run of a rich text (FormatRun, MS-XLS 2.5.129): from the
// character `first` on, the text is in the font `font` (an ifnt as stored).
struct TextRun {
    uint16_t first = 0;
    uint16_t font = 0;
};
using TextRuns = std::vector<TextRun>;

// A rectangular block of cells, 0-based and inclusive.
struct Area {
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
};

// A drawing object of a sheet as the shape inventory reads it, filled by the
// drawing layer (DrawingReader.h) in the order of the sheet's shape collection.
struct ShapeModel {
    QString name;
    QString onAction;
    QString text;
    int fillColor = 0xFFFFFF;  // RGB as the spreadsheet reports it: R + G*256 + B*65536
    int dashStyle = 1;         // the Office dash style number; 1 solid
    bool lineVisible = true;   // the line is drawn (a picture or a borderless box has none)
    bool isComment = false;
    int kind = -1;             // the OBJ record's object type (MS-XLS 2.5.143 ot); -1 none
    int objectId = 0;          // the OBJ record's object id
    bool hasText = false;      // the kind holds a character text (text box, button, ...)
    // How the print image draws it (MS-ODRAW properties, the TXO and OBJ records).
    int shapeType = 0;         // MSOSPT of its FSP: 1 rectangle, 2 rounded rectangle, 3 oval, 20 line, 202 text box
    bool filled = true;
    int lineColor = 0;         // RGB as fillColor
    double lineWidthPt = 0.75;
    bool flipH = false, flipV = false;  // a line runs from the top right (H) or bottom left (V) corner
    double rotation = 0;       // degrees clockwise about the centre
    int arrowStart = 0, arrowEnd = 0;   // MSOLINEEND: 0 none, 1 triangle, ...
    int textHAlign = 0;        // TXO: 1 left, 2 centre, 3 right, 4 justify, 7 distributed; 0 not given
    int textVAlign = 0;        // TXO: 1 top, 2 middle, 3 bottom, 4 justify, 7 distributed; 0 not given
    TextRuns textRuns;         // the TXO's formatting runs
    int checked = -1;          // a check box or option button: 0 off, 1 on, 2 mixed; -1 not known
};

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

struct SheetModel {
    QString name;
    SheetKind kind = SheetKind::Worksheet;
    int visibility = 0;         // hsState: 0 visible, 1 hidden, 2 very hidden
    uint32_t bofOffset = 0;
    bool hasDimensions = false;
    Area used;                  // from DIMENSIONS; A1 when the sheet is empty
    std::vector<CellData> cells;           // sorted by row, then column
    std::vector<QString> texts;            // formula texts, and texts not in the shared strings
    std::map<std::pair<int, int>, QString> notes;  // (row, col) -> note text
    bool protectContents = false;
    bool hasPassword = false;
    bool printHeadings = false;
    bool fitToPage = false;
    int scale = 100;            // SETUP iScale
    std::vector<ShapeModel> shapes;
    // Excel 5.0/95: the sheet's own link table, which its formulas use
    std::vector<SupBookModel> localSupBooks;
    std::vector<XtiModel> localXti;
    std::map<uint32_t, TextRuns> textRuns;  // RSTRING cells: own text index -> its runs
};

struct NameModel {
    QString name;               // as stored; built-ins mapped to their names
    int sheetIndex = 0;         // itab: 0 workbook-level, else 1-based BoundSheet
    bool builtin = false;
    bool hidden = false;
    bool vbaMacro = false;      // fOB: the link of a button or shape to a VBA procedure
    std::vector<uint8_t> rgce;  // the NameParsedFormula tokens
    std::vector<uint8_t> extra; // its RgbExtra
    QString refersTo;           // decoded "=..." text
};

// Where a stored shared/array/table body sits and what it holds.
struct SharedBody {
    Area area;
    std::vector<uint8_t> rgce;
    std::vector<uint8_t> extra;
    bool isArray = false;
};

struct WorkbookModel {
    QString path;               // absolute path of the loaded file
    int codePage = 1252;
    int biff = 8;               // 8: Excel 97-2003 (BIFF8); 5: Excel 5.0/95 (BIFF5), byte strings in codePage
    bool vbaModuleSheets = false; // Excel 5.0/95 VB module sheets are present (macros we cannot export)
    std::vector<SheetModel> sheets;     // every BoundSheet8 except VB modules
    std::vector<int> boundSheetToSheet; // BoundSheet index -> index in sheets, -1 if left out
    QStringList boundSheetNames;        // every BoundSheet8 name in file order
    std::vector<QString> sst;
    std::map<uint32_t, TextRuns> sstRuns;  // shared strings that carry formatting runs, by index
    uint64_t sstCount = 0;              // the strings the SST records announce: cells are checked against it
    std::vector<NameModel> names;
    std::vector<SupBookModel> supBooks;
    std::vector<XtiModel> xti;
    std::map<int, QVariant> properties; // built-in document property position -> value
    std::vector<uint32_t> palette;      // PALETTE colours 0x00BBGGRR from icv 8; empty: the default
    QStringList warnings;
    bool decrypted = false;             // the stream was encrypted and is read decrypted
    QByteArray decryptedStream;         // then its decrypted bytes, in memory only, for the print layout
};

// A cell's text value and formula text; empty when it has none.
inline const QString& cellText(const WorkbookModel& book, const SheetModel& sheet, const CellData& cell) {
    static const QString none;
    if (cell.type != CellType::Text) return none;
    const std::vector<QString>& from = (cell.flags & CellData::OwnText) ? sheet.texts : book.sst;
    return cell.text < from.size() ? from[cell.text] : none;
}

// A text cell's formatting runs; null for a plain text.
inline const TextRuns* cellRuns(const WorkbookModel& book, const SheetModel& sheet, const CellData& cell) {
    if (cell.type != CellType::Text) return nullptr;
    const auto& from = (cell.flags & CellData::OwnText) ? sheet.textRuns : book.sstRuns;
    const auto it = from.find(cell.text);
    return it == from.end() ? nullptr : &it->second;
}

inline const QString& cellFormula(const SheetModel& sheet, const CellData& cell) {
    static const QString none;
    return (cell.flags & CellData::HasFormula) && cell.formula < sheet.texts.size() ? sheet.texts[cell.formula] : none;
}

}  // namespace tabulon::xls
