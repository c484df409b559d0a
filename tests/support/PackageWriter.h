#pragma once
// A small writer of zip packages for crafted test cases. Parts are added by
// name with their bytes; `Book` lays out the parts of a minimal workbook so that a
// test adds only what its rule needs.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "xlswriter/ZipWriter.h"

namespace tabulon::test {

class PackageWriter {
public:
    // Parts in the order given; a name may be anything, "../x" included.
    PackageWriter& add(const QString& name, const QByteArray& bytes, bool stored = false) {
        parts_.push_back({name, bytes, stored});
        return *this;
    }
    QByteArray bytes() const {
        std::vector<xlsw::ZipPart> zip;
        for (const Part& p : parts_) zip.push_back({p.name, p.bytes, p.stored});
        return xlsw::zipParts(zip);
    }
    void save(const QString& path) const {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes()) < 0) throw std::runtime_error("cannot write package");
    }

private:
    struct Part {
        QString name;
        QByteArray bytes;
        bool stored;
    };
    std::vector<Part> parts_;
};

// A workbook package: its workbook part lists the sheets added; every part
// gets its content type and the relationships it needs.
class Book {
public:
    static constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    static constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

    QString workbookType = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    QString workbookExtra;  // inside <workbook> after <sheets> (definedNames, externalReferences ...)
    QString workbookPr;     // attributes of <workbookPr>

    // A worksheet; `body` goes inside <worksheet>. Returns its part name.
    QString sheet(const QString& name, const QString& body, const QString& state = {}) {
        const QString part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheets_.size() + 1);
        sheets_.push_back({name, part, state});
        parts_[part] = QStringLiteral("<worksheet xmlns=\"%1\" xmlns:r=\"%2\">%3</worksheet>").arg(kMain, kRel, body).toUtf8();
        types_[part] = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
        rel(QStringLiteral("xl/workbook.xml"), QStringLiteral("rIdS%1").arg(sheets_.size()), QStringLiteral("worksheet"),
            QStringLiteral("worksheets/sheet%1.xml").arg(sheets_.size()));
        return part;
    }
    // Any other part with its content type.
    void part(const QString& name, const QByteArray& bytes, const QString& type = {}) {
        parts_[name] = bytes;
        if (!type.isEmpty()) types_[name] = type;
    }
    // A relationship from `from` ("" for the package); `kind` is the last
    // word of an office document relationship type, or a whole type URI.
    void rel(const QString& from, const QString& id, const QString& kind, const QString& target, bool external = false) {
        const QString type = kind.contains(u'/') ? kind : QStringLiteral("%1/%2").arg(kRel, kind);
        rels_[from].push_back(QStringLiteral("<Relationship Id=\"%1\" Type=\"%2\" Target=\"%3\"%4/>")
                                  .arg(id, type, target.toHtmlEscaped(),
                                       external ? QStringLiteral(" TargetMode=\"External\"") : QString()));
    }
    QString sharedStrings(const QStringList& items) {
        QString xml = QStringLiteral("<sst xmlns=\"%1\">").arg(kMain);
        for (const QString& s : items) xml += QStringLiteral("<si><t>%1</t></si>").arg(s.toHtmlEscaped());
        xml += QStringLiteral("</sst>");
        part(QStringLiteral("xl/sharedStrings.xml"), xml.toUtf8(),
             QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"));
        rel(QStringLiteral("xl/workbook.xml"), QStringLiteral("rIdSst"), QStringLiteral("sharedStrings"),
            QStringLiteral("sharedStrings.xml"));
        return xml;
    }

    PackageWriter writer() const {
        PackageWriter w;
        QString types = QStringLiteral(
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Default Extension=\"bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/>"
            "<Override PartName=\"/xl/workbook.xml\" ContentType=\"%1\"/>").arg(workbookType);
        for (const auto& [name, type] : types_)
            types += QStringLiteral("<Override PartName=\"/%1\" ContentType=\"%2\"/>").arg(name, type);
        types += QStringLiteral("</Types>");
        w.add(QStringLiteral("[Content_Types].xml"), types.toUtf8());
        QString book = QStringLiteral("<workbook xmlns=\"%1\" xmlns:r=\"%2\"><workbookPr %3/><sheets>").arg(kMain, kRel, workbookPr);
        for (size_t i = 0; i < sheets_.size(); ++i)
            book += QStringLiteral("<sheet name=\"%1\" sheetId=\"%2\" r:id=\"rIdS%2\"%3/>")
                        .arg(sheets_[i].name.toHtmlEscaped())
                        .arg(i + 1)
                        .arg(sheets_[i].state.isEmpty() ? QString() : QStringLiteral(" state=\"%1\"").arg(sheets_[i].state));
        book += QStringLiteral("</sheets>") + workbookExtra + QStringLiteral("</workbook>");
        w.add(QStringLiteral("xl/workbook.xml"), book.toUtf8());
        auto rels = rels_;
        rels[QString()].push_front(QStringLiteral(
            "<Relationship Id=\"rIdBook\" Type=\"%1/officeDocument\" Target=\"xl/workbook.xml\"/>").arg(kRel));
        for (const auto& [from, list] : rels) {
            const qsizetype slash = from.lastIndexOf(u'/');
            const QString relsPart = from.left(slash + 1) + QStringLiteral("_rels/") + from.mid(slash + 1) + QStringLiteral(".rels");
            w.add(relsPart, (QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">") +
                             list.join(QString()) + QStringLiteral("</Relationships>")).toUtf8());
        }
        for (const auto& [name, bytes] : parts_) w.add(name, bytes);
        return w;
    }
    void save(const QString& path) const { writer().save(path); }

private:
    struct SheetEntry {
        QString name, part, state;
    };
    std::vector<SheetEntry> sheets_;
    std::map<QString, QByteArray> parts_;
    std::map<QString, QString> types_;
    std::map<QString, QStringList> rels_;
};

}  // namespace tabulon::test
