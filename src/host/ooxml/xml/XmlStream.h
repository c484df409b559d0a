#pragma once
// Streaming XML over libxml2's SAX2 push parser: the handler sees each
// element's local name, namespace and attributes as they are parsed, and
// never a tree. Parts of a package are fed in the pieces the zip inflates,
// so a sheet of any size is parsed in a few kilobytes of parser memory.
//
// Hostile input is refused rather than obeyed: any document type declaration
// (and so every entity of one, the billion laughs among them) stops the
// parse, no external resource is ever loaded, and nesting deeper than
// libxml2's limit of 256 is an error.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace tabulon::ooxml {

class Package;
class ZipArchive;
struct ZipEntry;

struct XmlAttribute {
    std::string_view local;
    std::string_view uri;
    std::string_view value;  // as parsed: character and predefined entity references replaced
};

class XmlElement {
public:
    XmlElement(std::string_view local, std::string_view uri, const XmlAttribute* attrs, int count)
        : local_(local), uri_(uri), attrs_(attrs), count_(count) {}
    std::string_view local() const { return local_; }
    std::string_view uri() const { return uri_; }
    bool is(std::string_view local) const { return local_ == local; }
    // The attribute of that local name without a namespace; empty when absent.
    std::string_view attr(std::string_view local) const;
    bool has(std::string_view local) const;
    // An attribute in the relationships namespace ("r:id", "r:embed").
    std::string_view relAttr(std::string_view local) const;
    // The attribute of that local name in any namespace.
    std::string_view anyAttr(std::string_view local) const;
    QString text(std::string_view local) const;  // attr() as a QString
    // Integer and boolean attributes; `otherwise` when absent or unreadable.
    long long integer(std::string_view local, long long otherwise = 0) const;
    static long long integerOf(std::string_view value, long long otherwise = 0);  // integer() of a value
    double number(std::string_view local, double otherwise = 0) const;
    bool flag(std::string_view local, bool otherwise = false) const;  // "1"/"true" and "0"/"false"
    int count() const { return count_; }
    const XmlAttribute& attribute(int i) const { return attrs_[i]; }

private:
    std::string_view local_, uri_;
    const XmlAttribute* attrs_;
    int count_;
};

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void start(const XmlElement& element) = 0;
    virtual void end(std::string_view local) { (void)local; }
    virtual void text(std::string_view chars) { (void)chars; }
};

class XmlParser {
public:
    // `recover` lets the parser step over markup that is not well-formed,
    // as legacy VML drawings sometimes hold.
    XmlParser(XmlHandler& handler, const QString& partName, bool recover = false);
    ~XmlParser();
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    // Parses what `pull` gives (up to `capacity` bytes each call, 0 at the
    // end) to the end. Throws Error 1004 "XML part ...: reason (line n)" at
    // the first fatal error; what pull throws comes through as it is.
    // With `scanned` ("sheetData", "sst"), the content of the root or the
    // root's child element of that name is read by a ContentScanner as far
    // as it takes it, the handler seeing the same events.
    void parse(const std::function<size_t(char* buffer, size_t capacity)>& pull, std::string_view scanned = {});
    // The bytes the scanner read in place of libxml2.
    uint64_t scannedBytes() const;

    struct State;

private:
    std::unique_ptr<State> d;
};

// A whole part through handler; its size is limited to maxBytes. `scanned`
// as for XmlParser::parse().
void parsePart(const ZipArchive& zip, const ZipEntry& entry, XmlHandler& handler, uint64_t maxBytes,
               bool recover = false, std::string_view scanned = {});
void parsePart(const Package& package, const QString& part, XmlHandler& handler, uint64_t maxBytes,
               bool recover = false, std::string_view scanned = {});
// XML held in memory.
void parseXml(const QByteArray& xml, const QString& name, XmlHandler& handler, bool recover = false,
              std::string_view scanned = {});

// UTF-8 text of the parser as a QString.
inline QString qstr(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace tabulon::ooxml
