#include "reports/sheet/SheetPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

namespace tabulon::reports::sheet {

namespace {

constexpr qint64 kMaxPixels = 40'000'000;  // a 40-megapixel photograph still prints
constexpr int kAllocationLimitMb = 256;

}  // namespace

QImage pictureImage(const model::Picture& picture) {
    using model::Picture;
    if (picture.kind != Picture::Png && picture.kind != Picture::Jpeg && picture.kind != Picture::Bmp) return {};
    QByteArray bytes = picture.data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, picture.kind == Picture::Png ? "png" : picture.kind == Picture::Jpeg ? "jpeg" : "bmp");
    reader.setAllocationLimit(kAllocationLimitMb);
    // The size the picture claims is checked before any pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels) return {};
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

QImage PictureCache::image(int picture, const std::vector<model::Picture>& pictures) {
    if (picture < 0 || size_t(picture) >= pictures.size()) return {};
    const std::lock_guard<std::mutex> lock(mutex_);
    ++clock_;
    if (auto it = entries_.find(picture); it != entries_.end()) {
        it->second.lastUse = clock_;
        return it->second.image;
    }
    ++decodes_;
    QImage decoded = pictureImage(pictures[size_t(picture)]);
    const qint64 size = decoded.sizeInBytes();
    while (held_ + size > budget_ && !entries_.empty()) {
        const auto oldest = std::min_element(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        });
        held_ -= oldest->second.image.sizeInBytes();
        entries_.erase(oldest);
    }
    // A picture larger than the whole budget is painted but not kept.
    if (size <= budget_) {
        entries_[picture] = Entry{decoded, clock_};
        held_ += size;
    }
    return decoded;
}

}  // namespace tabulon::reports::sheet
