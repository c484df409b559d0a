// The bare reader over many workbooks: reads paths from standard input, one a
// line, loads each with host::Workbook::load in this one process (nothing
// counted, no VBA, no database) and prints how many it loaded, how many the
// reader refused, the seconds and the files per second.
#include "common/Error.h"
#include "host/Workbook.h"

#include <QElapsedTimer>
#include <cstdio>
#include <iostream>
#include <string>

int main() {
    long loaded = 0, refused = 0;
    QElapsedTimer timer;
    timer.start();
    for (std::string line; std::getline(std::cin, line);) {
        try {
            const tabulon::host::Workbook book = tabulon::host::Workbook::load(QString::fromStdString(line), {});
            loaded += book.sheetCount() >= 0;
        } catch (const tabulon::Error&) {
            ++refused;
        }
    }
    const double s = timer.nsecsElapsed() / 1e9;
    std::printf("bare loaded=%ld refused=%ld seconds=%.3f files_per_s=%.1f\n", loaded, refused, s,
                (loaded + refused) / (s > 0 ? s : 1e-9));
    return 0;
}
