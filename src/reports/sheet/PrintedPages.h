#pragma once
// Which pages of a sheet's plan actually print. The spreadsheet leaves out a
// page on which nothing shows: no cell value, no fill or border, no drawing
// object. The pages that remain are numbered without the gaps.
#include "reports/sheet/SheetPages.h"

#include <vector>

namespace tabulon::reports::sheet {

// The indices (as SheetPlan::page takes them) of the pages with content, in
// page order. A sheet with nothing on any page still prints its first page,
// so that every sheet has a print image. A comment box counts only when it
// prints (kept in view, and the page setup prints comments as displayed).
std::vector<int> printedPages(const SheetPlan& plan, const model::Sheet& sheet, const model::Formats& formats);

// Whether the drawing object prints with the cells: one that has an anchor,
// a comment only when it is kept in view and the page setup prints comments
// as displayed.
bool printsWithCells(const model::SheetLayout& layout, const model::Shape& shape);

}  // namespace tabulon::reports::sheet
