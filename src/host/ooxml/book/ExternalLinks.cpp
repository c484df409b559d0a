#include "host/ooxml/book/ExternalLinks.h"

#include "common/Error.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxLinkBytes = 256u << 20;

class LinkReader : public XmlHandler {
public:
    QString bookRel, oleRel, progId, ddeService, ddeTopic;
    void start(const XmlElement& e) override {
        if (e.is("externalBook")) bookRel = qstr(e.relAttr("id"));
        else if (e.is("ddeLink")) ddeService = e.text("ddeService"), ddeTopic = e.text("ddeTopic");
        else if (e.is("oleLink")) oleRel = qstr(e.relAttr("id")), progId = e.text("progId");
    }
};

bool hasDrive(const QString& s) {
    return s.size() >= 2 && s[0].isLetter() && s[1] == u':' && (s.size() == 2 || s[2] == u'\\' || s[2] == u'/');
}

}  // namespace

QString linkedBookPath(const QString& stored, const QString& bookFolder) {
    QString t = stored;
    if (t.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
        t = QUrl::fromPercentEncoding(t.mid(5).toUtf8());
        // file:///C:\x, file:///\\server\x, file://server/share/x
        if (t.startsWith(QStringLiteral("///"))) t = t.mid(3);
        else if (t.startsWith(QStringLiteral("//"))) t = QStringLiteral("\\\\") + t.mid(2);
    }
    // A drive after climbing folders ("../../C:/data/B.xlsx", as some
    // writers relate a path on another drive) names that drive.
    static const QRegularExpression climbToDrive(QStringLiteral("^(\\.\\.?[/\\\\])+(?=[A-Za-z]:[/\\\\])"));
    t.remove(climbToDrive);
    if (hasDrive(t) || t.startsWith(QStringLiteral("\\\\")) || t.startsWith(QStringLiteral("//"))) {
        t.replace(u'/', u'\\');
        return t;
    }
    if (t.contains(QStringLiteral("://"))) return t;  // a web address stays as written
    t.replace(u'\\', u'/');
    if (t.startsWith(u'/') || bookFolder.isEmpty()) return t;
    return QDir::cleanPath(bookFolder + u'/' + t);
}

ExternalLinks readExternalLinks(const Package& package, const QString& workbookPart, const QStringList& relIds,
                                const QString& bookFolder) {
    ExternalLinks out;
    for (const QString& id : relIds) {
        ExternalBook book;
        const Relationship* r = package.relationshipById(workbookPart, id);
        LinkReader reader;
        if (r && !r->part.isEmpty() && package.hasPart(r->part)) {
            try {
                parsePart(package, r->part, reader, kMaxLinkBytes);
            } catch (const Error& e) {
                package.warn(e.description());
            }
        } else {
            package.warn(QStringLiteral("external reference %1 has no link part").arg(id));
        }
        const auto target = [&](const QString& rel) {
            const Relationship* t = r ? package.relationshipById(r->part, rel) : nullptr;
            return t ? t->target : QString();
        };
        if (!reader.ddeService.isEmpty()) {
            book.server = reader.ddeService;
            book.topic = reader.ddeTopic;
            out.links.push_back({model::Link::OleDde, book.server + u'|' + book.topic});
        } else if (!reader.oleRel.isEmpty()) {
            book.server = reader.progId;
            book.topic = linkedBookPath(target(reader.oleRel), QString());
            out.links.push_back({model::Link::OleDde, book.server + u'|' + book.topic});
        } else if (!reader.bookRel.isEmpty()) {
            book.path = linkedBookPath(target(reader.bookRel), bookFolder);
            if (!book.path.isEmpty()) out.links.push_back({model::Link::Workbook, book.path});
        }
        out.books.push_back(book);
    }
    return out;
}

}  // namespace tabulon::ooxml
