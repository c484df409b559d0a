#include "reports/PdfOutline.h"

#include "common/Error.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <functional>
#include <map>

namespace tabulon::reports {

namespace {

[[noreturn]] void fail(const QString& pdfPath, const char* what) {
    throw Error(err::PathFileAccess,
                QStringLiteral("PDF ファイル %1 にしおりを付けられません (%2)").arg(pdfPath, QLatin1String(what)));
}

// The object number a key of a dictionary refers to ("/Root 2 0 R"), or -1.
int reference(const QByteArray& dict, const char* key) {
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)\\s+\\d+\\s+R").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(dict));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

qint64 number(const QByteArray& dict, const char* key) {
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(dict));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

// A text string of the file: UTF-16BE with its byte-order mark, in hex.
QByteArray textString(const QString& text) {
    QByteArray out = "<FEFF";
    for (QChar c : text) out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out + '>';
}

// The objects of a classic cross-reference file (what Qt writes), with the
// newest trailer.
class PdfObjects {
public:
    PdfObjects(const QString& path, QByteArray bytes) : path_(path), bytes_(std::move(bytes)) {
        const qsizetype at = bytes_.lastIndexOf("startxref");
        if (at < 0) fail(path_, "startxref");
        xref = bytes_.mid(at + 9, 24).trimmed().split('\n').front().trimmed().toLongLong();
        // Sections from the newest back along /Prev; a newer entry wins.
        for (qint64 section = xref, visited = 0; section >= 0 && visited < 64; ++visited) {
            const QByteArray t = readSection(section);
            if (trailer.isEmpty()) trailer = t;
            section = number(t, "Prev");
        }
    }
    QByteArray trailer;
    qint64 xref = 0;

    QByteArray object(int n) const {
        const qint64 at = offsets_.value(n, -1);
        const qsizetype body = at < 0 ? -1 : bytes_.indexOf("obj", at);
        const qsizetype end = body < 0 ? -1 : bytes_.indexOf("endobj", body);
        if (end < 0) fail(path_, "object");
        return bytes_.mid(body + 3, end - body - 3);
    }

    // Page objects in reading order, through nested page-tree nodes.
    void collectPages(int node, std::vector<int>& pages, int depth = 0) const {
        const QByteArray dict = object(node);
        if (!dict.contains("/Kids")) {
            pages.push_back(node);
            return;
        }
        if (depth > 32) fail(path_, "page tree");
        const qsizetype open = dict.indexOf('[', dict.indexOf("/Kids")), close = dict.indexOf(']', open);
        if (open < 0 || close < 0) fail(path_, "page tree");
        static const QRegularExpression ref(QStringLiteral("(\\d+)\\s+\\d+\\s+R"));
        for (const auto& m : ref.globalMatch(QString::fromLatin1(dict.mid(open, close - open))))
            collectPages(m.captured(1).toInt(), pages, depth + 1);
    }

private:
    QByteArray readSection(qint64 at) {
        if (at >= bytes_.size() || !bytes_.mid(at, 4).startsWith("xref")) fail(path_, "xref");
        const qsizetype trailerAt = bytes_.indexOf("trailer", at);
        const qsizetype endAt = bytes_.indexOf("startxref", trailerAt);
        if (trailerAt < 0 || endAt < 0) fail(path_, "trailer");
        int next = 0;
        for (const QByteArray& line : bytes_.mid(at + 4, trailerAt - at - 4).split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() == 2) {
                next = f[0].toInt();
            } else if (f.size() == 3) {
                if (f[2] == "n" && !offsets_.contains(next)) offsets_.insert(next, f[0].toLongLong());
                ++next;
            }
        }
        return bytes_.mid(trailerAt, endAt - trailerAt);
    }
    QString path_;
    QByteArray bytes_;
    QHash<int, qint64> offsets_;
};

}  // namespace

void appendOutline(const QString& pdfPath, const std::vector<Bookmark>& bookmarks) {
    if (bookmarks.empty()) return;
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) fail(pdfPath, "open");
    const PdfObjects pdf(pdfPath, file.readAll());
    const int root = reference(pdf.trailer, "Root"), info = reference(pdf.trailer, "Info");
    const qint64 size = number(pdf.trailer, "Size");
    if (root < 0 || size <= 0) fail(pdfPath, "trailer");
    const QByteArray catalog = pdf.object(root);
    std::vector<int> pages;
    pdf.collectPages(reference(catalog, "Pages"), pages);
    if (pages.empty()) fail(pdfPath, "pages");

    // The catalog again with the outline, then the outline and its entries,
    // numbered depth first from the trailer's size on.
    const int outline = int(size);
    std::vector<QByteArray> objects;
    const qsizetype open = catalog.indexOf("<<"), close = catalog.lastIndexOf(">>");
    if (open < 0 || close < open) fail(pdfPath, "catalog");
    objects.push_back(catalog.mid(open, close - open) +
                      "/Outlines " + QByteArray::number(outline) + " 0 R /PageMode /UseOutlines >>");
    std::map<int, QByteArray> items;  // outline entries by object number
    int next = outline + 1;
    const auto ref = [](int n) { return QByteArray::number(n) + " 0 R"; };
    // Writes the entries of one level under `parent`; returns how many
    // entries the level shows (its own and those of open children).
    std::function<int(const std::vector<Bookmark>&, int, int&, int&)> level =
        [&](const std::vector<Bookmark>& marks, int parent, int& first, int& last) -> int {
        std::vector<int> numbers;
        for (size_t i = 0; i < marks.size(); ++i) numbers.push_back(next++);
        first = numbers.front();
        last = numbers.back();
        int shown = 0;
        for (size_t i = 0; i < marks.size(); ++i) {
            const Bookmark& b = marks[i];
            const int page = std::clamp(b.page, 0, int(pages.size()) - 1);
            QByteArray item = "<< /Title " + textString(b.title) + " /Parent " + ref(parent);
            if (i > 0) item += " /Prev " + ref(numbers[i - 1]);
            if (i + 1 < marks.size()) item += " /Next " + ref(numbers[i + 1]);
            item += " /Dest [" + ref(pages[size_t(page)]) + " /Fit]";
            int below = 0;
            if (!b.children.empty()) {
                int childFirst = 0, childLast = 0;
                below = level(b.children, numbers[i], childFirst, childLast);
                item += " /First " + ref(childFirst) + " /Last " + ref(childLast) + " /Count " +
                        QByteArray::number(below);
            }
            items[numbers[i]] = item + " >>";
            shown += 1 + below;
        }
        return shown;
    };
    int first = 0, last = 0;
    const int count = level(bookmarks, outline, first, last);
    objects.push_back(QStringLiteral("<< /Type /Outlines /First %1 0 R /Last %2 0 R /Count %3 >>")
                          .arg(first).arg(last).arg(count).toLatin1());
    for (const auto& [number, item] : items) objects.push_back(item);

    qint64 at = file.size();
    QByteArray update = "\n";
    std::vector<qint64> offsets;
    const auto add = [&](int n, const QByteArray& body) {
        offsets.push_back(at + update.size());
        update += QByteArray::number(n) + " 0 obj\n" + body + "\nendobj\n";
    };
    add(root, objects[0]);
    for (int i = 1; i < int(objects.size()); ++i) add(outline + i - 1, objects[size_t(i)]);
    const int entries = int(objects.size()) - 2;
    const qint64 xref = at + update.size();
    const auto entry = [](qint64 offset) { return QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n"; };
    update += "xref\n" + QByteArray::number(root) + " 1\n" + entry(offsets[0]);
    update += QByteArray::number(outline) + ' ' + QByteArray::number(entries + 1) + '\n';
    for (size_t i = 1; i < offsets.size(); ++i) update += entry(offsets[i]);
    update += "trailer\n<< /Size " + QByteArray::number(outline + entries + 1) + " /Root " +
              QByteArray::number(root) + " 0 R";
    if (info >= 0) update += " /Info " + QByteArray::number(info) + " 0 R";
    update += " /Prev " + QByteArray::number(pdf.xref) + " >>\nstartxref\n" + QByteArray::number(xref) +
              "\n%%EOF\n";
    if (!file.seek(at) || file.write(update) != update.size() || !file.flush()) fail(pdfPath, "write");
}

}  // namespace tabulon::reports
