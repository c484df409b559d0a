#include "host/ooxml/xml/XmlStream.h"

#include "common/Error.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/package/ZipArchive.h"

#include <cstring>
#include <exception>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <mutex>
#include <vector>

namespace tabulon::ooxml {

namespace {

// No part of a workbook nests nearly this deep; a part that does is made to
// exhaust the stack of whoever follows it.
constexpr int kMaxDepth = 256;

constexpr std::string_view kRelationshipsNs = "/officeDocument/2006/relationships";
constexpr std::string_view kStrictRelationshipsNs = "http://purl.oclc.org/ooxml/officeDocument/relationships";

std::string_view view(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

bool isRelationshipsNs(std::string_view uri) {
    return uri.ends_with(kRelationshipsNs) || uri == kStrictRelationshipsNs;
}

}  // namespace

std::string_view XmlElement::attr(std::string_view local) const {
    for (int i = 0; i < count_; ++i)
        if (attrs_[i].local == local && attrs_[i].uri.empty()) return attrs_[i].value;
    return {};
}

bool XmlElement::has(std::string_view local) const {
    for (int i = 0; i < count_; ++i)
        if (attrs_[i].local == local && attrs_[i].uri.empty()) return true;
    return false;
}

std::string_view XmlElement::relAttr(std::string_view local) const {
    for (int i = 0; i < count_; ++i)
        if (attrs_[i].local == local && isRelationshipsNs(attrs_[i].uri)) return attrs_[i].value;
    return {};
}

std::string_view XmlElement::anyAttr(std::string_view local) const {
    for (int i = 0; i < count_; ++i)
        if (attrs_[i].local == local) return attrs_[i].value;
    return {};
}

QString XmlElement::text(std::string_view local) const { return qstr(attr(local)); }

long long XmlElement::integer(std::string_view local, long long otherwise) const {
    const std::string_view v = attr(local);
    if (v.empty()) return otherwise;
    bool ok = false;
    const long long n = QByteArray::fromRawData(v.data(), qsizetype(v.size())).trimmed().toLongLong(&ok);
    return ok ? n : otherwise;
}

double XmlElement::number(std::string_view local, double otherwise) const {
    const std::string_view v = attr(local);
    if (v.empty()) return otherwise;
    bool ok = false;
    const double n = QByteArray::fromRawData(v.data(), qsizetype(v.size())).trimmed().toDouble(&ok);
    return ok ? n : otherwise;
}

bool XmlElement::flag(std::string_view local, bool otherwise) const {
    const std::string_view v = attr(local);
    if (v == "1" || v == "true" || v == "on" || v == "t") return true;
    if (v == "0" || v == "false" || v == "off" || v == "f") return false;
    return otherwise;
}

struct XmlParser::State {
    XmlHandler& handler;
    QString name;
    bool recover = false;
    xmlSAXHandler sax;
    xmlParserCtxtPtr ctx = nullptr;
    std::vector<XmlAttribute> attrs;
    int depth = 0;
    QString refusal;            // why the parse was stopped by us
    QString firstError;         // the parser's first error message
    int errorLine = 0;
    std::exception_ptr thrown;  // a handler's exception, carried across the C frames

    State(XmlHandler& h, QString n, bool r) : handler(h), name(std::move(n)), recover(r) {}

    void stop() {
        if (ctx) xmlStopParser(ctx);
    }
    void refuse(const QString& why) {
        if (refusal.isEmpty()) refusal = why;
        stop();
    }
    // Runs a handler call; an exception stops the parse and is rethrown
    // once libxml2 has returned.
    template <class F>
    void guarded(F&& f) {
        if (thrown || !refusal.isEmpty()) return;
        try {
            f();
        } catch (...) {
            thrown = std::current_exception();
            stop();
        }
    }
};

namespace {

using State = XmlParser::State;

void onStart(void* user, const xmlChar* localname, const xmlChar*, const xmlChar* uri, int, const xmlChar**,
             int nbAttributes, int, const xmlChar** attributes) {
    State& s = *static_cast<State*>(user);
    if (++s.depth > kMaxDepth) return s.refuse(QStringLiteral("elements nested deeper than %1").arg(kMaxDepth));
    s.guarded([&] {
        s.attrs.resize(size_t(nbAttributes));
        for (int i = 0; i < nbAttributes; ++i) {
            const xmlChar* const* a = attributes + 5 * i;
            s.attrs[size_t(i)] = XmlAttribute{view(a[0]), view(a[2]),
                                              std::string_view(reinterpret_cast<const char*>(a[3]), size_t(a[4] - a[3]))};
        }
        s.handler.start(XmlElement(view(localname), view(uri), s.attrs.data(), nbAttributes));
    });
}

void onEnd(void* user, const xmlChar* localname, const xmlChar*, const xmlChar*) {
    State& s = *static_cast<State*>(user);
    --s.depth;
    s.guarded([&] { s.handler.end(view(localname)); });
}

void onText(void* user, const xmlChar* chars, int len) {
    State& s = *static_cast<State*>(user);
    s.guarded([&] { s.handler.text(std::string_view(reinterpret_cast<const char*>(chars), size_t(len))); });
}

void onDoctype(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
    static_cast<State*>(user)->refuse(QStringLiteral("document type declarations are not allowed"));
}

void onEntity(void* user, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    static_cast<State*>(user)->refuse(QStringLiteral("entity declarations are not allowed"));
}

void onError(void* user, xmlErrorPtr error) {
    State& s = *static_cast<State*>(user);
    if (!error || error->level < XML_ERR_ERROR || !s.firstError.isEmpty()) return;
    s.firstError = QString::fromUtf8(error->message ? error->message : "malformed XML").trimmed();
    s.errorLine = error->line;
}

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace

XmlParser::XmlParser(XmlHandler& handler, const QString& partName, bool recover)
    : d(std::make_unique<State>(handler, partName, recover)) {
    initialiseOnce();
    std::memset(&d->sax, 0, sizeof d->sax);
    d->sax.initialized = XML_SAX2_MAGIC;
    d->sax.startElementNs = onStart;
    d->sax.endElementNs = onEnd;
    d->sax.characters = onText;
    d->sax.cdataBlock = onText;
    d->sax.ignorableWhitespace = onText;
    d->sax.internalSubset = onDoctype;
    d->sax.externalSubset = onDoctype;
    d->sax.entityDecl = onEntity;
    d->sax.serror = onError;
}

XmlParser::~XmlParser() = default;

void XmlParser::parse(const std::function<size_t(char*, size_t)>& pull) {
    State& s = *d;
    struct Source {
        const std::function<size_t(char*, size_t)>& pull;
        State& state;
    } source{pull, s};
    // The parser pulls its input through this callback as it goes; a
    // failure of the source is carried across libxml2 like a handler's.
    auto read = [](void* context, char* buffer, int len) -> int {
        Source& src = *static_cast<Source*>(context);
        try {
            // libxml2 wants what it asks for at the start (the whole XML
            // declaration): a source giving less is asked again.
            size_t got = 0;
            while (got < size_t(len)) {
                const size_t n = src.pull(buffer + got, size_t(len) - got);
                if (n == 0) break;
                got += n;
            }
            return int(got);
        } catch (...) {
            src.state.thrown = std::current_exception();
            return -1;
        }
    };
    s.ctx = xmlCreateIOParserCtxt(&s.sax, &s, read, nullptr, &source, XML_CHAR_ENCODING_NONE);
    if (!s.ctx) throw std::bad_alloc();
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> hold(s.ctx, xmlFreeParserCtxt);
    int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_HUGE;
    if (s.recover) options |= XML_PARSE_RECOVER;
    xmlCtxtUseOptions(s.ctx, options);
    xmlParseDocument(s.ctx);
    const bool wellFormed = s.ctx->wellFormed != 0;
    s.ctx = nullptr;
    if (s.thrown) std::rethrow_exception(s.thrown);
    if (!s.refusal.isEmpty()) throw Error(err::Refused, QStringLiteral("XML part %1: %2").arg(s.name, s.refusal));
    if (!wellFormed && !s.recover)
        throw Error(err::Refused, QStringLiteral("XML part %1: %2 (line %3)")
                                      .arg(s.name, s.firstError.isEmpty() ? QStringLiteral("malformed XML") : s.firstError)
                                      .arg(s.errorLine));
}

void parsePart(const ZipArchive& zip, const ZipEntry& entry, XmlHandler& handler, uint64_t maxBytes, bool recover) {
    ZipArchive::PartReader reader(zip, entry, maxBytes);
    XmlParser(handler, entry.name, recover).parse([&](char* buffer, size_t capacity) { return reader.read(buffer, capacity); });
}

void parsePart(const Package& package, const QString& part, XmlHandler& handler, uint64_t maxBytes, bool recover) {
    package.read(part, maxBytes, [&](ZipArchive::PartReader& reader) {
        XmlParser(handler, part, recover).parse([&](char* buffer, size_t capacity) { return reader.read(buffer, capacity); });
    });
}

void parseXml(const QByteArray& xml, const QString& name, XmlHandler& handler, bool recover) {
    qsizetype at = 0;
    XmlParser(handler, name, recover).parse([&](char* buffer, size_t capacity) {
        const size_t n = std::min(capacity, size_t(xml.size() - at));
        std::memcpy(buffer, xml.constData() + at, n);
        at += qsizetype(n);
        return n;
    });
}

}  // namespace tabulon::ooxml
