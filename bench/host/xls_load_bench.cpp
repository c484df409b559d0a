// Loads a workbook, walks every cell of every used range (value, formula
// text, note text, as the detailed inventory does) and prints the time taken
// and the peak resident memory.
#include "host/Error.h"
#include "host/Workbook.h"

#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_xls_load FILE.xls\n");
        return 2;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        const auto book = tabulon::host::Workbook::load(QString::fromLocal8Bit(argv[1]));
        const qint64 loadMs = timer.elapsed();
        qint64 cells = 0, formulas = 0, nonEmpty = 0;
        for (int i = 1; i <= book.sheetCount(); ++i) {
            book.sheet(i).usedRange().forEach([&](const tabulon::host::Cell& c) {
                ++cells;
                if (c.formula().startsWith(QLatin1Char('='))) ++formulas;
                if (!c.isEmpty() || !c.noteText().isEmpty()) ++nonEmpty;
                return true;
            });
        }
        const qint64 totalMs = timer.elapsed();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("load_ms=%lld walk_ms=%lld cells=%lld nonempty=%lld formulas=%lld peak_rss_mb=%.1f\n",
                    loadMs, totalMs - loadMs, cells, nonEmpty, formulas, usage.ru_maxrss / 1024.0);
        return 0;
    } catch (const tabulon::Error& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
