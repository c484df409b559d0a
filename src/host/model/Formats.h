#pragma once
// The workbook's cell formats: fonts, number formats, alignment, borders and
// fills, each colour already resolved, and the pictures its drawings show.
// The codes follow the spreadsheet's own numbering, which both file formats
// share (an Office Open XML reader maps "center", "thin", "solid" onto them).
#include "host/model/Color.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace tabulon::model {

struct Font {
    QString name = QStringLiteral("ＭＳ Ｐゴシック");
    double points = 11;
    bool bold = false, italic = false, strike = false;
    int underline = 0;       // 0 none, 1 single, 2 double, 0x21/0x22 accounting
    Color color;             // automatic: the window text colour
};

// One side of a cell border.
struct BorderLine {
    int style = 0;           // 0 none, 1 thin, 2 medium, 3 dashed, 4 dotted, 5 thick, 6 double, 7 hair,
                             // 8 medium dashed, 9 dash dot, 10 medium dash dot, 11 dash dot dot,
                             // 12 medium dash dot dot, 13 slanted dash dot
    Color color;             // automatic: the window text colour
};

struct CellFormat {
    int font = 0;            // index into Formats::fonts
    QString numberFormat = QStringLiteral("General");
    int hAlign = 0;          // 0 general, 1 left, 2 centre, 3 right, 4 fill, 5 justify, 6 across selection, 7 distributed
    int vAlign = 2;          // 0 top, 1 centre, 2 bottom, 3 justify, 4 distributed
    bool wrap = false;
    bool shrink = false;
    int indent = 0;
    int rotation = 0;        // 0-90 degrees up, 91-180 down (90 + degrees), 255 stacked
    BorderLine left, right, top, bottom, diagonal;
    bool diagonalDown = false, diagonalUp = false;
    int pattern = 0;         // 0 none, 1 solid, 2-18 the spreadsheet's fill patterns
    Color patternColor;      // automatic: the window text colour
    Color backColor;         // automatic: the window colour
};

// A picture the drawings show. A device-independent bitmap is kept as a
// whole .bmp file, so any image reader takes it; a metafile as its plain
// file, inflated (a Windows metafile with a placeable header).
struct Picture {
    enum Kind { Missing, Png, Jpeg, Bmp, Emf, Wmf, Pict, Other };
    Kind kind = Missing;
    QByteArray data;
};

struct Formats {
    std::vector<Font> fonts;
    std::vector<CellFormat> cellFormats;
    int defaultFormat = 0;   // the cell format of a cell, row or column that names none
    bool date1904 = false;   // dates count from 1904-01-01 instead of 1900-01-00

    // The font by number; the first font for an unknown one.
    const Font& font(int index) const;
    // The cell format by number; the default one for an unknown one (-1 included).
    const CellFormat& cellFormat(int index) const;
};

}  // namespace tabulon::model
