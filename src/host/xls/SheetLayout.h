#pragma once
// The records that say what a workbook looks like on paper: the formats and
// fonts of the globals, and of each sheet its column widths, row heights,
// merged areas, each cell's format and its page setup. The globals' records
// are gathered into Globals and resolved once the palette is known; a
// sheet's go straight into its model layout as the sheet is read.
#include "host/model/Book.h"
#include "host/xls/Globals.h"
#include "host/xls/RecordStream.h"

namespace tabulon::xls {

// FONT, FORMAT, XF, DATEMODE and MSODRAWINGGROUP of the globals into g;
// false for a record of any other type. A damaged FONT or XF keeps its
// place with the default look, so that later numbers stay right.
bool parseFormatRecord(const Record& rec, Globals& g);
// The formats as the model keeps them, colours through the palette.
model::Formats resolveFormats(const Globals& g);

// Record parsers (one per record type), shared with the tests.
FontDef readFontFields(ByteCursor& c);  // a FONT record's fields before the name
void parseFont(const Record& rec, Globals& g);
void parseFormat(const Record& rec, Globals& g);
void parseXf(const Record& rec, Globals& g);
// Their Excel 5.0/95 forms (Biff5Layout.cpp), byte strings in g.codePage.
void parseFont5(const Record& rec, Globals& g);
void parseFormat5(const Record& rec, Globals& g);
void parseXf5(const Record& rec, Globals& g);

// One record of a sheet substream into its layout: geometry and page setup
// (a cell's format comes with its cell record). False for a record that says
// nothing about the layout. biff5 reads the Excel 5.0/95 forms, whose byte
// strings are in codePage. A damaged record leaves the defaults it stood for.
bool parseLayoutRecord(const Record& rec, model::SheetLayout& layout, bool biff5, int codePage);
// Sorts the cell formats; a cell written twice keeps its last record.
void finishCellFormats(model::SheetLayout& layout);

void parseColInfo(const Record& rec, model::SheetLayout& s);
void parseRow(const Record& rec, model::SheetLayout& s);
void parseMergeCells(const Record& rec, model::SheetLayout& s);
// A cell's format; cells outside the sheet have none.
void addCellFormat(model::SheetLayout& s, int row, int col, int xf);
bool parsePageRecord(const Record& rec, model::PageSetup& page);
bool parseBiff5PageRecord(const Record& rec, model::PageSetup& page, int codePage);

// The pictures of the BLIP store in the joined MsoDrawingGroup records'
// OfficeArt data, in the order shapes number them.
std::vector<model::Picture> parseBlipStore(const QByteArray& art);

}  // namespace tabulon::xls
