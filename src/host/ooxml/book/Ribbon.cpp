#include "host/ooxml/book/Ribbon.h"

#include "common/Error.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxRibbonBytes = 16u << 20;

class RibbonReader : public XmlHandler {
public:
    std::vector<model::RibbonAction>& out;
    explicit RibbonReader(std::vector<model::RibbonAction>& o) : out(o) {}
    void start(const XmlElement& e) override {
        const QString action = e.text("onAction");
        if (action.isEmpty()) return;
        for (const model::RibbonAction& a : out)
            if (a.macro == action && a.control == e.text("id")) return;
        out.push_back({e.text("id"), e.text("label"), action});
    }
};

}  // namespace

std::vector<model::RibbonAction> readRibbonActions(const Package& package, QStringList& warnings) {
    std::vector<model::RibbonAction> out;
    for (const Relationship& r : package.relationships(QString())) {
        if (r.kind() != u"extensibility" || r.external || !package.hasPart(r.part)) continue;
        RibbonReader reader(out);
        try {
            parsePart(package, r.part, reader, kMaxRibbonBytes);
        } catch (const Error& e) {
            warnings << e.description();
        }
    }
    return out;
}

}  // namespace tabulon::ooxml
