#pragma once
// The pictures of a workbook's BLIP store as images to paint.
#include "host/xls/SheetLayout.h"

#include <QImage>

namespace tabulon::reports::sheet {

// The bitmap of a PNG, JPEG or BMP picture; a null image for a metafile, a
// damaged picture, or one that would need more memory than a page may take.
QImage pictureImage(const xls::Blip& blip);

}  // namespace tabulon::reports::sheet
