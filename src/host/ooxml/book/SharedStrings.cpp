#include "host/ooxml/book/SharedStrings.h"

#include "common/Error.h"
#include "host/ooxml/book/Styles.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxSharedStringsBytes = 1024u << 20;

class SstReader : public XmlHandler {
public:
    SharedStrings& out;
    RichTextReader item;
    bool inItem = false;
    SstReader(SharedStrings& o, model::Formats& f, const ColorResolver& c) : out(o), item(f, c) {}
    void start(const XmlElement& e) override {
        if (e.is("si")) { inItem = true; return; }
        if (inItem) item.start(e);
    }
    void end(std::string_view local) override {
        if (local == "si") {
            model::TextRuns runs;
            out.items.push_back(item.take(&runs));
            if (!runs.empty()) out.runs[uint32_t(out.items.size() - 1)] = std::move(runs);
            inItem = false;
            return;
        }
        if (inItem) item.end(local);
    }
    void text(std::string_view t) override {
        if (inItem) item.text(t);
    }
};

}  // namespace

QString unescapeXmlChars(QString text) {
    if (!text.contains(QStringLiteral("_x"))) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

void RichTextReader::start(const XmlElement& e) {
    const std::string_view n = e.local();
    if (n == "rPh") inPhonetic_ = true;
    else if (n == "t") inT_ = !inPhonetic_;
    else if (n == "r") {
        rich_ = true;
        runHasProps_ = false;
        runStart_ = text_.size();
        font_ = formats_.fonts.empty() ? model::Font() : formats_.fonts.front();
    }
    else if (n == "rPr") inRunProps_ = true;
    else if (inRunProps_) applyFontProperty(e, font_, colors_);
}

void RichTextReader::end(std::string_view local) {
    if (local == "rPh") inPhonetic_ = false;
    else if (local == "t") inT_ = false;
    else if (local == "r" && !runHasProps_ && !runs_.empty() && runStart_ <= 0xFFFF) {
        // A plain run after formatted ones goes back to the first font.
        runs_.push_back({uint16_t(runStart_), 0});
    } else if (local == "rPr") {
        inRunProps_ = false;
        runHasProps_ = true;
        if (text_.size() <= 0xFFFF) runs_.push_back({uint16_t(text_.size()), uint16_t(fontIndex(formats_, font_))});
    }
}

void RichTextReader::text(std::string_view chars) {
    if (inT_) text_ += qstr(chars);
}

QString RichTextReader::take(model::TextRuns* runs) {
    QString t = unescapeXmlChars(std::move(text_));
    if (runs && rich_) *runs = std::move(runs_);
    text_.clear();
    runs_.clear();
    rich_ = false;
    return t;
}

SharedStrings readSharedStrings(const Package& package, const QString& workbookPart, model::Formats& formats,
                                const ColorResolver& colors) {
    SharedStrings out;
    const Relationship* rel = package.relationship(workbookPart, u"sharedStrings");
    if (!rel || rel->part.isEmpty()) return out;
    SstReader r(out, formats, colors);
    try {
        parsePart(package, rel->part, r, kMaxSharedStringsBytes, false, "sst");
    } catch (const Error& e) {
        package.warn(QStringLiteral("shared strings read as far as %1 items: %2").arg(out.items.size()).arg(e.description()));
    }
    return out;
}

}  // namespace tabulon::ooxml
