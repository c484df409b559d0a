#include "host/ooxml/xml/XmlStream.h"

#include "common/Error.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/package/ZipArchive.h"
#include "host/ooxml/xml/ContentScanner.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <mutex>
#include <optional>
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

// Attribute names are short and mostly differ in their first letter.
bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || (a[0] == b[0] && a == b));
}

}  // namespace

std::string_view XmlElement::attr(std::string_view local) const {
    for (int i = 0; i < count_; ++i)
        if (sameName(attrs_[i].local, local) && attrs_[i].uri.empty()) return attrs_[i].value;
    return {};
}

bool XmlElement::has(std::string_view local) const {
    for (int i = 0; i < count_; ++i)
        if (sameName(attrs_[i].local, local) && attrs_[i].uri.empty()) return true;
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
    return integerOf(attr(local), otherwise);
}

long long XmlElement::integerOf(std::string_view v, long long otherwise) {
    if (v.empty()) return otherwise;
    if (v.size() <= 9 && std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        long long n = 0;  // the common case, as the slower reading below gives it
        for (const char c : v) n = n * 10 + (c - '0');
        return n;
    }
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
    // The element whose content the scanner reads: the prefixes declared
    // around it (by depth) and the event count at its start while it is
    // libxml2's last event.
    std::string_view scanned;
    std::vector<std::pair<int, XmlNamespace>> prefixes;
    size_t events = 0, scannedOpenAt = SIZE_MAX;
    std::string scannedUri;
    uint64_t scannedBytes = 0;

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

void onStart(void* user, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri, int nbNamespaces,
             const xmlChar** namespaces, int nbAttributes, int, const xmlChar** attributes) {
    State& s = *static_cast<State*>(user);
    if (++s.depth > kMaxDepth) return s.refuse(QStringLiteral("elements nested deeper than %1").arg(kMaxDepth));
    ++s.events;
    if (!s.scanned.empty()) {
        for (int i = 0; i < nbNamespaces; ++i)
            if (namespaces[2 * i]) s.prefixes.push_back({s.depth, {std::string(view(namespaces[2 * i])), std::string(view(namespaces[2 * i + 1]))}});
        if (s.depth <= 2 && !prefix && view(localname) == s.scanned) {
            s.scannedOpenAt = s.events;
            s.scannedUri = view(uri);
        }
    }
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
    ++s.events;
    while (!s.prefixes.empty() && s.prefixes.back().first >= s.depth) s.prefixes.pop_back();
    --s.depth;
    s.guarded([&] { s.handler.end(view(localname)); });
}

void onText(void* user, const xmlChar* chars, int len) {
    State& s = *static_cast<State*>(user);
    ++s.events;
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

uint64_t XmlParser::scannedBytes() const { return d->scannedBytes; }

namespace {

using Pull = std::function<size_t(char*, size_t)>;

int optionsOf(const State& s) {
    return XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_HUGE | (s.recover ? XML_PARSE_RECOVER : 0);
}

// The parser context of a parse, freed whichever way the parse ends.
struct Context {
    State& s;
    ~Context() {
        xmlFreeParserCtxt(s.ctx);
        s.ctx = nullptr;
    }
};

// Both parse to the end and answer whether the XML was well-formed.
bool pullParse(State& s, const Pull& pull) {
    struct Source {
        const Pull& pull;
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
    const Context hold{s};
    xmlCtxtUseOptions(s.ctx, optionsOf(s));
    xmlParseDocument(s.ctx);
    return s.ctx->wellFormed != 0;
}

// Pieces read at a time, and the most bytes held back for the scanner: a
// longer child element (a row of very long texts) is left to libxml2.
constexpr size_t kPiece = 64 * 1024;
constexpr size_t kMaxHeld = size_t(16) << 20;
constexpr size_t kNotATag = std::string::npos - 1;

// Where the start tag whose name ends at i ends (its '>'): npos when the
// bytes end first, kNotATag when no start tag of that name stands there.
size_t tagEnd(const std::string& bytes, size_t i) {
    if (i == bytes.size()) return std::string::npos;
    if (!std::strchr(" \t\r\n/>", bytes[i])) return kNotATag;
    for (char quote = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quote) quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'') quote = c;
        else if (c == '>') return i;
        else if (c == '<') return kNotATag;
    }
    return std::string::npos;
}

// Pushes the part into libxml2 piece by piece, but for the content of the
// scanned element: found by its start tag in the bytes, and confirmed by
// libxml2 having just reported that tag, its last event, with all it was
// given read, in UTF-8 (no encoder). From there the scanner reads whole
// child elements; where it stops, libxml2 reads on, its line count moved
// on by the line breaks it did not see.
bool pushParse(State& s, const Pull& pull) {
    s.ctx = xmlCreatePushParserCtxt(&s.sax, &s, nullptr, 0, nullptr);
    if (!s.ctx) throw std::bad_alloc();
    const Context hold{s};
    xmlCtxtUseOptions(s.ctx, optionsOf(s));
    std::string bytes;
    size_t at = 0;  // bytes before this are read
    bool atEnd = false;
    // Reads on behind what is held; at least as much as is held, so that
    // a child element the scanner takes again is not scanned again and again.
    auto more = [&] {
        if (atEnd) return false;
        bytes.erase(0, at);
        at = 0;
        const size_t held = bytes.size(), want = std::max(kPiece, held);
        bytes.resize(held + want);
        const size_t n = pull(bytes.data() + held, want);
        bytes.resize(held + n);
        atEnd = n == 0;
        return !atEnd;
    };
    auto push = [&](size_t upTo) {
        if (upTo > at) xmlParseChunk(s.ctx, bytes.data() + at, int(upTo - at), 0);
        at = std::max(at, upTo);
    };
    auto going = [&] {
        return !s.thrown && s.refusal.isEmpty() && s.ctx->instate != XML_PARSER_EOF && !s.ctx->disableSAX;
    };
    auto scannable = [&] {
        const xmlParserInputPtr in = s.ctx->input;
        return s.scannedOpenAt == s.events && s.ctx->wellFormed && in && in->cur == in->end && !(in->buf && in->buf->encoder);
    };
    const std::string tag = '<' + std::string(s.scanned);
    enum class Mode { Seeking, Scanning, Plain } mode = Mode::Seeking;
    std::optional<ContentScanner> scanner;
    size_t from = 0, lines = 0;
    while (bytes.size() < 4 && more()) {
    }
    // Bytes in another encoding than UTF-8 go to libxml2 in even pieces:
    // the scanner would not read them, and libxml2's conversion answers
    // differently for differently cut input.
    if (bytes.size() < 4) mode = Mode::Plain;
    else if (const xmlCharEncoding e = xmlDetectCharEncoding(reinterpret_cast<const xmlChar*>(bytes.data()), 4);
             e != XML_CHAR_ENCODING_NONE && e != XML_CHAR_ENCODING_UTF8)
        mode = Mode::Plain;
    while (going()) {
        if (mode == Mode::Plain) {
            push(bytes.size());
            if (!more()) break;
        } else if (mode == Mode::Seeking) {
            const size_t hit = bytes.find(tag, std::max(from, at));
            const size_t end = hit == std::string::npos ? std::string::npos : tagEnd(bytes, hit + tag.size());
            if (end == kNotATag) {
                from = hit + 1;
            } else if (end == std::string::npos) {
                // The tag may begin in the bytes still to come.
                push(hit != std::string::npos ? hit : std::max(at, bytes.size() - std::min(bytes.size(), tag.size())));
                if (bytes.size() - at > kMaxHeld || !more()) mode = Mode::Plain;
            } else {
                push(end + 1);
                from = end + 1;
                if (bytes[end - 1] != '/' && going() && scannable()) {
                    std::vector<XmlNamespace> prefixes;
                    for (const auto& [depth, ns] : s.prefixes) prefixes.push_back(ns);
                    scanner.emplace(s.handler, s.scannedUri, std::move(prefixes), kMaxDepth - s.depth);
                    mode = Mode::Scanning;
                }
            }
        } else {
            const ContentScanner::Result r = scanner->scan(std::string_view(bytes).substr(at));
            at += r.used;
            s.scannedBytes += r.used;
            s.ctx->input->line += int(scanner->lines() - lines);
            lines = scanner->lines();
            if (r.stop != ContentScanner::Stop::More || bytes.size() - at > kMaxHeld || !more()) mode = Mode::Plain;
        }
    }
    push(bytes.size());
    xmlParseChunk(s.ctx, nullptr, 0, 1);
    return s.ctx->wellFormed != 0;
}

}  // namespace

void XmlParser::parse(const Pull& pull, std::string_view scanned) {
    State& s = *d;
    s.scanned = scanned;
    const bool wellFormed = scanned.empty() ? pullParse(s, pull) : pushParse(s, pull);
    if (s.thrown) std::rethrow_exception(s.thrown);
    if (!s.refusal.isEmpty()) throw Error(err::Refused, QStringLiteral("XML part %1: %2").arg(s.name, s.refusal));
    if (!wellFormed && !s.recover)
        throw Error(err::Refused, QStringLiteral("XML part %1: %2 (line %3)")
                                      .arg(s.name, s.firstError.isEmpty() ? QStringLiteral("malformed XML") : s.firstError)
                                      .arg(s.errorLine));
}

void parsePart(const ZipArchive& zip, const ZipEntry& entry, XmlHandler& handler, uint64_t maxBytes, bool recover,
               std::string_view scanned) {
    ZipArchive::PartReader reader(zip, entry, maxBytes);
    XmlParser(handler, entry.name, recover).parse([&](char* buffer, size_t capacity) { return reader.read(buffer, capacity); },
                                                  scanned);
}

void parsePart(const Package& package, const QString& part, XmlHandler& handler, uint64_t maxBytes, bool recover,
               std::string_view scanned) {
    package.read(part, maxBytes, [&](ZipArchive::PartReader& reader) {
        XmlParser(handler, part, recover).parse([&](char* buffer, size_t capacity) { return reader.read(buffer, capacity); },
                                                scanned);
    });
}

void parseXml(const QByteArray& xml, const QString& name, XmlHandler& handler, bool recover, std::string_view scanned) {
    qsizetype at = 0;
    XmlParser(handler, name, recover).parse([&](char* buffer, size_t capacity) {
        const size_t n = std::min(capacity, size_t(xml.size() - at));
        std::memcpy(buffer, xml.constData() + at, n);
        at += qsizetype(n);
        return n;
    }, scanned);
}

}  // namespace tabulon::ooxml
