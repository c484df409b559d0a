#pragma once
// The content of one element read by a scanner of our own instead of libxml2:
// a worksheet's <sheetData>, its rows and cells, the bulk of every workbook
// part. It reads the plain XML spreadsheets write at a few instructions a
// byte, one child element at a time (a row with its cells, with the text
// before it): the element is read and checked whole, and only then are its
// events handed to the handler, the same events libxml2 gives for it.
//
// Anything outside that plain XML stops the scanner before the child element
// that holds it, and libxml2 reads on from there: a comment, processing
// instruction or CDATA section, a prefixed element name, a namespace
// declaration or an undeclared prefix, an entity other than the five
// predefined ones and character references, a carriage return, a character
// XML does not allow, a repeated attribute, a mismatched end tag. So what
// the scanner leaves is read, or refused, exactly as before.
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon::ooxml {

struct XmlNamespace {
    std::string prefix, uri;
};

// A list that keeps its largest size: cleared for every child element, it
// allocates only while the largest one so far grows.
template <class T>
class ReusedList {
public:
    ReusedList() = default;
    ReusedList(const ReusedList&) = delete;  // the items are pointed into
    ReusedList& operator=(const ReusedList&) = delete;
    void clear() { n_ = 0; }
    size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    const T& operator[](size_t i) const { return data_[i]; }
    const T& back() const { return data_[n_ - 1]; }
    void pop_back() { --n_; }
    void push_back(const T& item) {
        if (n_ == capacity_) grow();
        data_[n_++] = item;
    }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + n_; }

private:
    // The capacity is kept beside the items: the vector's own size would be
    // worked out from its ends at every push.
    void grow() {
        items_.resize(std::max<size_t>(16, 2 * n_));
        data_ = items_.data();
        capacity_ = items_.size();
    }
    std::vector<T> items_;
    T* data_ = nullptr;
    size_t n_ = 0, capacity_ = 0;
};

class ContentScanner {
public:
    // `uri`: the namespace of the unprefixed elements; `prefixes`: the
    // prefixes declared around the content, innermost last; `maxDepth`: how
    // deep the content's elements may nest.
    ContentScanner(XmlHandler& handler, std::string uri, std::vector<XmlNamespace> prefixes, int maxDepth);

    enum class Stop {
        More,     // the next child element is cut off: more bytes wanted
        End,      // at the content's end (the text before the end tag, then the tag, are left)
        Unplain,  // at a child element the scanner does not take
    };
    struct Result {
        size_t used;  // bytes read: whole child elements with the text before each
        Stop stop;
    };
    // Reads what it can of `bytes`, the content from where the last call stopped.
    Result scan(std::string_view bytes);
    // The line breaks in what was read so far.
    size_t lines() const { return lines_; }

private:
    enum class Kind : unsigned char { Start, End, Text };
    // A piece of text: in the bytes scanned, or decoded into `decoded_`.
    struct Piece {
        size_t at = 0, size = 0;
        bool decoded = false;
    };
    struct Event {
        Kind kind;
        Piece name;          // Start, End; Text: the text
        size_t attrs = 0;    // Start: first attribute in attrs_
        size_t attrCount = 0;
    };
    struct Attr {
        Piece local, value;
        size_t uri;  // index into uris_
    };

    // Text or a value read in place; from the first reference or replaced
    // character on, it is copied into decoded_.
    struct Run {
        const char* start;
        const char* copiedTo;  // once copying began, the bytes before this are in decoded_
        size_t decodedAt = std::string::npos;
    };
    void copy(Run& run, const char* upTo);
    bool reference(Run& run, const char*& p, const char* end);
    bool wideCharacter(const char*& p, const char* end);
    // The run up to end: in place, or in decoded_ once copying began.
    Piece pieceOf(Run& run, const char* end) {
        return run.decodedAt == std::string::npos ? Piece{size_t(run.start - base_), size_t(end - run.start)}
                                                  : copiedPiece(run, end);
    }
    Piece copiedPiece(Run& run, const char* end);

    bool element(const char*& p, const char* end);
    bool startTag(const char*& p, const char* end);
    bool endTag(const char*& p, const char* end);
    bool text(const char*& p, const char* end);
    bool attributeValue(const char*& p, const char* end, Piece& value);
    bool reference(const char*& p, const char* end);
    bool uriOf(std::string_view prefix, size_t& uri) const;
    void dispatch();
    std::string_view view(const Piece& piece) const {
        return std::string_view((piece.decoded ? decoded_.data() : base_) + piece.at, piece.size);
    }
    // Both end a read that cannot go on: the bytes end first (more are
    // wanted), or the element is not plain XML (libxml2 takes it).
    bool cut();
    bool unplain();

    XmlHandler& handler_;
    std::vector<std::string> uris_;  // [0] none, [1] the elements', [2] xml:, then the prefixes'
    std::vector<XmlNamespace> prefixes_;
    int maxDepth_;
    size_t lines_ = 0;
    // The element being read.
    const char* base_ = nullptr;
    bool cutOff_ = false;
    ReusedList<Event> events_;
    ReusedList<Attr> attrs_;
    ReusedList<Piece> open_;
    std::string decoded_;
    std::vector<XmlAttribute> handed_;
};

}  // namespace tabulon::ooxml
