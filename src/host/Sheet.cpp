#include "host/Sheet.h"

#include "common/Error.h"
#include "host/CellDisplay.h"
#include "host/NameRanges.h"
#include "host/ReadFailure.h"
#include "host/model/Notation.h"
#include "host/model/NumberText.h"

#include <algorithm>
#include <cmath>

namespace tabulon::host {

using model::CellType;

namespace {

// An unknown error code shows as #N/A, the spreadsheet's catch-all.
QString errorText(int code) {
    const QString text = model::errorValueText(code);
    return text.isEmpty() ? QStringLiteral("#N/A") : text;
}

// Whole numbers below 10,000 are the most common constants of all: their
// texts are built once, at compile time, and every cell that shows one
// refers to it instead of allocating its own.
constexpr int kSmallIntegers = 10000;
struct SmallIntegerTexts {
    char16_t text[kSmallIntegers][4] = {};
    unsigned char length[kSmallIntegers] = {};
};

constexpr SmallIntegerTexts makeSmallIntegerTexts() {
    SmallIntegerTexts t;
    for (int v = 0; v < kSmallIntegers; ++v)
        t.length[v] = static_cast<unsigned char>(model::putDigits(t.text[v], uint64_t(v)));
    return t;
}

constexpr SmallIntegerTexts kSmallIntegerTexts = makeSmallIntegerTexts();

QString integerText(qint64 v) {
    if (v >= 0 && v < kSmallIntegers)
        return QString::fromRawData(reinterpret_cast<const QChar*>(kSmallIntegerTexts.text[v]),
                                    kSmallIntegerTexts.length[v]);
    char16_t text[21];
    const int sign = v < 0 ? 1 : 0;
    text[0] = u'-';
    const int n = sign + model::putDigits(text + sign, v < 0 ? 0 - quint64(v) : quint64(v));
    return QString(reinterpret_cast<const QChar*>(text), n);
}

bool before(const model::CellData& a, int row, int col) { return a.row < row || (a.row == row && a.col < col); }

}  // namespace

QVariant Cell::value() const {
    if (!data_) return QVariant();
    switch (data_->type) {
    case CellType::Number: return data_->number;
    case CellType::Text: return text_ ? *text_ : QString();
    case CellType::Boolean: return data_->number != 0;
    case CellType::Error: return errorText(int(data_->number));
    default: return QVariant();
    }
}

bool Cell::isError() const { return data_ && data_->type == CellType::Error; }

bool Cell::isEmpty() const {
    return !data_ || data_->type == CellType::Empty || (data_->type == CellType::Text && (!text_ || text_->isEmpty()));
}

QString Cell::formula() const {
    if (!data_) return QString();
    if (formula_ && !formula_->isEmpty()) return *formula_;
    switch (data_->type) {
    case CellType::Number: {
        // Whole numbers below 10^15 read the same under the 15-digit rule;
        // they are most cells, so they skip the general formatting.
        const double v = data_->number;
        if (v == std::trunc(v) && std::fabs(v) < 1e15 && !(v == 0 && std::signbit(v)))
            return integerText(qint64(v));
        return model::numberText(v);
    }
    case CellType::Text: return text_ ? *text_ : QString();
    case CellType::Boolean: return data_->number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellType::Error: return errorText(int(data_->number));
    default: return QString();
    }
}

bool Cell::beginsWithEquals() const {
    if (!data_) return false;
    if (formula_ && !formula_->isEmpty()) return formula_->startsWith(u'=');
    return data_->type == CellType::Text && text_ && text_->startsWith(u'=');
}

QString Cell::address() const { return model::cellAddress(row_, col_, true); }

QString Cell::noteText() const { return note_ ? *note_ : QString(); }

QString Range::address() const {
    const QString first = model::cellAddress(area_.firstRow, area_.firstCol, true);
    if (area_.firstRow == area_.lastRow && area_.firstCol == area_.lastCol) return first;
    return first + QLatin1Char(':') + model::cellAddress(area_.lastRow, area_.lastCol, true);
}

Cell Range::cell(qint64 index) const {
    const int cols = columnCount();
    const int row = area_.firstRow + int(index / cols);
    const int col = area_.firstCol + int(index % cols);
    const auto& cells = sheet_->cells;
    const auto it = std::lower_bound(cells.begin(), cells.end(), std::make_pair(row, col),
                                     [](const model::CellData& a, const std::pair<int, int>& k) {
                                         return before(a, k.first, k.second);
                                     });
    return make(it != cells.end() && it->row == row && it->col == col ? &*it : nullptr, row, col);
}

int Sheet::visible() const {
    switch (model().visibility) {
    case 0: return SheetVisible;
    case 2: return SheetVeryHidden;
    default: return SheetHidden;
    }
}

PageSetup Sheet::pageSetup() const {
    PageSetup ps;
    const model::PageSetup& page = model().layout.page;
    ps.printHeadings = page.headings;
    ps.zoom = page.fitToPage ? QVariant(false) : QVariant(page.scale);
    // Print area and titles live in the sheet's built-in names.
    for (const model::Name& n : book_->names) {
        if (!n.builtin || n.sheetIndex != index_ || !n.areas) continue;
        QStringList area, rows, cols;
        for (const model::Area& a : *n.areas) {
            area << areaAddress(a, *book_);
            if (isWholeRows(a, *book_)) rows << areaAddress(a, *book_);
            else if (isWholeColumns(a, *book_)) cols << areaAddress(a, *book_);
        }
        if (n.name == QLatin1String("Print_Area")) ps.printArea = area.join(QLatin1Char(','));
        if (n.name == QLatin1String("Print_Titles")) {
            ps.printTitleRows = rows.join(QLatin1Char(','));
            ps.printTitleColumns = cols.join(QLatin1Char(','));
        }
    }
    return ps;
}

format::Display Sheet::display(const Cell& cell) const {
    const model::Sheet& s = model();
    const model::CellFormat& format = book_->formats.cellFormat(s.layout.cellFormat(cell.row() - 1, cell.column() - 1));
    return cellDisplay(cell.value(), cell.isError(), format.numberFormat, book_->formats.date1904, s.layout.showZeros);
}

QString Sheet::shapeText(size_t index) const {
    const auto& shapes = model().shapes;
    if (index >= shapes.size())
        raiseHostError(err::Refused, QStringLiteral("sheet '%1' has no shape %2").arg(name()).arg(index + 1));
    const model::Shape& shape = shapes[index];
    if (!shape.hasText)
        raiseHostError(err::Unsupported, QStringLiteral("shape '%1' has no text").arg(shape.name));
    return shape.text;
}

}  // namespace tabulon::host
