#include "reports/PdfOutline.h"

#include "common/Error.h"
#include "reports/PdfObjects.h"

#include <QFile>

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

    // The catalog again with the outline, then the outline and its entries.
    const int outline = int(size), first = outline + 1, count = int(bookmarks.size());
    std::vector<QByteArray> objects;
    const qsizetype open = catalog.indexOf("<<"), close = catalog.lastIndexOf(">>");
    if (open < 0 || close < open) pdf.fail("catalog");
    objects.push_back(catalog.mid(open, close - open) +
                      "/Outlines " + QByteArray::number(outline) + " 0 R /PageMode /UseOutlines >>");
    objects.push_back(QStringLiteral("<< /Type /Outlines /First %1 0 R /Last %2 0 R /Count %3 >>")
                          .arg(first).arg(first + count - 1).arg(count).toLatin1());
    for (int i = 0; i < count; ++i) {
        const int page = std::clamp(bookmarks[size_t(i)].page, 0, int(pages.size()) - 1);
        QByteArray item = "<< /Title " + pdfTextString(bookmarks[size_t(i)].title) + " /Parent " +
                          QByteArray::number(outline) + " 0 R";
        if (i > 0) item += " /Prev " + QByteArray::number(first + i - 1) + " 0 R";
        if (i + 1 < count) item += " /Next " + QByteArray::number(first + i + 1) + " 0 R";
        item += " /Dest [" + QByteArray::number(pages[size_t(page)]) + " 0 R /Fit] >>";
        objects.push_back(item);
    }

    qint64 at = file.size();
    QByteArray update = "\n";
    std::vector<qint64> offsets;
    const auto add = [&](int n, const QByteArray& body) {
        offsets.push_back(at + update.size());
        update += QByteArray::number(n) + " 0 obj\n" + body + "\nendobj\n";
    };
    add(root, objects[0]);
    for (int i = 1; i < int(objects.size()); ++i) add(outline + i - 1, objects[size_t(i)]);
    const qint64 xref = at + update.size();
    const auto entry = [](qint64 offset) { return QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n"; };
    update += "xref\n" + QByteArray::number(root) + " 1\n" + entry(offsets[0]);
    update += QByteArray::number(outline) + ' ' + QByteArray::number(count + 1) + '\n';
    for (size_t i = 1; i < offsets.size(); ++i) update += entry(offsets[i]);
    update += "trailer\n<< /Size " + QByteArray::number(outline + count + 1) + " /Root " +
              QByteArray::number(root) + " 0 R";
    if (info >= 0) update += " /Info " + QByteArray::number(info) + " 0 R";
    update += " /Prev " + QByteArray::number(pdf.xref) + " >>\nstartxref\n" + QByteArray::number(xref) +
              "\n%%EOF\n";
    if (!file.seek(at) || file.write(update) != update.size() || !file.flush())
        throw Error(err::PathFileAccess,
                    QStringLiteral("PDF ファイル「%1」にしおりを書き込めません。\r理由: %2").arg(pdfPath, file.errorString()));
}

}  // namespace tabulon::reports
