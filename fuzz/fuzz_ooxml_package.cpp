// The Office Open XML reader on arbitrary packages: the zip container, the
// relationships, every workbook part and the drawings. The parts together
// may inflate to 64 MB, so that a crafted deflate stream costs time, not a
// timeout.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/ooxml/OoxmlLoader.h"
#include "host/ooxml/package/ZipArchive.h"

#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tabulon;
    try {
        ooxml::ZipArchive zip(ooxml::PackageBytes::of(fuzz::bytesOf(data, size)), QStringLiteral("input.xlsx"));
        zip.limitInflation(64u << 20);
        const model::Book book = ooxml::loadPackage(std::move(zip));
        for (const model::Sheet& sheet : book.sheets)
            for (const model::CellData& cell : sheet.cells) (void)model::cellText(book, sheet, cell).size();
    } catch (const Error&) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
