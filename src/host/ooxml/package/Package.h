#pragma once
// The Open Packaging Conventions over a zip container (ECMA-376 Part 2):
// content types, and the relationships that lead from the package to its
// main part and from each part to the parts it uses. Parts are found only
// through relationships, never by a name a writer happens to use.
#include "host/ooxml/package/ZipArchive.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace tabulon::ooxml {

struct Relationship {
    QString id;          // "rId3"
    QString type;        // the full type URI
    QString target;      // as written
    bool external = false;
    QString part;        // internal: the resolved part name without leading "/"; empty when it leaves the package

    // The relationship type's last word: ".../relationships/worksheet" -> "worksheet".
    QString kind() const;
};

class Package {
public:
    // Reads [Content_Types].xml and the package relationships. Throws a
    // ReadError (NotWorkbook) when the zip holds no package.
    explicit Package(ZipArchive zip);

    const ZipArchive& zip() const { return zip_; }
    const QString& path() const { return zip_.path(); }

    // The content type of a part from its Override, else its extension's
    // Default; empty when the package declares none.
    QString contentType(const QString& part) const;

    // The relationships of a part ("xl/workbook.xml"), or of the package
    // itself for an empty name; read once and kept. Missing .rels: none.
    const std::vector<Relationship>& relationships(const QString& part) const;
    // The first relationship of that kind (Relationship::kind) from a part.
    const Relationship* relationship(const QString& part, QStringView kind) const;
    const Relationship* relationshipById(const QString& part, const QString& id) const;

    bool hasPart(const QString& part) const { return zip_.find(part) != nullptr; }
    // The whole part; throws Error 1004 when it is absent or larger than maxBytes.
    QByteArray read(const QString& part, uint64_t maxBytes) const;
    // The part in pieces (ZipArchive::stream). The package's own reads take
    // turns; a thread that reads large parts beside others opens its own
    // handle with zip().reopen().
    void stream(const QString& part, uint64_t maxBytes, const std::function<void(const char*, size_t)>& sink) const;
    // The same through a reader the caller pulls from while `use` runs.
    void read(const QString& part, uint64_t maxBytes, const std::function<void(ZipArchive::PartReader&)>& use) const;

    // Problems met so far: unreadable relationship parts, targets outside
    // the package. Shared by every reader of the package.
    QStringList warnings() const;
    void warn(const QString& text) const;

private:
    ZipArchive zip_;
    std::map<QString, QString> overrides_;   // part name, lower case -> content type
    std::map<QString, QString> defaults_;    // extension, lower case -> content type
    mutable std::recursive_mutex lock_;      // the zip handle and the relationships read so far
    mutable std::mutex warnLock_;
    mutable std::map<QString, std::vector<Relationship>> rels_;
    mutable QStringList warnings_;
};

// A relationship target resolved against the part that holds it: "../media/a.png"
// from "xl/drawings/drawing1.xml" is "xl/media/a.png", "/xl/x.xml" is "xl/x.xml".
// Nothing when the target climbs out of the package root.
std::optional<QString> resolveTarget(const QString& sourcePart, const QString& target);

// "xl/worksheets/sheet1.xml" -> "xl/worksheets/_rels/sheet1.xml.rels"; "" -> "_rels/.rels".
QString relationshipsPart(const QString& part);

}  // namespace tabulon::ooxml
