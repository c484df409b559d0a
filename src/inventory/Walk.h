#pragma once
// The walk over the estate's folders: every regular file under the roots, on
// the roots' own file systems, without following a symbolic link (so no link
// leads out of the roots and no loop of links can hold the walk), each folder
// entered once even when a bind mount shows it twice.
#include <QString>
#include <QStringList>
#include <vector>

namespace tabulon::inventory {

struct WalkEntry {
    QString path;
    qint64 size = 0;
    qint64 mtimeNs = 0;
};

struct WalkProblem {
    QString path;
    QString reason;  // Japanese
};

struct WalkResult {
    std::vector<WalkEntry> files;  // sorted by path
    std::vector<WalkProblem> problems;
};

// The roots as absolute paths without symbolic links; throws tabulon::Error
// (Japanese) for a root that is missing.
QStringList canonicalRoots(const QStringList& roots);

// Walks the canonical roots. A pattern without "/" is matched against the
// name of each file and folder, one with "/" against the whole path; what
// matches is left out (a folder with everything under it).
WalkResult walk(const QStringList& roots, const QStringList& excludes);

bool isExcluded(const QString& path, const QStringList& patterns);
// `path` is `root` or lies under it.
bool isUnder(const QString& path, const QString& root);

// The size and time of one file, as the walk gives them; false when it is
// no longer there as a regular file.
bool statFile(const QString& path, WalkEntry& entry, int* error = nullptr);

}  // namespace tabulon::inventory
