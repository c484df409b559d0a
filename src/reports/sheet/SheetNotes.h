#pragma once
// The list of comments that prints after a sheet's pages when its page setup
// puts comments at the end of the sheet: each comment's cell and its text,
// one under the other, in the sheet's row order. Coordinates are twips from
// the top-left corner of the printable area.
#include "reports/sheet/SheetPages.h"

#include <QFont>
#include <QString>
#include <vector>

class QPainter;

namespace tabulon::reports::sheet {

struct NoteEntry {
    QString cell;  // "A1"
    QString text;
};

std::vector<NoteEntry> noteEntries(const model::Sheet& sheet);

// The entries that go on each page of the given size; an entry taller than
// a page gets a page of its own.
std::vector<Span> notePages(const std::vector<NoteEntry>& entries, const QFont& font, double width, double height);
void paintNotePage(QPainter& p, const std::vector<NoteEntry>& entries, Span page, const QFont& font, double width);

}  // namespace tabulon::reports::sheet
