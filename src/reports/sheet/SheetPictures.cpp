#include "reports/sheet/SheetPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

namespace tabulon::reports::sheet {

namespace {

constexpr qint64 kMaxPixels = 40'000'000;  // a 40-megapixel photograph still prints
constexpr int kAllocationLimitMb = 256;

}  // namespace

QImage pictureImage(const xls::Blip& blip) {
    if (blip.kind != xls::Blip::Png && blip.kind != xls::Blip::Jpeg && blip.kind != xls::Blip::Bmp) return {};
    QByteArray bytes = blip.data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, blip.kind == xls::Blip::Png ? "png" : blip.kind == xls::Blip::Jpeg ? "jpeg" : "bmp");
    reader.setAllocationLimit(kAllocationLimitMb);
    // The size the picture claims is checked before any pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels) return {};
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

QImage PictureCache::image(int pib, const std::vector<xls::Blip>& blips) {
    if (pib <= 0 || size_t(pib) > blips.size()) return {};
    const std::lock_guard<std::mutex> lock(mutex_);
    ++clock_;
    if (auto it = entries_.find(pib); it != entries_.end()) {
        it->second.lastUse = clock_;
        return it->second.image;
    }
    ++decodes_;
    QImage decoded = pictureImage(blips[size_t(pib - 1)]);
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
        entries_[pib] = Entry{decoded, clock_};
        held_ += size;
    }
    return decoded;
}

}  // namespace tabulon::reports::sheet
