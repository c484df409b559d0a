#pragma once
// The workbook as a reader loads it, once, into memory: the one model every
// reader (.xls now; Office Open XML and .xlsb) fills and everything above the
// readers reads. Nothing in it belongs to one file format.
#include "host/model/Cells.h"
#include "host/model/Chart.h"
#include "host/model/Formats.h"
#include "host/model/Layout.h"
#include "host/model/Shapes.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tabulon::vba { class Project; }

namespace tabulon::model {

enum class SheetKind { Worksheet, Chart, MacroSheet, Dialog };

// A cell comment.
struct Note {
    QString text;
    QString author;  // empty when the file does not name one
};

struct Sheet {
    QString name;
    QString codeName;           // the name its code module goes by; empty when not given
    SheetKind kind = SheetKind::Worksheet;
    int visibility = 0;         // 0 visible, 1 hidden, 2 very hidden
    Area used;                  // the used range; A1 for an empty sheet
    std::vector<CellData> cells;           // sorted by row, then column
    std::vector<QString> texts;            // formula texts, and texts not in the shared strings
    std::map<uint32_t, TextRuns> textRuns; // own text index -> its formatting runs
    std::map<std::pair<int, int>, Note> notes;  // (row, col) -> its comment
    bool protectContents = false;
    bool hasPassword = false;
    SheetLayout layout;
    std::vector<Shape> shapes;
    int chart = -1;             // a chart sheet: its chart in Book::charts; -1 none read
};

struct Name {
    QString name;               // as stored; built-in names by the spreadsheet's spelling ("Print_Area")
    bool sheetLevel = false;    // belongs to one sheet
    QString sheet;              // that sheet's name
    int sheetIndex = -1;        // that sheet in Book::sheets; -1 for the workbook's or a sheet not among them
    bool builtin = false;
    bool hidden = false;
    bool vbaMacro = false;      // only ties a button or shape to a VBA procedure
    QString refersTo;           // "=Sheet1!$A$1:$C$9"
    std::optional<std::vector<Area>> areas;  // the cells it covers; nothing when it is no range
};

// A link to another file.
struct Link {
    enum Kind { Workbook, OleDde };
    Kind kind = Workbook;
    QString target;             // Workbook: the linked book's path; OleDde: "server|topic"
};

// A procedure the workbook's own ribbon (customUI) runs when one of its
// controls is clicked: an entry point of the macros beside the shapes'.
struct RibbonAction {
    QString control;            // the control's id
    QString label;              // its label, when it has one
    QString macro;              // the onAction callback as written ("Module1.Run")
};

// The file format the workbook came in, as `tabulon dump` names it.
struct FileFormat {
    QString name = QStringLiteral("BIFF8");            // "BIFF8", "BIFF5", ...
    QString detail = QStringLiteral("Excel 97-2003");  // "Excel 5.0/95", ...
    QString text() const { return name + QStringLiteral(" (") + detail + QLatin1Char(')'); }
};

struct Book {
    QString path;               // absolute path of the loaded file
    FileFormat format;
    QString codeName;           // the workbook's code module name; empty when not given
    int codePage = 1252;        // the code page of the file's byte strings
    int lastRow = 65535;        // the grid's last row and column (0-based): a range from the first to
    int lastCol = 255;          // the last column is whole rows, from the first to the last row whole columns
    bool encrypted = false;     // the file was encrypted and has been read decrypted
    std::vector<Sheet> sheets;  // every sheet, chart and macro sheet (no VB module sheets)
    std::vector<QString> sharedStrings;
    std::map<uint32_t, TextRuns> sharedRuns;  // shared strings with formatting runs, by index
    std::vector<Name> names;
    std::vector<Link> links;    // in file order
    QStringList addInFunctions; // the add-in functions the formulas call, as the workbook lists them
    std::vector<RibbonAction> ribbonActions;  // in document order; none in an .xls
    std::map<int, QVariant> properties;  // built-in document property position (1-30) -> value
    Formats formats;
    std::vector<Picture> pictures;
    std::vector<Chart> charts;      // the charts of chart sheets and embedded charts, each read once
    std::vector<uint32_t> palette;  // the colours the workbook numbers (0xRRGGBB); empty: the default
    // The VBA project, read from the same file; null when the workbook has none.
    std::shared_ptr<const vba::Project> vbaProject;
    std::exception_ptr vbaFailure;   // why the project present could not be read
    bool unreadableMacros = false;   // macros in a form the VBA reader cannot read (Excel 5.0/95)
    QStringList warnings;            // damage skipped while reading
};

// A cell's text value; empty when it has none.
inline const QString& cellText(const Book& book, const Sheet& sheet, const CellData& cell) {
    static const QString none;
    if (cell.type != CellType::Text) return none;
    const std::vector<QString>& from = (cell.flags & CellData::OwnText) ? sheet.texts : book.sharedStrings;
    return cell.text < from.size() ? from[cell.text] : none;
}

// A text cell's formatting runs; null for a plain text.
inline const TextRuns* cellRuns(const Book& book, const Sheet& sheet, const CellData& cell) {
    if (cell.type != CellType::Text) return nullptr;
    const auto& from = (cell.flags & CellData::OwnText) ? sheet.textRuns : book.sharedRuns;
    const auto it = from.find(cell.text);
    return it == from.end() ? nullptr : &it->second;
}

// A cell's formula text ("=..."); empty for a constant.
inline const QString& cellFormula(const Sheet& sheet, const CellData& cell) {
    static const QString none;
    return (cell.flags & CellData::HasFormula) && cell.formula < sheet.texts.size() ? sheet.texts[cell.formula] : none;
}

// The stored cell at (row, col), or null.
const CellData* findCell(const Sheet& sheet, int row, int col);

}  // namespace tabulon::model
