#pragma once
// A Macintosh picture (QuickDraw PICT, version 2) as a picture to paint: the
// bitmaps it holds (indexed and direct pixel maps, packed or not, and
// QuickTime JPEG images) drawn where it places them. Its line drawings and
// texts are not drawn; a picture with no bitmap is no picture here.
#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <vector>

class QPainter;

namespace tabulon::reports::sheet {

class PictPicture {
public:
    // Reads the opcodes (after the 512 bytes of a file's header, when there
    // are); an invalid picture when no bitmap can be read.
    explicit PictPicture(const QByteArray& bytes);
    bool isValid() const { return !bitmaps_.empty(); }
    // The picture's frame at 72 points an inch, in millimetres.
    QSizeF sizeMm() const { return frame_.size() * 25.4 / 72; }
    bool play(QPainter& p, const QRectF& target) const;
    // The bitmap, when the picture is one bitmap over its whole frame (a
    // photograph): it prints at its own resolution. Null otherwise.
    QImage wholeBitmap() const;

private:
    struct Bitmap {
        QImage image;
        QRectF destination;  // in the frame's coordinates
    };
    bool read(const QByteArray& bytes, qsizetype at);
    QRectF frame_;
    std::vector<Bitmap> bitmaps_;
};

}  // namespace tabulon::reports::sheet
