// The workbook reader with the formula decoder on an arbitrary Workbook
// stream (records, shared strings, names, drawings, formulas of every sheet).
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/xls/Loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        (void)tabulon::xls::readWorkbookStream(tabulon::fuzz::bytesOf(data, size),
                                               QStringLiteral("/data/book/input.xls"));
    } catch (const tabulon::Error&) {
    }
    return 0;
}
