#include "reports/sheet/SheetNotes.h"

#include "host/model/Notation.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tabulon::reports::sheet {

namespace {

QString entryText(const NoteEntry& e) {
    return QStringLiteral("セル: %1\nコメント: %2").arg(e.cell, e.text);
}

constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere;

// The entry's height with the blank line that follows it.
double entryHeight(const QFontMetricsF& fm, const NoteEntry& e, double width) {
    return fm.boundingRect(QRectF(0, 0, width, 1e9), kFlags, entryText(e)).height() + fm.lineSpacing();
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
    const QFontMetricsF fm(font);
    for (const NoteEntry& e : entries) sizes.push_back(entryHeight(fm, e, width));
    return splitSpans(0, sizes, height, {});
}

void paintNotePage(QPainter& p, const std::vector<NoteEntry>& entries, Span page, const QFont& font, double width) {
    p.save();
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetricsF fm(font);
    double y = 0;
    for (int i = page.first; i <= page.last && i < int(entries.size()); ++i) {
        const NoteEntry& e = entries[size_t(i)];
        const double h = entryHeight(fm, e, width);
        p.drawText(QRectF(0, y, width, h), kFlags, entryText(e));
        y += h;
    }
    p.restore();
}

}  // namespace tabulon::reports::sheet
