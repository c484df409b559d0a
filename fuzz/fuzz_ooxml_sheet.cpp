// The worksheet parser on arbitrary XML: cells, formulas (shared, array,
// data table), the layout elements and the settling of the used range, with
// the cells read by the scanner as the loader reads them. The same input is
// also read with libxml2 alone: the handler must see the same events and an
// error either way or neither, else the input is a finding.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

#include <cstdlib>

namespace {

using namespace tabulon;

// Every event into one string, text joined however it was cut into pieces.
class Record : public ooxml::XmlHandler {
public:
    std::string seen;
    bool inText = false;
    void start(const ooxml::XmlElement& e) override {
        seen.append("\x01").append(e.local()).append("\x02").append(e.uri());
        for (int i = 0; i < e.count(); ++i) {
            const ooxml::XmlAttribute& a = e.attribute(i);
            seen.append("\x03").append(a.local).append("\x02").append(a.uri).append("\x02").append(a.value);
        }
        inText = false;
    }
    void end(std::string_view local) override {
        seen.append("\x04").append(local);
        inText = false;
    }
    void text(std::string_view t) override {
        if (!inText) seen += '\x05';
        seen.append(t);
        inText = true;
    }
};

std::string eventsOf(const QByteArray& xml, std::string_view scanned) {
    Record r;
    try {
        ooxml::parseXml(xml, QStringLiteral("sheet.xml"), r, false, scanned);
    } catch (const Error&) {
        r.seen.append("\x06");  // the reason may differ: libxml2's depends on how its input was cut
    }
    return r.seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<ooxml::ExternalBook> books = {{QStringLiteral("C:\\b.xlsx"), {}, {}}};
    const QByteArray xml = fuzz::bytesOf(data, size);
    ooxml::SheetContext ctx;
    ctx.sharedStringCount = 10;
    ctx.books = &books;
    model::Sheet sheet;
    ooxml::SheetRefs refs;
    QStringList warnings;
    ooxml::WorksheetParser parser(ctx, sheet, refs, warnings);
    try {
        ooxml::parseXml(xml, QStringLiteral("sheet.xml"), parser.handler(), false, "sheetData");
    } catch (const Error&) {
    }
    parser.finish();
    for (const model::CellData& cell : sheet.cells) (void)model::cellFormula(sheet, cell).size();
    // "none": pushed into libxml2 as the scanning reader does, nothing scanned.
    if (eventsOf(xml, "sheetData") != eventsOf(xml, "none")) abort();
    return 0;
}
