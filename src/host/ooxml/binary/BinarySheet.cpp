#include "host/ooxml/binary/BinarySheet.h"

#include "common/Error.h"
#include "host/model/Notation.h"
#include "host/ooxml/binary/Records.h"
#include "host/ooxml/sheet/SheetLayoutReader.h"
#include "host/xls/FormulaDecoder.h"
#include "host/xls/Readers.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tabulon::ooxml {

namespace {

using xls::ByteCursor;

namespace brt {
constexpr uint32_t RowHdr = 0x00, CellBlank = 0x01, CellRk = 0x02, CellError = 0x03, CellBool = 0x04, CellReal = 0x05,
                   CellSt = 0x06, CellIsst = 0x07, FmlaString = 0x08, FmlaNum = 0x09, FmlaBool = 0x0A, FmlaError = 0x0B;
constexpr uint32_t ColInfo = 0x3C, CellRString = 0x3E, BeginWsView = 0x89, WsProp = 0x93, WsDim = 0x94;
constexpr uint32_t MergeCell = 0xB0, BeginRwBrk = 0x188, EndRwBrk = 0x189, BeginColBrk = 0x18A, EndColBrk = 0x18B,
                   Brk = 0x18C;
constexpr uint32_t BeginUserShViews = 0x1A6, EndUserShViews = 0x1A9, ArrFmla = 0x1AA, ShrFmla = 0x1AB, Table = 0x1AC;
constexpr uint32_t Margins = 0x1DC, PrintOptions = 0x1DD, PageSetup = 0x1DE, BeginHeaderFooter = 0x1DF, WsFmtInfo = 0x1E5;
constexpr uint32_t SheetProtection = 0x217, Drawing = 0x226, LegacyDrawing = 0x227, SheetProtectionIso = 0x2A6;
}  // namespace brt

constexpr uint8_t kPtgExp = 0x01, kPtgTbl = 0x02;

// A body several cells share, stored once after the first of them.
struct Body {
    model::Area area;
    std::vector<uint8_t> rgce, extra;
    bool array = false;
    uint32_t text = 0;  // an array's text, once decoded
    bool decoded = false;
};

// A data table: the cells of its range show TABLE(row input, column input).
struct TableBody {
    model::Area area;
    int rowInRow = 0, rowInCol = 0, colInRow = 0, colInCol = 0;
    bool rowInput = false, twoInputs = false;
};

// A cell whose formula is in a body or a table found later.
struct Pending {
    size_t cell;
    int row, col;  // the first cell of the body, as the cell's token names it
    bool table;
};

class SheetRecords {
public:
    SheetRecords(const QString& part, const BinarySheetContext& ctx, model::Sheet& sheet, SheetRefs& refs, QStringList& warnings)
        : part_(part), ctx_(ctx), sheet_(sheet), refs_(refs), warnings_(warnings), layout_(sheet.layout) {}

    void record(const BinaryRecord& r);
    void finish();
    void warn(const QString& text) {
        if (warnings_.size() < 100) warnings_ << QStringLiteral("sheet '%1': %2").arg(sheet_.name, text);
    }

private:
    // The cell head every cell record starts with: column, cell format. The
    // cell is kept (push) once its value has been read.
    model::CellData head(ByteCursor& c, model::CellType type);
    void push(const model::CellData& d) { sheet_.cells.push_back(d); }
    void formulaCell(ByteCursor& c, model::CellType type);
    QString decode(const uint8_t* rgce, size_t cce, const uint8_t* extra, size_t cb, int row, int col,
                   xls::FormulaKind kind);
    void body(ByteCursor& c, bool array);
    void touch(int r, int c) {
        if (extent_.firstRow < 0) { extent_ = {r, r, c, c}; return; }
        extent_.firstRow = std::min(extent_.firstRow, r), extent_.lastRow = std::max(extent_.lastRow, r);
        extent_.firstCol = std::min(extent_.firstCol, c), extent_.lastCol = std::max(extent_.lastCol, c);
    }
    uint32_t addText(QString text) {
        sheet_.texts.push_back(std::move(text));
        return uint32_t(sheet_.texts.size() - 1);
    }

    const QString& part_;
    const BinarySheetContext& ctx_;
    model::Sheet& sheet_;
    SheetRefs& refs_;
    QStringList& warnings_;
    SheetLayoutReader layout_;
    int row_ = 0;
    enum class Breaks { None, Rows, Cols } breaks_ = Breaks::None;
    // Inside the sheet's custom views: each holds its own page setup,
    // breaks, header and footer, none of them the sheet's.
    bool inCustomViews_ = false;
    bool fitToPage_ = false;
    model::Area extent_{-1, -1, -1, -1}, dimension_{-1, -1, -1, -1};
    std::map<std::pair<int, int>, Body> bodies_;
    std::map<std::pair<int, int>, TableBody> tables_;
    std::vector<Pending> pending_;
    size_t lost_ = 0;
};

model::CellData SheetRecords::head(ByteCursor& c, model::CellType type) {
    const uint32_t col = c.u32();
    const uint32_t style = c.u32() & 0xFFFFFF;
    if (col >= 16384) throw xls::FormatError(QStringLiteral("cell outside the sheet"), c.pos());
    touch(row_, int(col));
    if (style) layout_.cellFormat(row_, int(col), int(std::min<uint32_t>(style, 0xFFFF)));
    model::CellData d;
    d.row = row_;
    d.col = uint16_t(col);
    d.type = type;
    return d;
}

QString SheetRecords::decode(const uint8_t* rgce, size_t cce, const uint8_t* extra, size_t cb, int row, int col,
                             xls::FormulaKind kind) {
    xls::FormulaInput in;
    in.rgce = rgce;
    in.cce = cce;
    in.extra = cb ? extra : nullptr;
    in.extraSize = cb;
    in.row = row;
    in.col = col;
    in.kind = kind;
    in.sheetName = &sheet_.name;
    in.biff12 = true;
    try {
        return xls::decodeFormula(in, *ctx_.formulas);
    } catch (const Error& e) {
        warn(QStringLiteral("formula of %1 unreadable: %2").arg(model::cellAddress(row, col, false), e.description()));
    }
    return QString();
}

// BrtFmla*: the cell head, the cached result, flags, then the formula as a
// CellParsedFormula. A formula of a shared or array body or of a data table
// is one token naming the body's first row; the column follows in the extra
// bytes (PtgExtraCol).
void SheetRecords::formulaCell(ByteCursor& c, model::CellType type) {
    // Everything is read before the cell is kept: a record cut short keeps none.
    ByteCursor f = c;
    f.skip(8);
    double number = 0;
    QString text;
    switch (type) {
    case model::CellType::Number: number = f.f64(); break;
    case model::CellType::Boolean: number = f.u8() ? 1 : 0; break;
    case model::CellType::Error: number = f.u8(); break;
    default: text = wideString(f); break;
    }
    f.skip(2);  // flags
    const uint32_t cce = f.u32();
    const uint8_t* rgce = f.take(cce);
    const uint32_t cb = f.u32();
    const uint8_t* extra = f.take(cb);
    model::CellData d = head(c, type);
    d.number = number;
    if (type == model::CellType::Text) {
        d.flags |= model::CellData::OwnText;
        d.text = addText(std::move(text));
    }
    d.flags |= model::CellData::HasFormula;
    if (cce == 5 && (rgce[0] == kPtgExp || rgce[0] == kPtgTbl)) {
        const auto u32at = [](const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; };
        const int anchorRow = int(std::min<uint32_t>(u32at(rgce + 1), 1048575));
        const int anchorCol = cb >= 4 ? int(std::min<uint32_t>(u32at(extra), 16383)) : d.col;
        d.formula = addText(QStringLiteral("="));  // until its body is found
        pending_.push_back({sheet_.cells.size(), anchorRow, anchorCol, rgce[0] == kPtgTbl});
        push(d);
        return;
    }
    d.formula = addText(decode(rgce, cce, extra, cb, d.row, d.col, xls::FormulaKind::Cell));
    push(d);
}

// BrtShrFmla / BrtArrFmla: the range, (an array's flags,) the formula.
void SheetRecords::body(ByteCursor& c, bool array) {
    Body b;
    b.area = readArea(c);
    b.array = array;
    if (array) c.skip(1);
    const uint32_t cce = c.u32();
    const uint8_t* rgce = c.take(cce);
    const uint32_t cb = c.u32();
    const uint8_t* extra = c.take(cb);
    b.rgce.assign(rgce, rgce + cce);
    b.extra.assign(extra, extra + cb);
    bodies_[{b.area.firstRow, b.area.firstCol}] = std::move(b);
}

void SheetRecords::record(const BinaryRecord& r) {
    ByteCursor c = r.cursor();
    model::PageSetup& page = sheet_.layout.page;
    if (r.type == brt::BeginUserShViews || r.type == brt::EndUserShViews) inCustomViews_ = r.type == brt::BeginUserShViews;
    if (inCustomViews_) return;
    switch (r.type) {
    case brt::RowHdr: {
        const uint32_t rw = c.u32();
        if (rw >= 1048576) throw xls::FormatError(QStringLiteral("row outside the sheet"), c.pos());
        row_ = int(rw);
        c.skip(4);  // the row's format
        const uint16_t height = c.u16();
        c.skip(1);
        const uint8_t flags = c.u8();
        const bool hidden = flags & 0x10, custom = flags & 0x20;
        if (hidden || custom) {
            model::RowFormat& f = sheet_.layout.rows[row_];
            if (custom && height <= 8180) f.twips = height;
            f.hidden = hidden;
        }
        break;
    }
    case brt::CellBlank: head(c, model::CellType::Empty); break;
    case brt::CellRk: {
        model::CellData d = head(c, model::CellType::Number);
        d.number = xls::rkValue(c.u32());
        push(d);
        break;
    }
    case brt::CellError:
    case brt::CellBool: {
        model::CellData d = head(c, r.type == brt::CellBool ? model::CellType::Boolean : model::CellType::Error);
        const uint8_t v = c.u8();
        d.number = r.type == brt::CellBool ? (v ? 1 : 0) : v;
        push(d);
        break;
    }
    case brt::CellReal: {
        model::CellData d = head(c, model::CellType::Number);
        d.number = c.f64();
        push(d);
        break;
    }
    case brt::CellSt:
    case brt::CellRString: {
        model::CellData d = head(c, model::CellType::Text);
        RichText t = r.type == brt::CellSt ? RichText{wideString(c), {}} : richText(c);
        d.flags |= model::CellData::OwnText;
        d.text = addText(std::move(t.text));
        if (!t.runs.empty()) sheet_.textRuns.emplace(d.text, std::move(t.runs));
        push(d);
        break;
    }
    case brt::CellIsst: {
        model::CellData d = head(c, model::CellType::Text);
        d.text = c.u32();
        if (d.text >= ctx_.sharedStringCount) ++lost_;
        else push(d);
        break;
    }
    case brt::FmlaString: formulaCell(c, model::CellType::Text); break;
    case brt::FmlaNum: formulaCell(c, model::CellType::Number); break;
    case brt::FmlaBool: formulaCell(c, model::CellType::Boolean); break;
    case brt::FmlaError: formulaCell(c, model::CellType::Error); break;
    case brt::ShrFmla: body(c, false); break;
    case brt::ArrFmla: body(c, true); break;
    case brt::Table: {
        TableBody t;
        t.area = readArea(c);
        t.rowInRow = int(std::min<uint32_t>(c.u32(), 1048575));
        t.rowInCol = int(std::min<uint32_t>(c.u32(), 16383));
        t.colInRow = int(std::min<uint32_t>(c.u32(), 1048575));
        t.colInCol = int(std::min<uint32_t>(c.u32(), 16383));
        const uint8_t flags = c.u8();
        t.rowInput = flags & 0x02;
        t.twoInputs = flags & 0x04;
        tables_[{t.area.firstRow, t.area.firstCol}] = t;
        break;
    }
    case brt::WsDim: dimension_ = readArea(c); break;
    case brt::WsProp: {
        const uint32_t flags = c.u8() | uint32_t(c.u8()) << 8;
        fitToPage_ = flags & 0x100;
        c.skip(1 + 8 + 8);  // more flags, the tab colour, the synchronised scroll position
        if (!c.atEnd()) sheet_.codeName = wideString(c);
        break;
    }
    case brt::WsFmtInfo: {
        const uint32_t width = c.u32();
        const uint16_t chars = c.u16();
        const uint16_t height = c.u16();
        const uint16_t flags = c.u16();
        if (width != 0xFFFFFFFFu && width <= 255 * 256) sheet_.layout.standardWidth256 = int(width);
        if (chars <= 255) sheet_.layout.defaultColumnChars = chars;
        if (height > 0 && height <= 8180) sheet_.layout.defaultRowTwips = height;
        sheet_.layout.defaultRowsHidden = flags & 0x02;
        break;
    }
    case brt::ColInfo: {
        const uint32_t first = c.u32(), last = c.u32(), width = c.u32(), style = c.u32();
        const uint16_t flags = c.u16();
        if (first > last || last >= 16384) throw xls::FormatError(QStringLiteral("columns outside the sheet"), c.pos());
        std::vector<model::ColumnFormat>& cols = sheet_.layout.columns;
        if (last >= cols.size()) cols.resize(size_t(last) + 1);
        for (uint32_t i = first; i <= last; ++i) {
            model::ColumnFormat& f = cols[i];
            if (width <= 255 * 256) f.width256 = int(width);
            f.hidden = flags & 0x01;
            if (style) f.format = int(std::min<uint32_t>(style, 0xFFFF));
        }
        break;
    }
    case brt::MergeCell: sheet_.layout.merges.push_back(readArea(c)); break;
    case brt::BeginWsView: sheet_.layout.showZeros = c.u16() & 0x10; break;
    case brt::BeginRwBrk: breaks_ = Breaks::Rows; break;
    case brt::BeginColBrk: breaks_ = Breaks::Cols; break;
    case brt::EndRwBrk:
    case brt::EndColBrk: breaks_ = Breaks::None; break;
    case brt::Brk: {
        const uint32_t at = c.u32();
        if (breaks_ == Breaks::Rows && at > 0 && at < 1048576) page.rowBreaks.push_back(int(at));
        if (breaks_ == Breaks::Cols && at > 0 && at < 16384) page.colBreaks.push_back(int(at));
        break;
    }
    case brt::Margins:
        page.left = c.f64(), page.right = c.f64(), page.top = c.f64(), page.bottom = c.f64();
        page.header = c.f64(), page.footer = c.f64();
        break;
    case brt::PrintOptions: {
        const uint16_t flags = c.u16();
        page.hCenter = flags & 0x01, page.vCenter = flags & 0x02;
        page.headings = flags & 0x04, page.gridlines = flags & 0x08;
        break;
    }
    case brt::PageSetup: {
        page.paperSize = int(std::min<uint32_t>(c.u32(), 0xFFFF));
        const uint32_t scale = c.u32();
        if (scale >= 10 && scale <= 400) page.scale = int(scale);
        c.skip(12);  // resolutions, copies
        const int32_t start = c.i32();
        page.fitWidth = int(std::min<uint32_t>(c.u32(), 32767));
        page.fitHeight = int(std::min<uint32_t>(c.u32(), 32767));
        const uint16_t flags = c.u16();
        page.downThenOver = !(flags & 0x01);
        page.landscape = flags & 0x02;
        page.blackAndWhite = flags & 0x08;
        if (flags & 0x80) page.firstPageNumber = start;
        page.comments = (flags & 0x20) ? ((flags & 0x200) ? 2 : 1) : 0;
        break;
    }
    case brt::BeginHeaderFooter:
        c.skip(2);
        page.headerText = nullableWideString(c);
        page.footerText = nullableWideString(c);
        break;
    case brt::SheetProtection: {
        const uint16_t password = c.u16();
        sheet_.protectContents = c.u32() != 0;
        sheet_.hasPassword = password != 0;
        break;
    }
    case brt::SheetProtectionIso: sheet_.protectContents = true, sheet_.hasPassword = true; break;
    case brt::Drawing: refs_.drawing = nullableWideString(c); break;
    case brt::LegacyDrawing: refs_.legacyDrawing = nullableWideString(c); break;
    default: break;  // views, conditional formats, validations, hyperlinks, ...: not shown
    }
}

void SheetRecords::finish() {
    for (const Pending& p : pending_) {
        model::CellData& d = sheet_.cells[p.cell];
        QString& text = sheet_.texts[d.formula];
        if (p.table) {
            const auto it = tables_.find({p.row, p.col});
            if (it == tables_.end()) {
                warn(QStringLiteral("data table of %1 missing").arg(model::cellAddress(d.row, d.col, false)));
                continue;
            }
            const TableBody& t = it->second;
            const QString first = model::cellAddress(t.rowInRow, t.rowInCol, false);
            text = t.twoInputs ? QStringLiteral("=TABLE(%1,%2)").arg(first, model::cellAddress(t.colInRow, t.colInCol, false))
                   : t.rowInput ? QStringLiteral("=TABLE(%1,)").arg(first)
                                : QStringLiteral("=TABLE(,%1)").arg(first);
            continue;
        }
        auto it = bodies_.find({p.row, p.col});
        if (it == bodies_.end()) {
            warn(QStringLiteral("shared formula of %1 missing").arg(model::cellAddress(d.row, d.col, false)));
            text.clear();
            continue;
        }
        Body& b = it->second;
        if (!b.array) {
            text = decode(b.rgce.data(), b.rgce.size(), b.extra.data(), b.extra.size(), d.row, d.col, xls::FormulaKind::Shared);
            continue;
        }
        // An array formula reads the same in every cell: decoded once, at its first cell.
        if (!b.decoded) {
            b.text = d.formula;
            b.decoded = true;
            text = decode(b.rgce.data(), b.rgce.size(), b.extra.data(), b.extra.size(), b.area.firstRow, b.area.firstCol,
                          xls::FormulaKind::Shared);
        } else {
            d.formula = b.text;
        }
    }
    if (lost_) warn(QStringLiteral("%1 cells refer to shared strings the file does not hold").arg(lost_));
    sortCells(sheet_.cells);
    // A merged area reaching past the cells and the dimension does not stretch the used range.
    const QString note = settleUsed(sheet_, extent_, dimension_);
    if (!note.isEmpty()) warn(note);
    layout_.finish();
    sheet_.layout.page.fitToPage = fitToPage_;
}

}  // namespace

void readBinarySheet(const QByteArray& bytes, const QString& part, const BinarySheetContext& ctx, model::Sheet& sheet,
                     SheetRefs& refs, QStringList& warnings) {
    SheetRecords reader(part, ctx, sheet, refs, warnings);
    RecordReader records(bytes, part);
    BinaryRecord r;
    size_t damaged = 0;
    try {
        while (records.next(r)) {
            try {
                reader.record(r);
            } catch (const xls::FormatError& e) {
                if (damaged++ < 20)
                    reader.warn(QStringLiteral("record 0x%1 at offset %2 unreadable: %3")
                                    .arg(r.type, 4, 16, QLatin1Char('0')).arg(r.offset).arg(e.reason()));
            }
        }
    } catch (const Error& e) {
        // What was read before the damage stays.
        reader.warn(QStringLiteral("read as far as it goes: %1").arg(e.description()));
    }
    reader.finish();
}

}  // namespace tabulon::ooxml
