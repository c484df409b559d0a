#include "host/ooxml/book/WorkbookPart.h"

#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxWorkbookBytes = 256u << 20;

class WorkbookReader : public XmlHandler {
public:
    WorkbookInfo& info;
    explicit WorkbookReader(WorkbookInfo& i) : info(i) {}
    DefinedName* name = nullptr;

    void start(const XmlElement& e) override {
        if (e.is("sheet")) {
            SheetEntry s;
            s.name = e.text("name");
            s.relId = qstr(e.relAttr("id"));
            const std::string_view state = e.attr("state");
            s.visibility = state == "hidden" ? 1 : state == "veryHidden" ? 2 : 0;
            info.sheets.push_back(s);
        } else if (e.is("definedName")) {
            DefinedName n;
            n.name = e.text("name");
            n.localSheet = int(e.integer("localSheetId", -1));
            n.hidden = e.flag("hidden");
            n.vbProcedure = e.flag("vbProcedure");
            info.names.push_back(n);
            name = &info.names.back();
        } else if (e.is("workbookPr")) {
            info.date1904 = e.flag("date1904");
            info.codeName = e.text("codeName");
        } else if (e.is("externalReference")) {
            info.externalRefs << qstr(e.relAttr("id"));
        }
    }
    void end(std::string_view local) override {
        if (local == "definedName") name = nullptr;
    }
    void text(std::string_view t) override {
        if (name) name->formula += qstr(t);
    }
};

}  // namespace

WorkbookInfo readWorkbookPart(const Package& package, const QString& part) {
    WorkbookInfo info;
    WorkbookReader r(info);
    parsePart(package, part, r, kMaxWorkbookBytes);
    return info;
}

}  // namespace tabulon::ooxml
