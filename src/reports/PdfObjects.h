#pragma once
// The objects of a PDF file our writer (Qt's) produced: a classic
// cross-reference table with a trailer, maybe followed by incremental
// updates (bookmarks). Enough of the syntax to find objects, walk the page
// tree and copy objects into another file; not a general PDF reader.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <vector>

namespace tabulon::reports {

// The object number a key of a dictionary refers to ("/Root 2 0 R"), or -1.
int pdfReference(const QByteArray& dict, const char* key);
// The whole number after a key ("/Size 42"), or -1.
qint64 pdfNumber(const QByteArray& dict, const char* key);
// A text string of the file: UTF-16BE with its byte-order mark, in hex.
QByteArray pdfTextString(const QString& text);

class PdfObjects {
public:
    // Throws tabulon::Error 75 naming `path` (and what was missing) when the
    // bytes have not the structure our writer gives.
    PdfObjects(const QString& path, QByteArray bytes);

    QByteArray trailer;   // the newest trailer
    qint64 xref = 0;      // offset of the newest cross-reference section
    int sections = 0;     // 1 for a file as the writer left it

    // The text between "obj" and "endobj" of a dictionary object.
    QByteArray object(int n) const;
    // Page objects in reading order, through nested page-tree nodes; the
    // nodes themselves go to `nodes` when given.
    void collectPages(int node, std::vector<int>& pages, std::vector<int>* nodes = nullptr, int depth = 0) const;
    // The objects in use with their offsets, in file order.
    std::vector<std::pair<qint64, int>> objectsInFileOrder() const;
    const QByteArray& bytes() const { return bytes_; }
    [[noreturn]] void fail(const char* what) const;

private:
    QByteArray readSection(qint64 at);
    QString path_;
    QByteArray bytes_;
    QHash<int, qint64> offsets_;
};

// An object's text ("12 0 obj ... endobj") with its number and every
// reference inside renumbered through `map`; strings, comments and stream
// data are copied as they are.
QByteArray renumberedObject(QByteArrayView text, int newNumber, const std::function<int(int)>& map);

}  // namespace tabulon::reports
