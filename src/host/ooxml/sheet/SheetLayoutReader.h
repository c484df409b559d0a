#pragma once
// The layout elements of a worksheet part: column widths and formats, row
// heights, merged areas, each cell's format, print options, margins, page
// setup, header and footer, page breaks and the zero display, into the
// model's sheet layout.
#include "host/model/Layout.h"

#include <string_view>

namespace tabulon::ooxml {

class XmlElement;

class SheetLayoutReader {
public:
    explicit SheetLayoutReader(model::SheetLayout& layout) : l_(layout) {}
    void start(const XmlElement& e);
    void end(std::string_view local);
    void text(std::string_view chars);
    void row(const XmlElement& e, int row);
    void cellFormat(int row, int col, int format);
    void finish();

private:
    model::SheetLayout& l_;
    enum class Text { None, Header, Footer } text_ = Text::None;
    bool customViews_ = false;
    enum class Breaks { None, Rows, Cols } breaks_ = Breaks::None;
    bool fitToPage_ = false;
};

}  // namespace tabulon::ooxml
