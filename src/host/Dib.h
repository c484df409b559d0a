#pragma once
// A device-independent bitmap (a BITMAPINFOHEADER, its colour table and
// pixels, as drawing groups and metafiles hold one) as a whole .bmp file,
// so any image reader takes it.
#include <QByteArray>

namespace tabulon::host {

// The .bmp file of `dib`: a file header that gives the file's size and
// where the pixels start, then the bitmap; empty when its info header is
// damaged.
QByteArray bmpFileOfDib(const QByteArray& dib);

}  // namespace tabulon::host
