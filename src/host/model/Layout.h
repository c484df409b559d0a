#pragma once
// What a sheet looks like on paper: column widths, row heights, merged
// areas, each cell's format and the page setup.
#include "host/model/Cells.h"

#include <QString>
#include <cstdint>
#include <map>
#include <vector>

namespace tabulon::model {

struct ColumnFormat {
    int width256 = -1;       // in 1/256 of the width of "0" in the default font, padding included; -1: the default
    bool hidden = false;
    int format = -1;         // its cell format; -1: the workbook's default
};

struct RowFormat {
    int twips = -1;          // -1: the default height
    bool hidden = false;
};

// A cell's format, kept apart from the values: blank cells with borders or
// fills have one too.
struct CellFormatAt {
    int32_t row = 0;
    uint16_t col = 0;
    uint16_t format = 0;
};

struct PageSetup {
    int paperSize = 9;       // the spreadsheet's paper numbers: 9 A4, 8 A3, 1 Letter, ...
    bool landscape = false;
    int scale = 100;         // print zoom, 10 to 400
    bool fitToPage = false;
    int fitWidth = 1, fitHeight = 1;
    bool downThenOver = true;  // page order
    int firstPageNumber = 1;
    bool blackAndWhite = false;
    double left = 0.75, right = 0.75, top = 1.0, bottom = 1.0;  // margins, inches
    double header = 0.5, footer = 0.5;
    bool hCenter = false, vCenter = false;
    QString headerText, footerText;  // "&L...&C...&R..." as the spreadsheet stores them
    std::vector<int> rowBreaks;   // a page starts at each of these rows (0-based), sorted
    std::vector<int> colBreaks;
    bool gridlines = false;
    bool headings = false;
    int comments = 0;             // 0 not printed, 1 as displayed, 2 at the end of the sheet
};

struct SheetLayout {
    double defaultColumnChars = 8;  // the default width in characters of "0", without padding
    int standardWidth256 = -1;      // the default width as ColumnFormat::width256, when given
    int defaultRowTwips = 270;
    bool defaultRowsHidden = false;
    std::vector<ColumnFormat> columns;  // by column; the ones past the end have the defaults
    std::map<int, RowFormat> rows;
    std::vector<Area> merges;
    std::vector<CellFormatAt> cellFormats;  // sorted by row, then column
    PageSetup page;
    bool showZeros = true;

    const ColumnFormat& column(int col) const;
    // The cell's format, else its column's; -1 for the workbook's default.
    int cellFormat(int row, int col) const;
};

}  // namespace tabulon::model
