#include "reports/PdfJoin.h"

#include "common/Error.h"
#include "common/SafeFile.h"
#include "reports/PdfObjects.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>

namespace tabulon::reports {

namespace {

// The joined file's own objects; the sources' objects follow from 4 on.
constexpr int kCatalog = 1, kInfo = 2, kPageTree = 3, kFirstFree = 4;

// Writes objects and remembers where each one starts, for the
// cross-reference table.
class ObjectWriter {
public:
    explicit ObjectWriter(QIODevice& out) : out_(out) {}
    void raw(const QByteArray& bytes) {
        out_.write(bytes);
        at_ += bytes.size();
    }
    void object(int number, const QByteArray& text) {
        if (size_t(number) >= offsets_.size()) offsets_.resize(size_t(number) + 1, -1);
        offsets_[size_t(number)] = at_;
        raw(text);
        if (!text.endsWith('\n')) raw("\n");
    }
    void finish(int size) {
        offsets_.resize(size_t(size), -1);
        const qint64 xref = at_;
        QByteArray table = "xref\n0 " + QByteArray::number(size) + "\n0000000000 65535 f \n";
        for (int n = 1; n < size; ++n) {
            const qint64 offset = offsets_[size_t(n)];
            table += offset < 0 ? QByteArray("0000000000 65535 f \n")
                                : QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        }
        table += "trailer\n<< /Size " + QByteArray::number(size) + " /Root " + QByteArray::number(kCatalog) +
                 " 0 R /Info " + QByteArray::number(kInfo) + " 0 R >>\nstartxref\n" + QByteArray::number(xref) +
                 "\n%%EOF\n";
        raw(table);
    }

private:
    QIODevice& out_;
    qint64 at_ = 0;
    std::vector<qint64> offsets_;
};

QByteArray readSource(const QString& path) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw Error(err::PathFileAccess,
                    QStringLiteral("PDF ファイル「%1」を読み込めません。\r理由: %2")
                        .arg(path, systemReason(errno ? errno : QFileInfo(path).isDir() ? EISDIR : EIO)));
    return file.readAll();
}

}  // namespace

std::vector<int> joinPdfFiles(const QStringList& sources, QIODevice& out, const QString& title) {
    ObjectWriter writer(out);
    writer.raw("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    std::vector<int> firstPages;
    QByteArray kids;
    int pages = 0, next = kFirstFree;
    for (const QString& source : sources) {
        const PdfObjects pdf(source, readSource(source));
        if (pdf.sections != 1) pdf.fail("incremental update");
        const int root = pdfReference(pdf.trailer, "Root");
        const qint64 size = pdfNumber(pdf.trailer, "Size");
        if (root < 0 || size <= 0) pdf.fail("trailer");
        std::vector<int> pageObjects, nodes;
        pdf.collectPages(pdfReference(pdf.object(root), "Pages"), pageObjects, &nodes);
        // The catalog, the document information and the page-tree nodes are
        // the joined file's own; the pages hang from its one page tree.
        QSet<int> dropped{root, pdfReference(pdf.trailer, "Info")};
        const QSet<int> treeNodes(nodes.begin(), nodes.end());
        dropped.unite(treeNodes);
        const int base = next;
        const auto map = [&](int n) { return treeNodes.contains(n) ? kPageTree : base + n; };
        const auto order = pdf.objectsInFileOrder();
        for (size_t i = 0; i < order.size(); ++i) {
            const auto [offset, number] = order[i];
            if (dropped.contains(number)) continue;
            const qint64 end = i + 1 < order.size() ? order[i + 1].first : pdf.xref;
            if (end <= offset || end > pdf.bytes().size()) pdf.fail("object");
            writer.object(base + number, renumberedObject(QByteArrayView(pdf.bytes()).sliced(offset, end - offset),
                                                          base + number, map));
        }
        firstPages.push_back(pages);
        for (int page : pageObjects) kids += QByteArray::number(base + page) + " 0 R ";
        pages += int(pageObjects.size());
        next = base + int(size);
    }
    firstPages.push_back(pages);
    writer.object(kPageTree, "3 0 obj\n<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) +
                                 " >>\nendobj\n");
    writer.object(kCatalog, "1 0 obj\n<< /Type /Catalog /Pages 3 0 R >>\nendobj\n");
    writer.object(kInfo, "2 0 obj\n<< /Title " + pdfTextString(title) + " /Creator (Tabulon) /Producer (Tabulon)" +
                             " /CreationDate (D:" +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                             ") >>\nendobj\n");
    writer.finish(next);
    return firstPages;
}

}  // namespace tabulon::reports
