#pragma once
// An enhanced metafile (MS-EMF) as a picture to paint: libemf2svg turns its
// records into an SVG document, Qt's SVG renderer draws that. The texts are
// set in the faces the sheet print uses for the fonts the metafile names.
#include <QByteArray>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace tabulon::reports::sheet {

class EmfPicture {
public:
    // Converts the records; an invalid picture when the header is damaged or
    // the converter refuses them.
    explicit EmfPicture(const QByteArray& bytes);
    bool isValid() const { return !svg_.isEmpty(); }
    // The picture's size in millimetres (its header's frame).
    QSizeF sizeMm() const { return sizeMm_; }
    // Draws the picture into `target`; false when nothing could be drawn.
    bool play(QPainter& p, const QRectF& target) const;

private:
    QByteArray svg_;
    QSizeF sizeMm_;
};

// An SVG document with every font-family named by the face the sheet print
// sets that font in (Japanese business fonts by the report face).
QByteArray withReportFaces(const QByteArray& svg);

}  // namespace tabulon::reports::sheet
