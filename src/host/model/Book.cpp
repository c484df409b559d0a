#include "host/model/Book.h"

#include <algorithm>

namespace tabulon::model {

const CellData* findCell(const Sheet& sheet, int row, int col) {
    const auto it = std::lower_bound(sheet.cells.begin(), sheet.cells.end(), std::make_pair(row, col),
                                     [](const CellData& c, const std::pair<int, int>& k) {
                                         return c.row != k.first ? c.row < k.first : c.col < k.second;
                                     });
    return it != sheet.cells.end() && it->row == row && it->col == col ? &*it : nullptr;
}

}  // namespace tabulon::model
