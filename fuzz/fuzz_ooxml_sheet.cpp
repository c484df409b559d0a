// The worksheet parser on arbitrary XML: cells, formulas (shared, array,
// data table), the layout elements and the settling of the used range, with
// the cells read by the scanner as the loader reads them. The same input is
// also read with libxml2 alone: the handler must see the same events and an
// error either way or neither (see same()), else the input is a finding.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace tabulon;

// Every event as a string, text joined however it was cut into pieces.
class Record : public ooxml::XmlHandler {
public:
    std::vector<std::string> seen;
    bool inText = false;
    void start(const ooxml::XmlElement& e) override {
        std::string s = "<" + std::string(e.local()) + "{" + std::string(e.uri()) + "}";
        for (int i = 0; i < e.count(); ++i) {
            const ooxml::XmlAttribute& a = e.attribute(i);
            s.append(" ").append(a.local).append("{").append(a.uri).append("}=").append(a.value);
        }
        seen.push_back(std::move(s));
        inText = false;
    }
    void end(std::string_view local) override {
        seen.push_back("</" + std::string(local));
        inText = false;
    }
    void text(std::string_view t) override {
        if (!inText) seen.emplace_back("#");
        seen.back().append(t);
        inText = true;
    }
};

struct Events {
    std::vector<std::string> seen;
    bool failed = false;
};

Events eventsOf(const QByteArray& xml, std::string_view scanned) {
    Record r;
    bool failed = false;
    try {
        ooxml::parseXml(xml, QStringLiteral("sheet.xml"), r, false, scanned);
    } catch (const Error&) {
        failed = true;
    }
    return {std::move(r.seen), failed};
}

// The same events, and an error either way or neither. Before an error,
// libxml2 alone gives more or less of the text it was reading depending on
// how its input was cut: there, the events but the last text must agree as
// far as the shorter list goes.
bool same(Events a, Events b) {
    if (a.failed != b.failed) return false;
    if (!a.failed) return a.seen == b.seen;
    for (Events* e : {&a, &b})
        if (!e->seen.empty() && e->seen.back().front() == '#') e->seen.pop_back();
    const size_t n = std::min(a.seen.size(), b.seen.size());
    return std::equal(a.seen.begin(), a.seen.begin() + ptrdiff_t(n), b.seen.begin());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<ooxml::ExternalBook> books = {{QStringLiteral("C:\\b.xlsx"), {}, {}}};
    const QByteArray xml = fuzz::bytesOf(data, size);
    ooxml::SheetContext ctx;
    ctx.sharedStringCount = [] { return size_t(10); };
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
    // "-", no element's name: pushed into libxml2 as the scanning reader does, nothing scanned.
    if (!same(eventsOf(xml, "sheetData"), eventsOf(xml, "-"))) abort();
    return 0;
}
