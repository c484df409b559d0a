#pragma once
// Which file of the estate a link names. A workbook keeps the path of a linked
// workbook as the machine that saved it saw it ("\\server\share\dept\B.xls",
// "C:\data\B.xls", or a path relative to itself, which the reader resolves
// beside the workbook). The estate knows the files by their local paths, so a
// link is matched by its path where it is local, and otherwise by its file
// name and as many of the folders before it as agree, when that points at
// one file only. Nothing is opened: a link never leads the inventory out of
// its roots.
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct sqlite3;

namespace tabulon::inventory {

struct LinkTarget {
    qint64 id = 0;
    QString resolvedBy;  // "path" or "name"
};

class FileIndex {
public:
    void add(qint64 id, const QString& path);
    std::optional<LinkTarget> resolve(const QString& target) const;

private:
    struct Entry {
        qint64 id;
        QStringList folders;  // lower-cased, nearest first
    };
    QHash<QString, qint64> byPath_;
    QHash<QString, std::vector<Entry>> byName_;  // lower-cased file name
};

// The steps of a stored path, either separator, lower-cased, the file name
// first: "C:\Data\B.xls" -> b.xls, data, c:.
QStringList pathSteps(const QString& path);

// Resolves every link finding of the database against its present
// workbooks; returns how many were found.
qint64 resolveLinks(sqlite3* db);

}  // namespace tabulon::inventory
