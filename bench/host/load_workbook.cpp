// Times a full load of a workbook and a walk over every cell of every used
// range, reading each cell's value and formula text the way the cell
// analyses do, then prints the counts, the seconds and the peak resident
// memory. The counts let the benchmark script check that what was read is
// what was written; the first formula texts of the first sheet's column E
// are printed in the form make_large_workbook prints them.
#include "common/Error.h"
#include "host/Workbook.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <sys/resource.h>

using tabulon::host::Cell;
using tabulon::host::Workbook;

namespace {

struct Counts {
    long long cells = 0, formulas = 0, texts = 0, numbers = 0, other = 0;
    qint64 textUnits = 0;  // keeps the walk from being optimised away
};

void count(const Cell& cell, Counts& n) {
    const QVariant value = cell.value();
    const QString formula = cell.formula();
    n.textUnits += formula.size();
    if (!value.isValid() && formula.isEmpty()) return;  // empty cell of the used range
    ++n.cells;
    if (formula.startsWith(QLatin1Char('=')))
        ++n.formulas;
    else if (value.typeId() == QMetaType::Double)
        ++n.numbers;
    else if (value.typeId() == QMetaType::QString)
        ++n.texts, n.textUnits += value.toString().size();
    else
        ++n.other;
}

void printFirstFormulas(const Workbook& book) {
    if (book.sheetCount() == 0) return;
    const auto sheet = book.sheet(1);
    const auto range = sheet.usedRange();
    int shown = 0;
    range.forEach([&](const Cell& cell) {
        if (cell.column() == 5 && cell.formula().startsWith(QLatin1Char('='))) {
            std::printf("formula %s!E%d %s\n", qPrintable(sheet.name()), cell.row(), qPrintable(cell.formula()));
            ++shown;
        }
        return shown < 10;
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_workbook FILE.xls\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    try {
        QElapsedTimer timer;
        timer.start();
        const Workbook book = Workbook::load(path);
        const double loadS = timer.nsecsElapsed() / 1e9;
        Counts n;
        for (int i = 1; i <= book.sheetCount(); ++i)
            book.sheet(i).usedRange().forEach([&](const Cell& cell) {
                count(cell, n);
                return true;
            });
        const double totalS = timer.nsecsElapsed() / 1e9;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        printFirstFormulas(book);
        std::printf("loaded sheets=%d cells=%lld formulas=%lld texts=%lld numbers=%lld other=%lld warnings=%lld\n",
                    book.sheetCount(), n.cells, n.formulas, n.texts, n.numbers, n.other,
                    static_cast<long long>(book.warnings().size()));
        std::printf("timing load_s=%.3f walk_s=%.3f total_s=%.3f peak_rss_mb=%.1f file_mb=%.1f text_units=%lld\n",
                    loadS, totalS - loadS, totalS, usage.ru_maxrss / 1024.0,
                    QFileInfo(path).size() / (1024.0 * 1024.0), static_cast<long long>(n.textUnits));
        return 0;
    } catch (const tabulon::Error& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
