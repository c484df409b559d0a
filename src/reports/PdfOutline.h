#pragma once
// Bookmarks (the PDF outline) for a file our PDF writer produced. Qt's writer
// has no outline, so they are appended afterwards as an incremental update:
// a new catalog pointing at an outline whose entries open given pages. The
// bytes already written stay as they are.
#include <QString>
#include <vector>

namespace tabulon::reports {

struct Bookmark {
    QString title;
    int page = 0;  // 0-based page of the file the entry opens
    std::vector<Bookmark> children;  // entries nested under this one, shown open
};

// Appends the bookmarks (a tree) to the PDF at pdfPath, which opens with them
// shown.
// Throws tabulon::Error 75 when the file cannot be read or written, or has
// not the structure our writer gives.
void appendOutline(const QString& pdfPath, const std::vector<Bookmark>& bookmarks);

}  // namespace tabulon::reports
