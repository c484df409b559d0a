#pragma once
// A Windows metafile (MS-WMF) played onto a painter: the drawing records
// office programs write when a picture is pasted (window origin and extent,
// pens, brushes, fonts, lines, polygons, rectangles, ellipses, arcs, text
// and bitmaps). Records it does not know are passed over; a record that
// runs past the end of the file ends the picture.
#include <QByteArray>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace tabulon::reports::sheet {

class WmfPicture {
public:
    // Reads the headers; an invalid picture when the bytes are no metafile.
    explicit WmfPicture(const QByteArray& bytes);
    bool isValid() const { return valid_; }
    // The picture's size in millimetres as its file gives it (its placeable
    // header, else its window at 1440 units an inch).
    QSizeF sizeMm() const { return sizeMm_; }
    // Plays the records into `target`; false when no record could be drawn.
    bool play(QPainter& p, const QRectF& target) const;

private:
    QByteArray bytes_;
    qsizetype records_ = 0;  // where the first record starts
    QRectF frame_;           // the picture in its own units
    QSizeF sizeMm_;
    bool valid_ = false;
};

}  // namespace tabulon::reports::sheet
