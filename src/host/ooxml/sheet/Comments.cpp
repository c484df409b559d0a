#include "host/ooxml/sheet/Comments.h"

#include "common/Error.h"
#include "host/ooxml/binary/BinaryParts.h"
#include "host/ooxml/book/SharedStrings.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

#include <QHash>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxCommentBytes = 256u << 20;

class NotesReader : public XmlHandler {
public:
    std::map<std::pair<int, int>, model::Note>& notes;
    QStringList authors;
    QString author;
    bool inAuthor = false, inText = false, inT = false, inPhonetic = false;
    std::pair<int, int> at{-1, -1};
    QString body;
    explicit NotesReader(std::map<std::pair<int, int>, model::Note>& n) : notes(n) {}
    void start(const XmlElement& e) override {
        const std::string_view n = e.local();
        if (n == "author") { inAuthor = true; author.clear(); }
        else if (n == "comment") {
            at = {-1, -1};
            parseCellAddress(e.attr("ref").substr(0, e.attr("ref").find(':')), at.first, at.second);
            const long long id = e.integer("authorId", -1);
            author = id >= 0 && id < authors.size() ? authors.at(qsizetype(id)) : QString();
            body.clear();
        } else if (n == "text") inText = true;
        else if (n == "rPh") inPhonetic = true;
        else if (n == "t") inT = inText && !inPhonetic;
    }
    void end(std::string_view n) override {
        if (n == "author") { inAuthor = false; authors << author; }
        else if (n == "t") inT = false;
        else if (n == "rPh") inPhonetic = false;
        else if (n == "text") inText = false;
        else if (n == "comment" && at.first >= 0) notes[at] = model::Note{unescapeXmlChars(body), author};
    }
    void text(std::string_view t) override {
        if (inAuthor) author += qstr(t);
        else if (inT) body += qstr(t);
    }
};

class PersonsReader : public XmlHandler {
public:
    QHash<QString, QString> names;  // person id -> display name
    void start(const XmlElement& e) override {
        if (e.is("person")) names.insert(e.text("id"), e.text("displayName"));
    }
};

struct ThreadComment {
    std::pair<int, int> at{-1, -1};
    QString id, parent, person, text;
};

class ThreadsReader : public XmlHandler {
public:
    std::vector<ThreadComment> comments;
    bool inText = false;
    void start(const XmlElement& e) override {
        if (e.is("threadedComment")) {
            ThreadComment c;
            parseCellAddress(e.attr("ref"), c.at.first, c.at.second);
            c.id = e.text("id");
            c.parent = e.text("parentId");
            c.person = e.text("personId");
            comments.push_back(c);
        } else if (e.is("text") && !comments.empty()) {
            inText = true;
        }
    }
    void end(std::string_view n) override {
        if (n == "text") inText = false;
    }
    void text(std::string_view t) override {
        if (inText) comments.back().text += qstr(t);
    }
};

void readPart(const Package& package, const QString& part, XmlHandler& handler, QStringList& warnings) {
    try {
        parsePart(package, part, handler, kMaxCommentBytes);
    } catch (const Error& e) {
        warnings << e.description();
    }
}

}  // namespace

void readComments(const Package& package, const QString& sheetPart, const QString& workbookPart, model::Sheet& sheet,
                  QStringList& warnings) {
    for (const Relationship& r : package.relationships(sheetPart)) {
        if (r.part.isEmpty() || !package.hasPart(r.part)) continue;
        if (r.kind() != u"comments") continue;
        if (package.contentType(r.part).compare(u"application/vnd.ms-excel.comments", Qt::CaseInsensitive) == 0) {
            readBinaryComments(package, r.part, sheet.notes, warnings);
            continue;
        }
        NotesReader reader(sheet.notes);
        readPart(package, r.part, reader, warnings);
    }
    for (const Relationship& r : package.relationships(sheetPart)) {
        if (r.kind() != u"threadedComment" || r.part.isEmpty() || !package.hasPart(r.part)) continue;
        PersonsReader persons;
        if (const Relationship* p = package.relationship(workbookPart, u"person"); p && package.hasPart(p->part))
            readPart(package, p->part, persons, warnings);
        ThreadsReader threads;
        readPart(package, r.part, threads, warnings);
        // A thread starts with a comment that has no parent; its replies follow.
        for (const ThreadComment& first : threads.comments) {
            if (!first.parent.isEmpty() || first.at.first < 0) continue;
            model::Note note;
            note.author = persons.names.value(first.person);
            note.text = (note.author.isEmpty() ? QString() : note.author + QStringLiteral(":\n")) + first.text;
            for (const ThreadComment& reply : threads.comments) {
                if (reply.parent != first.id) continue;
                const QString who = persons.names.value(reply.person);
                note.text += u'\n' + (who.isEmpty() ? QString() : who + QStringLiteral(":\n")) + reply.text;
            }
            sheet.notes[first.at] = note;
        }
    }
}

}  // namespace tabulon::ooxml
