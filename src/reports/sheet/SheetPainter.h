#pragma once
// Paints the cells of one printed page of a sheet: fills, gridlines, texts
// with their fonts and alignment (spilling into empty neighbours, "####" for
// numbers that do not fit), borders, and the row and column headings.
// Coordinates are twips (1/20 point) from the page's top-left corner.
#include "host/model/Book.h"
#include "reports/sheet/SheetPages.h"
#include "reports/sheet/SheetPictures.h"

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;

namespace tabulon::reports::sheet {

struct SheetContext {
    const model::Book& book;
    const model::Sheet& sheet;
    const model::SheetLayout& layout;
    const SheetPlan& plan;
    PictureCache& pictures;

    const model::CellFormat& format(int index) const { return book.formats.cellFormat(index); }
    const model::CellFormat& formatAt(int row, int col) const { return format(layout.cellFormat(row, col)); }
    const model::Font& font(int index) const { return book.formats.font(index); }
};

constexpr double kTwipsPerPoint = 20.0;

// The installed font that stands in for a font the workbook names: the
// Japanese business fonts map to Noto CJK, the Western ones to their metric
// twins.
QString substituteFamily(const QString& name);
QFont sheetFont(const model::Font& def);
// A colour of the model; the automatic colour gives `automatic` (0xRRGGBB).
QColor modelColor(model::Color color, unsigned automatic);

// The size of page rows x cols in twips, headings included.
QSizeF pageSizeTwips(const SheetContext& ctx, Span rows, Span cols);
void paintSheetPage(QPainter& p, const SheetContext& ctx, Span rows, Span cols);

// A number that does not fit its column: the General format shows fewer
// digits while they fit; any other format shows "#" across the cell.
// measure gives a text's width in the units of `room`.
template <class Measure>
QString fitNumber(double value, const QString& text, bool general, double room, Measure&& measure) {
    if (measure(text) <= room) return text;
    if (general) {
        for (int digits = 10; digits >= 1; --digits) {
            const QString shorter = QString::number(value, 'g', digits).replace(QStringLiteral("e+"), QStringLiteral("E+")).replace(QStringLiteral("e-"), QStringLiteral("E-"));
            if (measure(shorter) <= room) return shorter;
        }
    }
    const double hash = measure(QStringLiteral("#"));
    const int count = hash > 0 ? int(room / hash) : 0;
    return QString(qMax(count, 0), QLatin1Char('#'));
}

}  // namespace tabulon::reports::sheet
