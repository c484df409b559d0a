// The worksheet parser on arbitrary XML: cells, formulas (shared, array,
// data table), the layout elements and the settling of the used range.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tabulon;
    static const std::vector<ooxml::ExternalBook> books = {{QStringLiteral("C:\\b.xlsx"), {}, {}}};
    ooxml::SheetContext ctx;
    ctx.sharedStringCount = 10;
    ctx.books = &books;
    model::Sheet sheet;
    ooxml::SheetRefs refs;
    QStringList warnings;
    ooxml::WorksheetParser parser(ctx, sheet, refs, warnings);
    try {
        ooxml::parseXml(fuzz::bytesOf(data, size), QStringLiteral("sheet.xml"), parser.handler());
    } catch (const Error&) {
    }
    parser.finish();
    for (const model::CellData& cell : sheet.cells) (void)model::cellFormula(sheet, cell).size();
    return 0;
}
