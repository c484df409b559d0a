#pragma once
// The pictures of a workbook as images to paint.
#include "host/model/Book.h"

#include <QImage>
#include <map>
#include <mutex>
#include <vector>

namespace tabulon::reports::sheet {

// The bitmap of a PNG, JPEG or BMP picture; a null image for a metafile, a
// damaged picture, or one that would need more memory than a page may take.
QImage pictureImage(const model::Picture& picture);

// The decoded pictures of one document: each picture of the workbook is
// decoded once, however often it is painted; when the images held pass the
// budget, the ones painted longest ago are let go (and decoded again when
// they are painted again). Pages of one document may be painted on several
// threads at once: the cache locks itself.
class PictureCache {
public:
    explicit PictureCache(qint64 budgetBytes = qint64(256) << 20) : budget_(budgetBytes) {}
    // The image of the picture (an index into pictures); null for none or
    // one that cannot be decoded.
    QImage image(int picture, const std::vector<model::Picture>& pictures);
    int decodes() const { return decodes_; }

private:
    struct Entry {
        QImage image;
        quint64 lastUse = 0;
    };
    std::mutex mutex_;
    std::map<int, Entry> entries_;
    qint64 budget_;
    qint64 held_ = 0;
    quint64 clock_ = 0;
    int decodes_ = 0;
};

}  // namespace tabulon::reports::sheet
