#pragma once
// Sheets, ranges and cells of a loaded workbook, in the terms the analyses
// use: the used range enumerated row by row, each cell's value, formula text,
// absolute address and note text.
#include "host/format/NumberFormat.h"
#include "host/model/Book.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace tabulon::host {

using SheetKind = model::SheetKind;

// The spreadsheet's Visible values.
constexpr int SheetVisible = -1;
constexpr int SheetHidden = 0;
constexpr int SheetVeryHidden = 2;

class Cell {
public:
    // text and formula are the cell's text value and formula text, where it
    // has them (model::cellText, model::cellFormula).
    Cell(const model::CellData* data, int row, int col, const QString* note, const QString* text = nullptr,
         const QString* formula = nullptr)
        : data_(data), row_(row), col_(col), note_(note), text_(text), formula_(formula) {}
    int row() const { return row_ + 1; }     // 1-based
    int column() const { return col_ + 1; }
    // Empty QVariant for an empty cell; double, QString or bool; an error
    // value comes back as its text ("#DIV/0!") with isError() true.
    QVariant value() const;
    bool isError() const;
    bool isEmpty() const;                    // the value is the empty text
    // "=..." for a formula; else the constant as text: numbers as the
    // spreadsheet writes them, TRUE/FALSE, "#N/A"; empty for an empty cell.
    QString formula() const;
    // formula() begins with "=": a formula, or a text typed with a leading
    // "=". Answered without writing constants as text.
    bool beginsWithEquals() const;
    QString address() const;                 // "$B$12"
    QString noteText() const;                // empty when the cell has no comment

private:
    const model::CellData* data_;
    int row_, col_;
    const QString* note_;
    const QString* text_;
    const QString* formula_;
};

class Range {
public:
    Range(std::shared_ptr<const model::Book> book, const model::Sheet* sheet, model::Area area)
        : book_(std::move(book)), sheet_(sheet), area_(area) {}
    QString address() const;                 // "$A$1:$D$20", "$A$1" for one cell
    int rowCount() const { return area_.lastRow - area_.firstRow + 1; }
    int columnCount() const { return area_.lastCol - area_.firstCol + 1; }
    qint64 count() const { return qint64(rowCount()) * columnCount(); }
    // The i-th cell (0-based) in the spreadsheet's order: row by row, left to
    // right, empty cells included.
    Cell cell(qint64 index) const;
    // Every cell, in the same order; visit returns false to stop.
    template <class F>
    void forEach(F&& visit) const;

private:
    Cell make(const model::CellData* data, int row, int col) const;
    std::shared_ptr<const model::Book> book_;
    const model::Sheet* sheet_;
    model::Area area_;
};

struct PageSetup {
    QString printTitleRows;      // "$1:$2"
    QString printTitleColumns;   // "$A:$B"
    QString printArea;           // "$A$1:$D$20"
    bool printHeadings = false;
    QVariant zoom;               // percentage, or false when fitted to pages
};

class Sheet {
public:
    Sheet(std::shared_ptr<const model::Book> book, int index)
        : book_(std::move(book)), index_(index) {}
    int index() const { return index_ + 1; }
    QString name() const { return model().name; }
    SheetKind kind() const { return model().kind; }
    int visible() const;                     // SheetVisible / SheetHidden / SheetVeryHidden
    Range usedRange() const { return Range(book_, &model(), model().used); }
    bool protectContents() const { return model().protectContents; }
    bool hasPassword() const { return model().hasPassword; }
    // The shape collection in the spreadsheet's order, comments included.
    const std::vector<model::Shape>& shapes() const { return model().shapes; }
    // The character text of shape index (0-based) as selecting the shape and
    // reading the selection's text gives it. A kind without text (picture,
    // line, chart, list box, ...) throws Error 438, the error value the
    // inventory skips; an index out of range throws Error 1004.
    QString shapeText(size_t index) const;
    PageSetup pageSetup() const;
    // What the cell shows: its value through its number format.
    format::Display display(const Cell& cell) const;

    const model::Sheet& model() const { return book_->sheets[size_t(index_)]; }

private:
    std::shared_ptr<const model::Book> book_;
    int index_;
};

inline Cell Range::make(const model::CellData* data, int row, int col) const {
    const QString* note = nullptr;
    if (!sheet_->notes.empty()) {
        const auto it = sheet_->notes.find({row, col});
        if (it != sheet_->notes.end()) note = &it->second.text;
    }
    if (!data) return Cell(nullptr, row, col, note);
    return Cell(data, row, col, note, &model::cellText(*book_, *sheet_, *data), &model::cellFormula(*sheet_, *data));
}

// The stored cells are sorted as the range is enumerated: one pass over
// them alongside the positions.
template <class F>
void Range::forEach(F&& visit) const {
    const std::vector<model::CellData>& cells = sheet_->cells;
    const model::CellData* p = cells.data();
    const model::CellData* const end = p + cells.size();
    for (int r = area_.firstRow; r <= area_.lastRow; ++r)
        for (int c = area_.firstCol; c <= area_.lastCol; ++c) {
            while (p != end && (p->row < r || (p->row == r && p->col < c))) ++p;
            if (!visit(make(p != end && p->row == r && p->col == c ? p : nullptr, r, c))) return;
        }
}

}  // namespace tabulon::host
