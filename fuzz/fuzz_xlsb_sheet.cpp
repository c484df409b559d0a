// A binary workbook's sheet part on arbitrary bytes: the record framing,
// every cell and layout record, and the formula tokens in their wider
// form (shared and array bodies, data tables, names, 3-D references).
#include "FuzzSupport.h"
#include "host/ooxml/binary/BinarySheet.h"
#include "host/xls/BookContext.h"
#include "host/xls/Globals.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tabulon;
    // A workbook of two sheets, a name and a linked book, as formulas see it.
    static const xls::Globals globals = [] {
        xls::Globals g;
        g.biff = 12;
        g.codePage = 1200;
        g.boundSheetNames = {QStringLiteral("S"), QStringLiteral("T")};
        g.supBooks.push_back({});
        g.supBooks.push_back({xls::SupBookKind::External, QStringLiteral("C:\\b.xlsx"), {QStringLiteral("P")}, {}});
        g.xti = {{0, 0, 0}, {0, 1, 1}, {1, 0, 0}};
        xls::NameModel n;
        n.name = QStringLiteral("Rate");
        n.rgce = {0x3A, 0, 0, 0, 0, 0, 0, 0, 0};  // T!$A$1
        g.names.push_back(n);
        return g;
    }();
    static const xls::BookContext formulas(globals);
    ooxml::BinarySheetContext ctx;
    ctx.sharedStringCount = 10;
    ctx.formulas = &formulas;
    model::Sheet sheet;
    sheet.name = QStringLiteral("S");
    ooxml::SheetRefs refs;
    QStringList warnings;
    ooxml::readBinarySheet(fuzz::bytesOf(data, size), QStringLiteral("sheet1.bin"), ctx, sheet, refs, warnings);
    for (const model::CellData& cell : sheet.cells) (void)model::cellFormula(sheet, cell).size();
    return 0;
}
