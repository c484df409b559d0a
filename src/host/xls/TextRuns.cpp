// The formatting runs of rich texts, shared by the SST and RSTRING records.
#include "host/xls/Readers.h"

#include <algorithm>

namespace tabulon::xls {

// FormatRun, MS-XLS 2.5.129: ich, ifnt
TextRuns readFormatRuns(ByteCursor& c, size_t count, qsizetype textLength) {
    count = std::min(count, c.remaining() / 4);  // a cut record keeps the runs it holds
    TextRuns runs;
    runs.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint16_t first = c.u16();
        const uint16_t font = c.u16();
        if (first >= textLength || (!runs.empty() && first <= runs.back().first)) continue;
        runs.push_back({first, uint16_t(fontIndex(font))});
    }
    return runs;
}

}  // namespace tabulon::xls
