#include "host/ooxml/sheet/SheetLayoutReader.h"

#include "host/ooxml/formula/FormulaLexer.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

#include <algorithm>
#include <cmath>

namespace tabulon::ooxml {

void SheetLayoutReader::start(const XmlElement& e) {
    const std::string_view n = e.local();
    // A custom view keeps margins, page setup, breaks, header and footer of
    // its own; the sheet prints with the sheet's.
    if (n == "customSheetViews") customViews_ = true;
    if (customViews_) return;
    model::PageSetup& page = l_.page;
    if (n == "col") {
        const int first = int(std::clamp<long long>(e.integer("min", 1), 1, kMaxCols)) - 1;
        const int last = int(std::clamp<long long>(e.integer("max", first + 1), first + 1, kMaxCols)) - 1;
        if (size_t(last) >= l_.columns.size()) l_.columns.resize(size_t(last) + 1);
        const double width = e.number("width", -1);
        for (int c = first; c <= last; ++c) {
            model::ColumnFormat& f = l_.columns[size_t(c)];
            if (width >= 0 && width <= 255) f.width256 = int(std::lround(width * 256));
            f.hidden = e.flag("hidden");
            if (e.has("style")) f.format = int(e.integer("style"));
        }
    } else if (n == "sheetFormatPr") {
        l_.defaultColumnChars = std::clamp(e.number("baseColWidth", 8), 0.0, 255.0);
        if (e.has("defaultColWidth")) l_.standardWidth256 = int(std::lround(std::clamp(e.number("defaultColWidth"), 0.0, 255.0) * 256));
        const double ht = e.number("defaultRowHeight", 15);
        if (ht > 0 && ht <= 409) l_.defaultRowTwips = int(std::lround(ht * 20));
        l_.defaultRowsHidden = e.flag("zeroHeight");
    } else if (n == "mergeCell") {
        model::Area a;
        if (parseAreaText(e.attr("ref"), a)) l_.merges.push_back(a);
    } else if (n == "sheetView") {
        l_.showZeros = e.flag("showZeros", true);
    } else if (n == "pageSetUpPr") {
        fitToPage_ = e.flag("fitToPage");
    } else if (n == "printOptions") {
        page.gridlines = e.flag("gridLines");
        page.headings = e.flag("headings");
        page.hCenter = e.flag("horizontalCentered");
        page.vCenter = e.flag("verticalCentered");
    } else if (n == "pageMargins") {
        page.left = e.number("left", page.left), page.right = e.number("right", page.right);
        page.top = e.number("top", page.top), page.bottom = e.number("bottom", page.bottom);
        page.header = e.number("header", page.header), page.footer = e.number("footer", page.footer);
    } else if (n == "pageSetup") {
        page.paperSize = int(e.integer("paperSize", page.paperSize));
        const long long scale = e.integer("scale", 100);
        if (scale >= 10 && scale <= 400) page.scale = int(scale);
        page.fitWidth = int(e.integer("fitToWidth", 1));
        page.fitHeight = int(e.integer("fitToHeight", 1));
        page.landscape = e.attr("orientation") == "landscape";
        page.downThenOver = e.attr("pageOrder") != "overThenDown";
        if (e.flag("useFirstPageNumber")) page.firstPageNumber = int(e.integer("firstPageNumber", 1));
        page.blackAndWhite = e.flag("blackAndWhite");
        const std::string_view comments = e.attr("cellComments");
        page.comments = comments == "asDisplayed" ? 1 : comments == "atEnd" ? 2 : 0;
    } else if (n == "oddHeader") {
        text_ = Text::Header;
    } else if (n == "oddFooter") {
        text_ = Text::Footer;
    } else if (n == "rowBreaks") {
        breaks_ = Breaks::Rows;
    } else if (n == "colBreaks") {
        breaks_ = Breaks::Cols;
    } else if (n == "brk" && breaks_ != Breaks::None) {
        const long long id = e.integer("id", -1);
        const int limit = breaks_ == Breaks::Rows ? kMaxRows : kMaxCols;
        if (id > 0 && id < limit) (breaks_ == Breaks::Rows ? l_.page.rowBreaks : l_.page.colBreaks).push_back(int(id));
    }
}

void SheetLayoutReader::end(std::string_view local) {
    if (local == "customSheetViews") customViews_ = false;
    if (local == "oddHeader" || local == "oddFooter") text_ = Text::None;
    else if (local == "rowBreaks" || local == "colBreaks") breaks_ = Breaks::None;
}

void SheetLayoutReader::text(std::string_view chars) {
    if (text_ == Text::Header) l_.page.headerText += qstr(chars);
    else if (text_ == Text::Footer) l_.page.footerText += qstr(chars);
}

void SheetLayoutReader::row(const XmlElement& e, int row) {
    const bool custom = e.flag("customHeight");
    const bool hidden = e.flag("hidden");
    const bool styled = e.flag("customFormat") && e.has("s");  // its empty cells take the row's style
    if (!custom && !hidden && !styled) return;
    model::RowFormat& f = l_.rows[row];
    if (styled) f.format = int(e.integer("s"));
    const double ht = e.number("ht", -1);
    if (custom && ht >= 0 && ht <= 409) f.twips = int(std::lround(ht * 20));
    f.hidden = hidden;
}

void SheetLayoutReader::cellFormat(int row, int col, int format) {
    if (format < 0 || format > 0xFFFF) return;
    // The first format stands for every cell that names none: kept only
    // where the column has another.
    if (format == 0 && l_.column(col).format <= 0) return;
    l_.cellFormats.push_back({row, uint16_t(col), uint16_t(format)});
}

void SheetLayoutReader::finish() {
    l_.page.fitToPage = fitToPage_;
    auto less = [](const model::CellFormatAt& a, const model::CellFormatAt& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; };
    if (!std::is_sorted(l_.cellFormats.begin(), l_.cellFormats.end(), less))
        std::stable_sort(l_.cellFormats.begin(), l_.cellFormats.end(), less);
    std::sort(l_.page.rowBreaks.begin(), l_.page.rowBreaks.end());
    std::sort(l_.page.colBreaks.begin(), l_.page.colBreaks.end());
}

}  // namespace tabulon::ooxml
