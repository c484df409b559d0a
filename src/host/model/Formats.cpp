#include "host/model/Formats.h"

namespace tabulon::model {

const Font& Formats::font(int index) const {
    static const Font standard;
    if (index >= 0 && size_t(index) < fonts.size()) return fonts[size_t(index)];
    return fonts.empty() ? standard : fonts.front();
}

const CellFormat& Formats::cellFormat(int index) const {
    static const CellFormat standard;
    if (index >= 0 && size_t(index) < cellFormats.size()) return cellFormats[size_t(index)];
    if (defaultFormat >= 0 && size_t(defaultFormat) < cellFormats.size()) return cellFormats[size_t(defaultFormat)];
    return standard;
}

}  // namespace tabulon::model
