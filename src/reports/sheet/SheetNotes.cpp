#include "reports/sheet/SheetNotes.h"

#include "host/model/Notation.h"
#include "reports/sheet/SheetText.h"

#include <QPainter>

namespace tabulon::reports::sheet {

namespace {

QString entryText(const NoteEntry& e) {
    return QStringLiteral("セル: %1\nコメント: %2").arg(e.cell, e.text);
}

// The entry's height with the blank line that follows it.
double entryHeight(const SheetFont& font, const NoteEntry& e, double width) {
    return TextBlock(entryText(e), font, width).height() + font.lineHeight();
}

}  // namespace

std::vector<NoteEntry> noteEntries(const model::Sheet& sheet) {
    std::vector<NoteEntry> out;
    for (const auto& [at, note] : sheet.notes)  // keyed by (row, column)
        out.push_back({model::a1Column(at.second) + QString::number(at.first + 1), note.text});
    return out;
}

std::vector<Span> notePages(const std::vector<NoteEntry>& entries, const QFont& font, double width, double height) {
    std::vector<double> sizes;
    const SheetFont face(font);
    for (const NoteEntry& e : entries) sizes.push_back(entryHeight(face, e, width));
    return splitSpans(0, sizes, height, {});
}

void paintNotePage(QPainter& p, const std::vector<NoteEntry>& entries, Span page, const QFont& font, double width) {
    p.save();
    p.setPen(Qt::black);
    const SheetFont face(font);
    double y = 0;
    for (int i = page.first; i <= page.last && i < int(entries.size()); ++i) {
        const NoteEntry& e = entries[size_t(i)];
        const TextBlock block(entryText(e), face, width);
        block.draw(p, QRectF(0, y, width, 0), Qt::AlignLeft | Qt::AlignTop);
        y += block.height() + face.lineHeight();
    }
    p.restore();
}

}  // namespace tabulon::reports::sheet
