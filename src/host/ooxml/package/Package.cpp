#include "host/ooxml/package/Package.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/ooxml/xml/XmlStream.h"

#include <QUrl>

namespace tabulon::ooxml {

namespace {

// Content types and relationships are small; a larger one is not a package part.
constexpr uint64_t kMaxListBytes = 64u << 20;

class ContentTypes : public XmlHandler {
public:
    std::map<QString, QString>& overrides;
    std::map<QString, QString>& defaults;
    ContentTypes(std::map<QString, QString>& o, std::map<QString, QString>& d) : overrides(o), defaults(d) {}
    void start(const XmlElement& e) override {
        if (e.is("Override")) {
            QString part = e.text("PartName").toLower();
            if (part.startsWith(QLatin1Char('/'))) part.remove(0, 1);
            overrides.emplace(QUrl::fromPercentEncoding(part.toUtf8()), e.text("ContentType"));
        } else if (e.is("Default")) {
            defaults.emplace(e.text("Extension").toLower(), e.text("ContentType"));
        }
    }
};

class Relationships : public XmlHandler {
public:
    std::vector<Relationship>& out;
    explicit Relationships(std::vector<Relationship>& o) : out(o) {}
    void start(const XmlElement& e) override {
        if (!e.is("Relationship")) return;
        Relationship r;
        r.id = e.text("Id");
        r.type = e.text("Type");
        r.target = e.text("Target");
        r.external = e.attr("TargetMode") == "External";
        out.push_back(std::move(r));
    }
};

}  // namespace

QString Relationship::kind() const { return type.mid(type.lastIndexOf(QLatin1Char('/')) + 1); }

QString relationshipsPart(const QString& part) {
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

std::optional<QString> resolveTarget(const QString& sourcePart, const QString& target) {
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    t.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (const qsizetype hash = t.indexOf(QLatin1Char('#')); hash >= 0) t.truncate(hash);
    QStringList steps;
    if (!t.startsWith(QLatin1Char('/'))) {
        steps = sourcePart.split(QLatin1Char('/'));
        steps.removeLast();  // the source part's own name
    }
    for (const QString& s : t.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (s == QLatin1String(".")) continue;
        if (s == QLatin1String("..")) {
            if (steps.isEmpty()) return std::nullopt;  // above the package root
            steps.removeLast();
            continue;
        }
        steps << s;
    }
    if (steps.isEmpty()) return std::nullopt;
    return steps.join(QLatin1Char('/'));
}

Package::Package(ZipArchive zip) : zip_(std::move(zip)) {
    warnings_ = zip_.warnings();
    const ZipEntry* types = zip_.find(QStringLiteral("[Content_Types].xml"));
    // Without content types the relationships still lead to every part;
    // only the kinds of workbook cannot be told apart.
    if (!types) {
        warn(QStringLiteral("the package has no [Content_Types].xml"));
        return;
    }
    ContentTypes handler(overrides_, defaults_);
    try {
        parsePart(zip_, *types, handler, kMaxListBytes);
    } catch (const Error& e) {
        warn(e.description());
    }
}

QString Package::contentType(const QString& part) const {
    const QString key = (part.startsWith(QLatin1Char('/')) ? part.mid(1) : part).toLower();
    if (auto it = overrides_.find(key); it != overrides_.end()) return it->second;
    const QString ext = key.mid(key.lastIndexOf(QLatin1Char('.')) + 1);
    if (auto it = defaults_.find(ext); it != defaults_.end()) return it->second;
    return QString();
}

const std::vector<Relationship>& Package::relationships(const QString& part) const {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    auto [it, added] = rels_.try_emplace(part);
    if (!added) return it->second;
    std::vector<Relationship>& list = it->second;
    const QString relsPart = relationshipsPart(part);
    if (const ZipEntry* entry = zip_.find(relsPart)) {
        Relationships handler(list);
        try {
            parsePart(zip_, *entry, handler, kMaxListBytes);
        } catch (const Error& e) {
            warn(e.description());
        }
    }
    for (Relationship& r : list) {
        if (r.external) continue;
        if (const auto resolved = resolveTarget(part, r.target)) r.part = *resolved;
        else warn(QStringLiteral("relationship %1 of '%2' leads out of the package: %3").arg(r.id, part, r.target));
    }
    return list;
}

const Relationship* Package::relationship(const QString& part, QStringView kind) const {
    for (const Relationship& r : relationships(part))
        if (QStringView(r.type).endsWith(kind) && r.kind() == kind) return &r;
    return nullptr;
}

const Relationship* Package::relationshipById(const QString& part, const QString& id) const {
    for (const Relationship& r : relationships(part))
        if (r.id == id) return &r;
    return nullptr;
}

QByteArray Package::read(const QString& part, uint64_t maxBytes) const {
    QByteArray out;
    stream(part, maxBytes, [&](const char* data, size_t size) { out.append(data, qsizetype(size)); });
    return out;
}

void Package::stream(const QString& part, uint64_t maxBytes, const std::function<void(const char*, size_t)>& sink) const {
    const ZipEntry* entry = zip_.find(part);
    if (!entry) throw Error(err::Refused, QStringLiteral("package part %1 is missing").arg(part));
    std::lock_guard<std::recursive_mutex> hold(lock_);
    zip_.stream(*entry, maxBytes, sink);
}

void Package::read(const QString& part, uint64_t maxBytes, const std::function<void(ZipArchive::PartReader&)>& use) const {
    const ZipEntry* entry = zip_.find(part);
    if (!entry) throw Error(err::Refused, QStringLiteral("package part %1 is missing").arg(part));
    std::lock_guard<std::recursive_mutex> hold(lock_);
    ZipArchive::PartReader reader(zip_, *entry, maxBytes);
    use(reader);
}

QStringList Package::warnings() const {
    std::lock_guard<std::mutex> hold(warnLock_);
    return warnings_;
}

void Package::warn(const QString& text) const {
    std::lock_guard<std::mutex> hold(warnLock_);
    warnings_ << text;
}

}  // namespace tabulon::ooxml
