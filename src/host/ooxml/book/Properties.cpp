#include "host/ooxml/book/Properties.h"

#include "common/Error.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

#include <QDateTime>
#include <QTimeZone>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxPropertiesBytes = 16u << 20;

enum class Type { Text, Count, Date, Minutes };

struct Slot {
    const char* element;
    int position;
    Type type;
};

// Core properties (Dublin Core and OPC names) and extended properties.
constexpr Slot kCore[] = {{"title", 1, Type::Text},        {"subject", 2, Type::Text},    {"creator", 3, Type::Text},
                          {"keywords", 4, Type::Text},     {"description", 5, Type::Text}, {"lastModifiedBy", 7, Type::Text},
                          {"revision", 8, Type::Text},     {"lastPrinted", 10, Type::Date}, {"created", 11, Type::Date},
                          {"modified", 12, Type::Date},    {"category", 18, Type::Text}};
constexpr Slot kApp[] = {{"Template", 6, Type::Text},        {"Application", 9, Type::Text},  {"TotalTime", 13, Type::Minutes},
                         {"Pages", 14, Type::Count},         {"Words", 15, Type::Count},      {"Characters", 16, Type::Count},
                         {"DocSecurity", 17, Type::Count},   {"PresentationFormat", 19, Type::Text},
                         {"Manager", 20, Type::Text},        {"Company", 21, Type::Text},     {"Lines", 23, Type::Count},
                         {"Paragraphs", 24, Type::Count},    {"Slides", 25, Type::Count},     {"Notes", 26, Type::Count},
                         {"HiddenSlides", 27, Type::Count},  {"MMClips", 28, Type::Count},    {"HyperlinkBase", 29, Type::Text},
                         {"CharactersWithSpaces", 30, Type::Count}};

QVariant valueOf(const QString& text, Type type) {
    switch (type) {
    case Type::Text: return text;
    case Type::Count: {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    case Type::Minutes: {
        bool ok = false;
        const qlonglong n = text.trimmed().toLongLong(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    case Type::Date: {
        QDateTime d = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
        if (!d.isValid()) d = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        if (!d.isValid()) return QVariant();
        if (d.timeSpec() == Qt::LocalTime && !text.contains(u'Z') && !text.contains(u'+')) d.setTimeZone(QTimeZone::utc());
        return d.toLocalTime();
    }
    }
    return QVariant();
}

template <size_t N>
class SlotReader : public XmlHandler {
public:
    const Slot (&table)[N];
    std::map<int, QVariant>& out;
    const Slot* current = nullptr;
    QString buffer;
    int depth = 0;
    SlotReader(const Slot (&s)[N], std::map<int, QVariant>& o) : table(s), out(o) {}
    void start(const XmlElement& e) override {
        ++depth;
        current = nullptr;
        if (depth != 2) return;  // direct children of the root only (not the heading pairs' vectors)
        for (const Slot& s : table)
            if (e.local() == s.element) current = &s;
        buffer.clear();
    }
    void end(std::string_view) override {
        if (current && depth == 2) {
            const QVariant v = valueOf(buffer, current->type);
            if (v.isValid()) out[current->position] = v;
        }
        current = nullptr;
        --depth;
    }
    void text(std::string_view t) override {
        if (current) buffer += qstr(t);
    }
};

// Custom properties: only the hyperlink base, which older writers keep there.
class CustomReader : public XmlHandler {
public:
    std::map<int, QVariant>& out;
    bool linkBase = false;
    QString buffer;
    explicit CustomReader(std::map<int, QVariant>& o) : out(o) {}
    void start(const XmlElement& e) override {
        if (e.is("property")) linkBase = e.attr("name") == "_PID_LINKBASE";
    }
    void end(std::string_view local) override {
        if (local == "property" && linkBase && !buffer.isEmpty() && !out.count(29)) out[29] = buffer;
        if (local == "property") linkBase = false, buffer.clear();
    }
    void text(std::string_view t) override {
        if (linkBase) buffer += qstr(t);
    }
};

void readOne(const Package& package, QStringView kind, XmlHandler& handler) {
    const Relationship* r = package.relationship(QString(), kind);
    if (!r || r->part.isEmpty() || !package.hasPart(r->part)) return;
    try {
        parsePart(package, r->part, handler, kMaxPropertiesBytes);
    } catch (const Error& e) {
        package.warn(e.description());
    }
}

}  // namespace

void readProperties(const Package& package, std::map<int, QVariant>& out) {
    SlotReader core(kCore, out);
    readOne(package, u"core-properties", core);
    SlotReader app(kApp, out);
    readOne(package, u"extended-properties", app);
    CustomReader custom(out);
    readOne(package, u"custom-properties", custom);
}

}  // namespace tabulon::ooxml
