#include "reports/sheet/SheetPictures.h"

#include <QBuffer>
#include <QImageReader>

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

}  // namespace tabulon::reports::sheet
