#include "host/model/Layout.h"

#include <algorithm>

namespace tabulon::model {

const ColumnFormat& SheetLayout::column(int col) const {
    static const ColumnFormat standard;
    return col >= 0 && size_t(col) < columns.size() ? columns[size_t(col)] : standard;
}

int SheetLayout::cellFormat(int row, int col) const {
    const auto it = std::lower_bound(cellFormats.begin(), cellFormats.end(), std::make_pair(row, col),
                                     [](const CellFormatAt& a, const std::pair<int, int>& k) {
                                         return a.row != k.first ? a.row < k.first : a.col < k.second;
                                     });
    if (it != cellFormats.end() && it->row == row && it->col == col) return it->format;
    return column(col).format;
}

}  // namespace tabulon::model
