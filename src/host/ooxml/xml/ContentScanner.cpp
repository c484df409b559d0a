#include "host/ooxml/xml/ContentScanner.h"

#include <algorithm>
#include <cstring>

namespace tabulon::ooxml {

namespace {

constexpr size_t kMaxName = 1000;       // longer names are left to libxml2
constexpr std::string_view kXmlNs = "http://www.w3.org/XML/1998/namespace";

// The classes of a byte, one table for the loops that step over bytes.
enum : unsigned char { NameStart = 1, NameChar = 2, Space = 4, PlainText = 8, PlainValue = 16 };
struct ByteClasses {
    unsigned char of[256] = {};
    constexpr ByteClasses() {
        for (int c = 0; c < 128; ++c) {
            const bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
            if (start) of[c] |= NameStart;
            if (start || (c >= '0' && c <= '9') || c == '-' || c == '.') of[c] |= NameChar;
            if (c == ' ' || c == '\n' || c == '\t') of[c] |= Space;
            // Text and attribute values that need no second look: printable
            // ASCII but for the markup characters (and the quotes in values).
            if (c >= 0x20 && c != '<' && c != '&' && c != '>') of[c] |= PlainText;
            if (c >= 0x20 && c != '<' && c != '&' && c != '"' && c != '\'') of[c] |= PlainValue;
        }
        of[int('\t')] |= PlainText;
        of[int('\n')] |= PlainText;
    }
    bool is(char c, unsigned char what) const { return of[static_cast<unsigned char>(c)] & what; }
};
constexpr ByteClasses kBytes;

const char* skip(const char* p, const char* end, unsigned char what) {
    while (p < end && kBytes.is(*p, what)) ++p;
    return p;
}

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6)), out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12)), out += char(0x80 | ((cp >> 6) & 0x3F)), out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18)), out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F)), out += char(0x80 | (cp & 0x3F));
    }
}

bool xmlChar(unsigned cp) {
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
           (cp >= 0x10000 && cp <= 0x10FFFF);
}

enum class Utf8 { Good, Cut, Bad };

// One UTF-8 sequence of a character XML allows (no surrogates, no U+FFFE
// or U+FFFF, nothing overlong) at p, which it steps over.
Utf8 character(const char*& p, const char* end) {
    const auto b = [&](ptrdiff_t i) { return static_cast<unsigned char>(p[i]); };
    const unsigned char c = b(0);
    int n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) n = 1;
    else if (c == 0xE0) n = 2, lo = 0xA0;
    else if (c == 0xED) n = 2, hi = 0x9F;
    else if (c >= 0xE1 && c <= 0xEF) n = 2;
    else if (c == 0xF0) n = 3, lo = 0x90;
    else if (c >= 0xF1 && c <= 0xF3) n = 3;
    else if (c == 0xF4) n = 3, hi = 0x8F;
    else return Utf8::Bad;
    if (end - p <= n) {
        // What is there must still be able to begin a good sequence.
        for (ptrdiff_t i = 1; i < end - p; ++i)
            if (b(i) < (i == 1 ? lo : 0x80) || b(i) > (i == 1 ? hi : 0xBF)) return Utf8::Bad;
        return Utf8::Cut;
    }
    if (b(1) < lo || b(1) > hi) return Utf8::Bad;
    for (int i = 2; i <= n; ++i)
        if (b(i) < 0x80 || b(i) > 0xBF) return Utf8::Bad;
    if (c == 0xEF && b(1) == 0xBF && b(2) >= 0xBE) return Utf8::Bad;  // U+FFFE, U+FFFF
    p += n + 1;
    return Utf8::Good;
}

}  // namespace

ContentScanner::ContentScanner(XmlHandler& handler, std::string uri, std::vector<XmlNamespace> prefixes, int maxDepth)
    : handler_(handler), prefixes_(std::move(prefixes)), maxDepth_(maxDepth) {
    uris_ = {std::string(), std::move(uri), std::string(kXmlNs)};
    for (const XmlNamespace& ns : prefixes_) uris_.push_back(ns.uri);
}

ContentScanner::Result ContentScanner::scan(std::string_view bytes) {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    base_ = begin;
    const char* p = begin;
    for (;;) {
        events_.clear(), attrs_.clear(), open_.clear(), decoded_.clear();
        cutOff_ = false;
        const char* q = p;
        bool whole = text(q, end);
        if (whole && end - q < 2) whole = cut();
        if (whole && q[1] == '/') return {size_t(p - begin), Stop::End};
        if (whole) whole = element(q, end);
        if (!whole) return {size_t(p - begin), cutOff_ ? Stop::More : Stop::Unplain};
        for (const char* n = p; (n = static_cast<const char*>(std::memchr(n, '\n', size_t(q - n)))); ++n) ++lines_;
        dispatch();
        p = q;
    }
}

bool ContentScanner::cut() {
    cutOff_ = true;
    return false;
}

bool ContentScanner::unplain() {
    cutOff_ = false;
    return false;
}

// One child element with everything in it, p at its '<'.
bool ContentScanner::element(const char*& p, const char* end) {
    if (!startTag(p, end)) return false;
    while (!open_.empty()) {
        if (p < end && *p != '<' && !text(p, end)) return false;
        if (end - p < 2) return cut();
        if (p[1] == '/') {
            if (!endTag(p, end)) return false;
        } else if (!startTag(p, end)) {
            return false;
        }
    }
    return true;
}

bool ContentScanner::startTag(const char*& p, const char* end) {
    if (!kBytes.is(p[1], NameStart)) return unplain();  // also "<!" and "<?"
    if (int(open_.size()) >= maxDepth_) return unplain();
    const char* n = p + 1;
    const char* q = skip(n, end, NameChar);
    if (q - n > ptrdiff_t(kMaxName)) return unplain();
    const Piece name{size_t(n - base_), size_t(q - n)};
    const size_t first = attrs_.size();
    bool empty = false;
    for (;;) {
        const char* before = q;
        q = skip(q, end, Space);
        if (q == end) return cut();
        if (*q == '>') {
            ++q;
            open_.push_back(name);
            break;
        }
        if (*q == '/') {
            if (q + 1 == end) return cut();
            if (q[1] != '>') return unplain();
            q += 2;
            empty = true;
            break;
        }
        if (q == before || !kBytes.is(*q, NameStart)) return unplain();  // ':' of a prefixed name too
        // An attribute: [prefix:]local = "value"
        const char* a = q;
        q = skip(q, end, NameChar);
        std::string_view prefix;
        if (q < end && *q == ':') {
            prefix = std::string_view(a, size_t(q - a));
            a = ++q;
            if (q < end && !kBytes.is(*q, NameStart)) return unplain();
            q = skip(q, end, NameChar);
        }
        const std::string_view local(a, size_t(q - a));
        q = skip(q, end, Space);
        if (q == end) return cut();
        if (*q != '=' || local.size() > kMaxName) return unplain();
        q = skip(q + 1, end, Space);
        if (q == end) return cut();
        Attr attr{{size_t(local.data() - base_), local.size()}, {}, 0};
        if (prefix.empty() ? local == "xmlns" : !uriOf(prefix, attr.uri)) return unplain();
        if (!attributeValue(q, end, attr.value)) return false;
        for (size_t i = first; i < attrs_.size(); ++i) {
            const Piece& other = attrs_[i].local;
            if (other.size == local.size() && base_[other.at] == local[0] && view(other) == local)
                return unplain();  // repeated: libxml2 says how
        }
        attrs_.push_back(attr);
    }
    events_.push_back({Kind::Start, name, first, attrs_.size() - first});
    if (empty) events_.push_back({Kind::End, name});
    p = q;
    return true;
}

bool ContentScanner::endTag(const char*& p, const char* end) {
    const std::string_view name = view(open_.back());
    const char* q = p + 2;
    if (size_t(end - q) <= name.size()) return cut();
    for (size_t i = 0; i < name.size(); ++i)  // names are short: no call to compare them
        if (q[i] != name[i]) return unplain();
    q = skip(q + name.size(), end, Space);
    if (q == end) return cut();
    if (*q != '>') return unplain();
    events_.push_back({Kind::End, open_.back()});
    open_.pop_back();
    p = q + 1;
    return true;
}

void ContentScanner::copy(Run& run, const char* upTo) {
    if (run.decodedAt == std::string::npos) run.decodedAt = decoded_.size();
    decoded_.append(run.copiedTo, upTo);
}

// A reference at p, replaced into decoded_ after what came before it.
bool ContentScanner::reference(Run& run, const char*& p, const char* end) {
    copy(run, p);
    if (!reference(p, end)) return false;
    run.copiedTo = p;
    return true;
}

// A character of more than one byte at p, stepped over when XML allows it.
bool ContentScanner::wideCharacter(const char*& p, const char* end) {
    const Utf8 u = character(p, end);
    return u == Utf8::Good || (u == Utf8::Cut ? cut() : unplain());
}

ContentScanner::Piece ContentScanner::copiedPiece(Run& run, const char* end) {
    decoded_.append(run.copiedTo, end);
    return {run.decodedAt, decoded_.size() - run.decodedAt, true};
}

// Character data up to the next '<': checked, references replaced.
bool ContentScanner::text(const char*& p, const char* end) {
    Run run{p, p};
    for (;;) {
        p = skip(p, end, PlainText);
        if (p == end) return cut();
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '<') break;
        if (c == '>') {
            if (p - run.start >= 2 && p[-1] == ']' && p[-2] == ']') return unplain();  // "]]>" is not allowed in text
            ++p;
        } else if (c == '&') {
            if (!reference(run, p, end)) return false;
        } else if (c >= 0x80) {
            if (!wideCharacter(p, end)) return false;
        } else {
            return unplain();  // a control character, a carriage return
        }
    }
    if (p != run.start) events_.push_back({Kind::Text, pieceOf(run, p)});
    return true;
}

// An attribute value from its opening quote, p after its closing one. As
// libxml2 does, a tab or line feed stands as a space; references are replaced.
bool ContentScanner::attributeValue(const char*& p, const char* end, Piece& value) {
    const char quote = *p;
    if (quote != '"' && quote != '\'') return unplain();
    ++p;
    Run run{p, p};
    for (;;) {
        p = skip(p, end, PlainValue);
        if (p == end) return cut();
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == static_cast<unsigned char>(quote)) break;
        if (c == '"' || c == '\'') {
            ++p;
        } else if (c == '\t' || c == '\n') {
            copy(run, p);
            decoded_ += ' ';
            run.copiedTo = ++p;
        } else if (c == '&') {
            if (!reference(run, p, end)) return false;
        } else if (c >= 0x80) {
            if (!wideCharacter(p, end)) return false;
        } else {
            return unplain();  // '<', a control character, a carriage return
        }
    }
    value = pieceOf(run, p);
    ++p;
    return true;
}

// "&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&#n;" or "&#xh;" at p,
// replaced into decoded_; any other entity is left to libxml2.
bool ContentScanner::reference(const char*& p, const char* end) {
    const char* q = p + 1;
    const char* const limit = std::min(end, p + 12);  // "&#x10FFFF;" and the longest name fit
    while (q < limit && *q != ';') ++q;
    if (q == limit) return q == end ? cut() : unplain();
    const std::string_view name(p + 1, size_t(q - p - 1));
    p = q + 1;
    if (name == "amp") decoded_ += '&';
    else if (name == "lt") decoded_ += '<';
    else if (name == "gt") decoded_ += '>';
    else if (name == "quot") decoded_ += '"';
    else if (name == "apos") decoded_ += '\'';
    else if (name.size() < 2 || name[0] != '#') return unplain();
    else {
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return unplain();
        unsigned cp = 0;
        for (const char d : digits) {
            unsigned v = 0;
            if (d >= '0' && d <= '9') v = unsigned(d - '0');
            else if (hex && d >= 'a' && d <= 'f') v = unsigned(d - 'a' + 10);
            else if (hex && d >= 'A' && d <= 'F') v = unsigned(d - 'A' + 10);
            else return unplain();
            cp = cp * (hex ? 16 : 10) + v;
            if (cp > 0x10FFFF) return unplain();
        }
        if (!xmlChar(cp)) return unplain();
        appendUtf8(decoded_, cp);
    }
    return true;
}

bool ContentScanner::uriOf(std::string_view prefix, size_t& uri) const {
    if (prefix == "xml") {
        uri = 2;
        return true;
    }
    if (prefix == "xmlns") return false;
    for (size_t i = prefixes_.size(); i-- > 0;) {
        if (prefixes_[i].prefix == prefix) {
            uri = 3 + i;
            return true;
        }
    }
    return false;
}

void ContentScanner::dispatch() {
    for (const Event& e : events_) {
        switch (e.kind) {
        case Kind::Start:
            if (handed_.size() < e.attrCount) handed_.resize(e.attrCount);
            for (size_t i = 0; i < e.attrCount; ++i) {
                const Attr& a = attrs_[e.attrs + i];
                handed_[i] = XmlAttribute{view(a.local), uris_[a.uri], view(a.value)};
            }
            handler_.start(XmlElement(view(e.name), uris_[1], handed_.data(), int(e.attrCount)));
            break;
        case Kind::End:
            handler_.end(view(e.name));
            break;
        case Kind::Text:
            handler_.text(view(e.name));
            break;
        }
    }
}

}  // namespace tabulon::ooxml
