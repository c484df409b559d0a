#pragma once
// One PDF made of several that our writer produced, without painting a page
// again: the pages of each file in order, with the fonts and pictures each
// brought. The combined documentation is joined from the chapters' own files.
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <vector>

namespace tabulon::reports {

// Writes the pages of `sources`, in order, as one PDF into `out` (open for
// writing), titled `title`. Returns the 0-based page each source starts on;
// the total is the last entry. Throws tabulon::Error 75 when a source cannot
// be read or has not the structure our writer gives.
std::vector<int> joinPdfFiles(const QStringList& sources, QIODevice& out, const QString& title);

}  // namespace tabulon::reports
