#pragma once
// The pictures of a workbook as images to paint.
#include "host/model/Book.h"

#include <QImage>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace tabulon::reports::sheet {

// The image of a picture: bitmaps (PNG, JPEG, BMP and whatever else Qt's
// image readers take) decoded, metafiles (EMF, WMF, the bitmaps of a PICT)
// drawn at 200 dots an inch of their own size (at most 2048 pixels a side,
// on a transparent ground; a PICT that is one bitmap is that bitmap); a
// null image for a damaged picture or one that would need more memory than
// a page may take.
QImage pictureImage(const model::Picture& picture);

// An image file decoded, its claimed size checked first; null when it is
// damaged or too large. `format` names the reader, or is null to let Qt tell.
QImage decodeImage(const QByteArray& file, const char* format);

// The pixel size a metafile of this size in millimetres is drawn at.
QSize metafilePixels(QSizeF mm);

// The decoded pictures of one workbook's print images: each picture is
// decoded once, however often it is painted; when the images held pass the
// budget, the ones painted longest ago are let go (and decoded again when
// they are painted again). Pages of one document may be painted on several
// threads at once: the cache locks itself, and a picture being decoded holds
// up only the pages that paint it.
class PictureCache {
public:
    explicit PictureCache(qint64 budgetBytes = qint64(256) << 20) : budget_(budgetBytes) {}
    // The cache the print images of one workbook share, so that a picture
    // shown on several sheets is decoded once; it lasts while one of them
    // holds it.
    static std::shared_ptr<PictureCache> of(const model::Book& book);
    // The image of the picture (an index into pictures); null for none or
    // one that cannot be decoded.
    QImage image(int picture, const std::vector<model::Picture>& pictures);
    int decodes() const;

private:
    struct Entry {
        std::mutex decoding;  // held while the picture is decoded
        std::atomic<bool> decoded = false;  // set once image holds the picture, which then stays
        QImage image;
        quint64 lastUse = 0;
    };
    void keep(int picture, qint64 size);

    mutable std::mutex mutex_;  // guards the fields below, not the entries' images
    std::map<int, std::shared_ptr<Entry>> entries_;
    qint64 budget_;
    qint64 held_ = 0;
    quint64 clock_ = 0;
    int decodes_ = 0;
};

}  // namespace tabulon::reports::sheet
