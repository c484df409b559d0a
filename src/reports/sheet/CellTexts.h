#pragma once
// The texts of the cells of one printed page: each value through its number
// format, in its font, colour and alignment, fitted to its cell (numbers
// that do not fit, shrinking, fill characters), spilling into empty
// neighbours, wrapped, turned or stacked, rich texts run by run.
#include "reports/sheet/PageGrid.h"

#include <vector>

class QPainter;

namespace tabulon::reports::sheet {

// merges: the merged areas that reach into the page; their first cell's
// text goes across the whole area.
void paintTexts(QPainter& p, const SheetContext& ctx, const PageGrid& g, const std::vector<model::Area>& merges);

}  // namespace tabulon::reports::sheet
