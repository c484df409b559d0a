#include "reports/sheet/SheetPictures.h"

#include "reports/sheet/EmfPicture.h"
#include "reports/sheet/PictPicture.h"
#include "reports/sheet/WmfPlayer.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <algorithm>

namespace tabulon::reports::sheet {

namespace {

constexpr qint64 kMaxPixels = 40'000'000;  // a 40-megapixel photograph still prints
constexpr int kAllocationLimitMb = 256;
constexpr double kMetafileDpi = 200;
constexpr int kMetafileMinSide = 256, kMetafileMaxSide = 2048;

template <class Metafile>
QImage drawn(const Metafile& metafile) {
    if (!metafile.isValid()) return {};
    QImage image(metafilePixels(metafile.sizeMm()), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool any = metafile.play(p, QRectF(QPointF(0, 0), QSizeF(image.size())));
    p.end();
    return any ? image : QImage();
}

}  // namespace

QImage decodeImage(const QByteArray& file, const char* format) {
    QByteArray bytes = file;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(kAllocationLimitMb);
    // The size the picture claims is checked before any pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels) return {};
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

QSize metafilePixels(QSizeF mm) {
    QSizeF px = mm / 25.4 * kMetafileDpi;
    if (!(px.width() > 0 && px.height() > 0)) return {};
    const double longest = std::max(px.width(), px.height());
    if (longest > kMetafileMaxSide) px *= kMetafileMaxSide / longest;
    else if (longest < kMetafileMinSide) px *= kMetafileMinSide / longest;
    return QSize(std::max(1, qRound(px.width())), std::max(1, qRound(px.height())));
}

QImage pictureImage(const model::Picture& picture) {
    using model::Picture;
    switch (picture.kind) {
    case Picture::Png: return decodeImage(picture.data, "png");
    case Picture::Jpeg: return decodeImage(picture.data, "jpeg");
    case Picture::Bmp: return decodeImage(picture.data, "bmp");
    case Picture::Emf: return drawn(EmfPicture(picture.data));
    case Picture::Wmf: return drawn(WmfPicture(picture.data));
    case Picture::Other: return decodeImage(picture.data, nullptr);  // GIF, TIFF
    case Picture::Pict: {
        const PictPicture pict(picture.data);
        const QImage whole = pict.wholeBitmap();
        return whole.isNull() ? drawn(pict) : whole;
    }
    case Picture::Missing: break;
    }
    return {};
}

std::shared_ptr<PictureCache> PictureCache::of(const model::Book& book) {
    // By the workbook's address: a document keeps its workbook, so no other
    // workbook takes the address while a cache made for it lasts.
    static std::mutex mutex;
    static std::map<const model::Book*, std::weak_ptr<PictureCache>> caches;
    const std::lock_guard<std::mutex> lock(mutex);
    std::erase_if(caches, [](const auto& entry) { return entry.second.expired(); });
    std::weak_ptr<PictureCache>& slot = caches[&book];
    std::shared_ptr<PictureCache> cache = slot.lock();
    if (!cache) slot = cache = std::make_shared<PictureCache>();
    return cache;
}

QImage PictureCache::image(int picture, const std::vector<model::Picture>& pictures) {
    if (picture < 0 || size_t(picture) >= pictures.size()) return {};
    std::shared_ptr<Entry> entry;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::shared_ptr<Entry>& slot = entries_[picture];
        if (!slot) slot = std::make_shared<Entry>();
        slot->lastUse = ++clock_;
        entry = slot;
    }
    const std::lock_guard<std::mutex> decoding(entry->decoding);
    if (entry->decoded) return entry->image;
    QImage decoded = pictureImage(pictures[size_t(picture)]);
    entry->image = decoded;
    entry->decoded = true;
    keep(picture, decoded.sizeInBytes());
    return decoded;
}

// Counts a newly decoded picture against the budget, letting go of the
// pictures painted longest ago; one larger than the whole budget is painted
// but not kept.
void PictureCache::keep(int picture, qint64 size) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++decodes_;
    if (size > budget_) {
        entries_.erase(picture);
        return;
    }
    while (held_ + size > budget_) {
        auto oldest = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->first != picture && it->second->decoded && it->second->image.sizeInBytes() > 0 &&
                (oldest == entries_.end() || it->second->lastUse < oldest->second->lastUse))
                oldest = it;
        if (oldest == entries_.end()) break;
        held_ -= oldest->second->image.sizeInBytes();
        entries_.erase(oldest);
    }
    held_ += size;
}

int PictureCache::decodes() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return decodes_;
}

}  // namespace tabulon::reports::sheet
