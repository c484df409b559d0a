#include "reports/PdfOutline.h"

#include "common/Error.h"
#include "common/SafeFile.h"
#include "reports/PdfObjects.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>

namespace tabulon::reports {

void appendOutline(const QString& pdfPath, const std::vector<Bookmark>& bookmarks) {
    if (bookmarks.empty()) return;
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        throw Error(err::PathFileAccess, QStringLiteral("PDF ファイル「%1」を開けません。").arg(pdfPath));
    const PdfObjects pdf(pdfPath, file.readAll());
    const int root = pdfReference(pdf.trailer, "Root"), info = pdfReference(pdf.trailer, "Info");
    const qint64 size = pdfNumber(pdf.trailer, "Size");
    if (root < 0 || size <= 0) pdf.fail("trailer");
    const QByteArray catalog = pdf.object(root);
    std::vector<int> pages;
    pdf.collectPages(pdfReference(catalog, "Pages"), pages);
    if (pages.empty()) pdf.fail("pages");

    // The catalog again with the outline, then the outline and its entries,
    // numbered depth first from the trailer's size on.
    const int outline = int(size);
    std::vector<QByteArray> objects;
    const qsizetype open = catalog.indexOf("<<"), close = catalog.lastIndexOf(">>");
    if (open < 0 || close < open) pdf.fail("catalog");
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
            QByteArray item = "<< /Title " + pdfTextString(b.title) + " /Parent " + ref(parent);
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
    errno = 0;
    if (!file.seek(at) || file.write(update) != update.size() || !file.flush())
        throw Error(err::PathFileAccess, QStringLiteral("PDF ファイル「%1」にしおりを書き込めません。\r理由: %2")
                                             .arg(pdfPath, systemReason(errno ? errno : EIO)));
}

}  // namespace tabulon::reports
