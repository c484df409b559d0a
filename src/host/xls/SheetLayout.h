#pragma once
// What a sheet looks like on paper, as its records describe it: the formats
// and fonts of the workbook, and of one sheet its column widths, row heights,
// merged areas, each cell's format, and its page setup. Read on demand (only
// the sheet print image needs it), from the same workbook stream the model
// was loaded from.
#include "host/xls/Model.h"
#include "host/xls/RecordStream.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <vector>

namespace tabulon::xls {

// Font, MS-XLS 2.4.122
struct FontDef {
    QString name = QStringLiteral("ＭＳ Ｐゴシック");
    double points = 11;
    bool bold = false, italic = false, strike = false;
    int underline = 0;       // 0 none, 1 single, 2 double, 0x21/0x22 accounting
    int color = 0x7FFF;      // icv; 0x7FFF the window text colour
};

// One side of a cell border: a line style (MS-XLS 2.5.11 dgLeft ...) and its icv.
struct BorderLine {
    int style = 0;           // 0 none, 1 thin, 2 medium, 3 dashed, 4 dotted, 5 thick, 6 double, 7 hair, ...
    int color = 64;
};

// XF, MS-XLS 2.4.353 with CellXF 2.5.20
struct XfDef {
    int font = 0;
    int format = 0;
    int hAlign = 0;          // 0 general, 1 left, 2 centre, 3 right, 4 fill, 5 justify, 6 across selection, 7 distributed
    int vAlign = 2;          // 0 top, 1 centre, 2 bottom, 3 justify, 4 distributed
    bool wrap = false;
    bool shrink = false;
    int indent = 0;
    int rotation = 0;        // trot: 0-90 up, 91-180 down, 255 stacked
    BorderLine left, right, top, bottom, diagonal;
    bool diagonalDown = false, diagonalUp = false;
    int pattern = 0;         // fls: 0 none, 1 solid, 2.. patterns
    int patternColor = 64;   // icvFore
    int backColor = 65;      // icvBack
};

// A picture of the drawing group's BLIP store (MS-ODRAW 2.2.23). A DIB is
// kept as a whole .bmp file, so any image reader takes it.
struct Blip {
    enum Kind { Missing, Png, Jpeg, Bmp, Emf, Wmf, Other };
    Kind kind = Missing;
    QByteArray data;
};

// The workbook-wide part: read once per workbook from the globals.
struct BookFormats {
    std::vector<FontDef> fonts;          // by ifnt as stored (index 4 is skipped by the file format)
    std::map<int, QString> formatCodes;  // FORMAT records: ifmt -> code
    std::vector<XfDef> xfs;
    bool date1904 = false;
    std::vector<Blip> blips;             // by a shape's pib - 1

    const FontDef& font(int ifnt) const;
    const XfDef& xf(int ixfe) const;
    QString formatCode(int ifmt) const;  // a FORMAT record, else the built-in code
};

struct ColumnDef {
    int width256 = -1;       // in 1/256 of the "0" width; -1: the sheet default
    bool hidden = false;
    int xf = 15;
};

struct RowDef {
    int twips = -1;          // -1: the default height
    bool hidden = false;
};

// A cell's format, kept apart from the cell values: blank cells with
// borders or fills have one too.
struct CellXf {
    int32_t row = 0;
    uint16_t col = 0;
    uint16_t xf = 0;
};

struct PageSetupDef {
    int paperSize = 9;       // Setup iPaperSize: 9 A4
    bool landscape = false;
    int scale = 100;
    bool fitToPage = false;
    int fitWidth = 1, fitHeight = 1;
    bool downThenOver = true;  // page order: fLeftToRight clear
    int firstPageNumber = 1;   // iPageStart when fUsePage is set
    bool blackAndWhite = false;
    double left = 0.75, right = 0.75, top = 1.0, bottom = 1.0;  // inches
    double header = 0.5, footer = 0.5;
    bool hCenter = false, vCenter = false;
    QString headerText, footerText;
    std::vector<int> rowBreaks;   // a page starts at each of these rows (0-based)
    std::vector<int> colBreaks;
    bool gridlines = false;
    bool headings = false;
    int comments = 0;             // 0 not printed, 1 as displayed, 2 at the end of the sheet
};

// A drawing object where it sits on the sheet (OfficeArtClientAnchorSheet,
// MS-XLS 2.5.193): corner cells with offsets in 1/1024 of the column width
// and 1/256 of the row height.
struct ShapeAnchor {
    int kind = -1;  // the OBJ record's object type; -1 when no OBJ followed
    int objectId = 0;
    int col1 = 0, dx1 = 0, row1 = 0, dy1 = 0, col2 = 0, dx2 = 0, row2 = 0, dy2 = 0;
    int pib = 0;    // the picture in the BLIP store, 1-based; 0 none
};

struct SheetLayout {
    double defaultColumnChars = 8;  // DEFCOLWIDTH (characters, without padding)
    int standardWidth256 = -1;      // STANDARDWIDTH, when present
    int defaultRowTwips = 270;
    bool defaultRowsHidden = false;
    std::vector<ColumnDef> columns = std::vector<ColumnDef>(256);
    std::map<int, RowDef> rows;
    std::vector<Area> merges;
    std::vector<CellXf> cellXfs;    // sorted by row, then column
    PageSetupDef page;
    std::vector<ShapeAnchor> shapes;  // top-level drawing objects in drawing order
    std::vector<int> shownNotes;      // object ids of the comments kept in view
    bool showZeros = true;
    int cellXf(int row, int col) const;  // the cell's XF, else its row/column's, else 15
};

// An icv (MS-XLS 2.5.161) through the workbook's palette as 0xRRGGBB.
unsigned icvRgb(int icv, const WorkbookModel& book);

// Reads the workbook-wide formats from the globals substream of stream.
BookFormats readBookFormats(const QByteArray& stream);
// Reads the sheet substream that starts at bofOffset. biff is the workbook's
// format (WorkbookModel::biff: a sheet's own BOF is not always right about
// it); codePage decodes the byte strings of an Excel 5.0/95 sheet.
SheetLayout readSheetLayout(const QByteArray& stream, uint32_t bofOffset, int codePage = 1252, int biff = 8);

// Record parsers (one per record type), shared with the tests.
void parseFont(const Record& rec, BookFormats& f);
FontDef readFontFields(ByteCursor& c);  // a FONT record's fields before the name
void parseFormat(const Record& rec, BookFormats& f);
void parseXf(const Record& rec, BookFormats& f);
// Their Excel 5.0/95 forms (Biff5Layout.cpp); the layout parser answers
// false for a record read the BIFF8 way.
void parseFont5(const Record& rec, BookFormats& f, int codePage);
void parseFormat5(const Record& rec, BookFormats& f, int codePage);
void parseXf5(const Record& rec, BookFormats& f);
bool parseBiff5LayoutRecord(const Record& rec, SheetLayout& s, int codePage);
void parseColInfo(const Record& rec, SheetLayout& s);
void parseRow(const Record& rec, SheetLayout& s);
void parseMergeCells(const Record& rec, SheetLayout& s);
void parseCellXf(const Record& rec, SheetLayout& s);
void parsePageRecord(const Record& rec, SheetLayout& s);
// MsoDrawing (2.4.174) and Obj (2.4.181): the anchors of the drawing objects.
void parseShapeAnchors(const Record& rec, SheetLayout& s);
void parseShapeKind(const Record& rec, SheetLayout& s);
// The BLIP store of the joined MsoDrawingGroup records' OfficeArt data.
std::vector<Blip> parseBlipStore(const QByteArray& art);

}  // namespace tabulon::xls
