#include "host/ooxml/sheet/SheetParser.h"

#include "host/model/Notation.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/book/SharedStrings.h"
#include "host/ooxml/formula/FormulaLexer.h"
#include "host/ooxml/sheet/SheetLayoutReader.h"
#include "host/ooxml/xml/XmlStream.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <map>

namespace tabulon::ooxml {

bool parseCellAddress(std::string_view t, int& row, int& col) {
    size_t i = 0;
    if (i < t.size() && t[i] == '$') ++i;
    int c = 0, letters = 0;
    // No more letters or digits are read than a reference can have: the
    // number would overflow first.
    for (; i < t.size() && ((t[i] >= 'A' && t[i] <= 'Z') || (t[i] >= 'a' && t[i] <= 'z')); ++i, ++letters) {
        if (letters == 3) return false;
        c = c * 26 + ((t[i] | 0x20) - 'a' + 1);
    }
    if (letters == 0 || c > kMaxCols) return false;
    if (i < t.size() && t[i] == '$') ++i;
    int r = 0, digits = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++digits) {
        if (digits == 7) return false;
        r = r * 10 + (t[i] - '0');
    }
    if (digits == 0 || i != t.size() || r < 1 || r > kMaxRows) return false;
    row = r - 1, col = c - 1;
    return true;
}

bool parseAreaText(std::string_view t, model::Area& a) {
    const size_t colon = t.find(':');
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!parseCellAddress(t.substr(0, colon), r1, c1)) return false;
    if (colon == std::string_view::npos) r2 = r1, c2 = c1;
    else if (!parseCellAddress(t.substr(colon + 1), r2, c2)) return false;
    a = {std::min(r1, r2), std::max(r1, r2), std::min(c1, c2), std::max(c1, c2)};
    return true;
}

int errorCodeOf(std::string_view t) {
    using namespace model::errorcode;
    if (t == "#NULL!") return Null;
    if (t == "#DIV/0!") return Div0;
    if (t == "#VALUE!") return Value;
    if (t == "#REF!") return Ref;
    if (t == "#NAME?") return Name;
    if (t == "#NUM!") return Num;
    if (t == "#GETTING_DATA") return 0x2B;
    return NA;
}

namespace {

// A shared formula's master: where it stands and its text as shown.
struct SharedMaster {
    int row = 0, col = 0;
    QString shown;  // without "="
};

// A formula that covers a range: an array formula or a data table, given in
// its first cell only; the other cells of the range show the same text.
struct RangeFormula {
    model::Area area;
    uint32_t text = 0;  // index in sheet.texts
};

// "-12.375": a number of at most 15 digits and no exponent, the most
// values are, read exactly (both parts are exact doubles, and the one
// division rounds correctly). False for any other text.
bool shortDecimal(std::string_view t, double& value) {
    constexpr double kTens[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = !t.empty() && t[0] == '-';
    size_t i = negative ? 1 : 0, digits = 0, point = 0;
    int64_t n = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            if (++digits > 15) return false;
            n = n * 10 + (c - '0');
        } else if (c == '.' && !point && digits && i + 1 < t.size()) {
            point = digits;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    const double d = double(n) / kTens[point ? digits - point : 0];
    value = negative ? -d : d;
    return true;
}

// Serial day number of an ISO date (t="d" cells).
double serialOf(std::string_view iso, bool date1904) {
    const QDateTime d = QDateTime::fromString(qstr(iso), Qt::ISODate);
    if (!d.isValid()) return 0;
    const QDateTime epoch(date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30), QTime(0, 0), d.timeSpec());
    return double(epoch.msecsTo(d)) / 86400000.0;
}

}  // namespace

class SheetReader : public XmlHandler {
public:
    SheetReader(const SheetContext& c, model::Sheet& s, SheetRefs& r, QStringList& w)
        : ctx(c), sheet(s), refs(r), warnings(w), layout(s.layout), richText(localFonts, colors) {}

    const SheetContext& ctx;
    model::Sheet& sheet;
    SheetRefs& refs;
    QStringList& warnings;
    SheetLayoutReader layout;
    model::Formats localFonts;  // inline rich strings' runs are not kept
    ColorResolver colors;
    RichTextReader richText;

    // The cell being read.
    int row = 0, col = -1, nextRow = 0;
    int style = -1;
    char type = 'n';
    enum class In { None, Value, Formula, Inline } in = In::None;
    std::string value, formula;
    bool hasFormula = false;
    std::string fType, fRef, fSi, fR1, fR2;
    bool fDt2D = false, fDtr = false;

    std::map<int, SharedMaster> shared;  // by si
    struct PendingShared {
        size_t cell;  // index in sheet.cells before they are sorted
        int si;
    };
    std::vector<PendingShared> pendingShared;
    // Cells (their index before sorting) that name a shared string and hold a
    // formula: such a cell stays when its string is missing.
    std::vector<size_t> stringFormulaCells;
    std::vector<RangeFormula> ranges;
    model::Area extent{-1, -1, -1, -1};
    model::Area dimension{-1, -1, -1, -1};
    int skipDepth = 0;  // inside an mc:Fallback: its content repeats the Choice before it
    size_t lost = 0;

    void warn(const QString& text) {
        if (warnings.size() < 100) warnings << QStringLiteral("sheet '%1': %2").arg(sheet.name, text);
    }

    void start(const XmlElement& e) override {
        if (skipDepth) { ++skipDepth; return; }
        const std::string_view n = e.local();
        if (n == "c") return startCell(e);
        if (in == In::Inline) return richText.start(e);
        if (col >= 0) {  // inside a cell
            if (n == "v") { in = In::Value; value.clear(); }
            else if (n == "f") startFormula(e);
            else if (n == "is") { in = In::Inline; }
            return;
        }
        if (n == "row") {
            const long long r = e.integer("r", nextRow + 1);
            row = int(std::clamp<long long>(r, 1, kMaxRows)) - 1;
            nextRow = row + 1;
            col = -1;
            lastCol = -1;
            layout.row(e, row);
            return;
        }
        if (n == "Fallback") { skipDepth = 1; return; }
        if (n == "dimension") {
            parseAreaText(e.attr("ref"), dimension);
            return;
        }
        if (n == "sheetPr") {
            sheet.codeName = e.text("codeName");
            return;
        }
        if (n == "sheetProtection") {
            sheet.protectContents = e.flag("sheet");
            sheet.hasPassword = e.has("password") || e.has("hashValue");
            return;
        }
        if (n == "drawing") { refs.drawing = qstr(e.relAttr("id")); return; }
        if (n == "legacyDrawing") { refs.legacyDrawing = qstr(e.relAttr("id")); return; }
        if (n == "control") {
            const int id = int(e.integer("shapeId"));
            for (const ControlEntry& c : refs.controls)
                if (c.shapeId == id) return;
            refs.controls.push_back({id, qstr(e.relAttr("id")), e.text("name"), {}});
            return;
        }
        if (n == "controlPr" && !refs.controls.empty()) {
            refs.controls.back().macro = e.text("macro");
            return;
        }
        layout.start(e);
    }

    void end(std::string_view local) override {
        if (skipDepth) { --skipDepth; return; }
        if (local == "c") return endCell();
        if (in == In::Inline) {
            if (local == "is") in = In::None;
            else richText.end(local);
            return;
        }
        if (local == "v" || local == "f") in = In::None;
        layout.end(local);
    }

    void text(std::string_view t) override {
        switch (in) {
        case In::Value: value.append(t); break;
        case In::Formula: formula.append(t); break;
        case In::Inline: richText.text(t); break;
        case In::None: layout.text(t); break;
        }
    }

    int lastCol = -1;

    void startCell(const XmlElement& e) {
        // One look at each attribute: a cell is the element there are most of.
        std::string_view r, t, s;
        bool styled = false;
        for (int i = e.count(); i-- > 0;) {
            const XmlAttribute& a = e.attribute(i);
            if (a.local.size() != 1 || !a.uri.empty()) continue;
            if (a.local[0] == 'r') r = a.value;
            else if (a.local[0] == 't') t = a.value;
            else if (a.local[0] == 's') s = a.value, styled = true;
        }
        int cr = row, cc = lastCol + 1;
        if (!r.empty() && !parseCellAddress(r, cr, cc)) {
            warn(QStringLiteral("cell reference '%1' unreadable").arg(qstr(r)));
            cr = row, cc = lastCol + 1;
        }
        if (cc >= kMaxCols) cc = kMaxCols - 1;
        row = cr, col = cc, lastCol = cc;
        type = t.empty() ? 'n' : t == "s" ? 's' : t == "str" ? 'r' : t == "inlineStr" ? 'i' : t == "b" ? 'b' : t == "e" ? 'e' : t == "d" ? 'd' : 'n';
        style = styled ? int(XmlElement::integerOf(s, -1)) : -1;
        value.clear();
        hasFormula = false;
        in = In::None;
    }

    void startFormula(const XmlElement& e) {
        in = In::Formula;
        hasFormula = true;
        formula.clear();
        fType = e.attr("t");
        fRef = e.attr("ref");
        fSi = e.attr("si");
        fR1 = e.attr("r1");
        fR2 = e.attr("r2");
        fDt2D = e.flag("dt2D");
        fDtr = e.flag("dtr");
    }

    // The formula text of the cell as shown, without "=".
    QString shownFormula() {
        if (formula.find("_xll.") != std::string::npos) addInCalls(qstr(formula), refs.addInFunctions);
        if (fType == "shared") {
            int si = -1;
            std::from_chars(fSi.data(), fSi.data() + fSi.size(), si);
            auto it = shared.find(si);
            if (!formula.empty() || it == shared.end()) {
                if (formula.empty()) {
                    // A cell before the one that holds the text: settled at the end.
                    pendingShared.push_back({sheet.cells.size(), si});
                    return QString();
                }
                SharedMaster m{row, col, displayFormula(qstr(formula), *ctx.books)};
                shared[si] = m;
                return m.shown;
            }
            return shiftFormula(it->second.shown, row - it->second.row, col - it->second.col);
        }
        if (fType == "dataTable") {
            const QString r1 = qstr(fR1), r2 = qstr(fR2);
            if (fDt2D) return QStringLiteral("TABLE(%1,%2)").arg(r1, r2);
            return fDtr ? QStringLiteral("TABLE(%1,)").arg(r1) : QStringLiteral("TABLE(,%1)").arg(r1);
        }
        return displayFormula(qstr(formula), *ctx.books);
    }

    void endCell() {
        in = In::None;
        touch(row, col);
        if (style >= 0) layout.cellFormat(row, col, style);
        model::CellData cell;
        cell.row = row;
        cell.col = uint16_t(col);
        bool keep = true;
        switch (type) {
        case 's': {
            uint64_t index = 0;
            const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
            if (ec != std::errc() || value.empty()) { keep = hasFormula; break; }
            // Whether the workbook holds that string is settled in finish().
            cell.type = model::CellType::Text;
            cell.text = uint32_t(std::min<uint64_t>(index, UINT32_MAX));
            if (hasFormula) stringFormulaCells.push_back(sheet.cells.size());
            break;
        }
        case 'r':
        case 'i': {
            QString text = type == 'i' ? richText.take() : unescapeXmlChars(QString::fromUtf8(value.data(), qsizetype(value.size())));
            cell.type = model::CellType::Text;
            cell.flags |= model::CellData::OwnText;
            cell.text = uint32_t(sheet.texts.size());
            sheet.texts.push_back(std::move(text));
            break;
        }
        case 'b':
            if (value.empty()) { keep = hasFormula; break; }
            cell.type = model::CellType::Boolean;
            cell.number = value == "1" || value == "true" ? 1 : 0;
            break;
        case 'e':
            cell.type = model::CellType::Error;
            cell.number = errorCodeOf(value);
            break;
        case 'd':
            if (value.empty()) { keep = hasFormula; break; }
            cell.type = model::CellType::Number;
            cell.number = serialOf(value, ctx.date1904);
            break;
        default: {
            if (value.empty()) { keep = hasFormula; break; }
            double v = 0;
            const char* b = value.data();
            while (b < value.data() + value.size() && *b == ' ') ++b;
            if (!shortDecimal(std::string_view(b, size_t(value.data() + value.size() - b)), v) &&
                std::from_chars(b, value.data() + value.size(), v).ec != std::errc()) {
                warn(QStringLiteral("%1: number '%2' unreadable").arg(model::cellAddress(row, col, false), qstr(value)));
                keep = hasFormula;
                break;
            }
            cell.type = model::CellType::Number;
            cell.number = v;
            break;
        }
        }
        if (hasFormula) {
            if (QString text = fType.empty() ? shownAsStored(formula) : QString(); !text.isEmpty()) {
                cell.flags |= model::CellData::HasFormula;
                cell.formula = uint32_t(sheet.texts.size());
                sheet.texts.push_back(std::move(text));
                sheet.cells.push_back(cell);
                col = -1;
                return;
            }
            const size_t pendingBefore = pendingShared.size();
            const QString shown = shownFormula();
            if (pendingShared.size() > pendingBefore) {
                sheet.cells.push_back(cell);
                col = -1;
                return;
            }
            if (!shown.isEmpty()) {
                cell.flags |= model::CellData::HasFormula;
                cell.formula = uint32_t(sheet.texts.size());
                sheet.texts.push_back(u'=' + shown);
                model::Area area;
                if ((fType == "array" || fType == "dataTable") && parseAreaText(fRef, area) &&
                    (area.lastRow > area.firstRow || area.lastCol > area.firstCol))
                    ranges.push_back({area, cell.formula});
            }
            keep = true;
        }
        if (keep) sheet.cells.push_back(cell);
        col = -1;
    }

    void touch(int r, int c) {
        if (extent.firstRow < 0) { extent = {r, r, c, c}; return; }
        extent.firstRow = std::min(extent.firstRow, r), extent.lastRow = std::max(extent.lastRow, r);
        extent.firstCol = std::min(extent.firstCol, c), extent.lastCol = std::max(extent.lastCol, c);
    }

    void finish() {
        for (const PendingShared& p : pendingShared) {
            model::CellData& cell = sheet.cells[p.cell];
            const auto it = shared.find(p.si);
            if (it == shared.end()) {
                warn(QStringLiteral("shared formula %1 of %2 has no first cell").arg(p.si).arg(model::cellAddress(cell.row, cell.col, false)));
                continue;
            }
            cell.flags |= model::CellData::HasFormula;
            cell.formula = uint32_t(sheet.texts.size());
            sheet.texts.push_back(u'=' + shiftFormula(it->second.shown, cell.row - it->second.row, cell.col - it->second.col));
        }
        dropMissingStrings();
        sortCells(sheet.cells);
        for (const RangeFormula& f : ranges) {
            auto it = std::lower_bound(sheet.cells.begin(), sheet.cells.end(), std::make_pair(f.area.firstRow, f.area.firstCol),
                                       [](const model::CellData& c, const std::pair<int, int>& k) {
                                           return c.row != k.first ? c.row < k.first : c.col < k.second;
                                       });
            for (; it != sheet.cells.end() && it->row <= f.area.lastRow; ++it) {
                if (it->col < f.area.firstCol || it->col > f.area.lastCol || (it->flags & model::CellData::HasFormula)) continue;
                it->flags |= model::CellData::HasFormula;
                it->formula = f.text;
            }
        }
        if (lost) warn(QStringLiteral("%1 cells refer to shared strings the file does not hold").arg(lost));
        // The used range is the cells' and the dimension's, as the spreadsheet
        // keeps it: a merged area reaching past them (a whole column merged)
        // does not stretch it.
        settleUsedRange();
        layout.finish();
    }

    // A cell naming a shared string the workbook does not hold loses its
    // value; without a formula it is no cell at all.
    void dropMissingStrings() {
        const size_t count = ctx.sharedStringCount();
        auto missing = [count](const model::CellData& c) {
            return c.type == model::CellType::Text && !(c.flags & model::CellData::OwnText) && c.text >= count;
        };
        if (std::none_of(sheet.cells.begin(), sheet.cells.end(), missing)) return;
        auto withFormula = stringFormulaCells.begin();
        size_t out = 0;
        for (size_t i = 0; i < sheet.cells.size(); ++i) {
            model::CellData c = sheet.cells[i];
            while (withFormula != stringFormulaCells.end() && *withFormula < i) ++withFormula;
            if (missing(c)) {
                ++lost;
                if (withFormula == stringFormulaCells.end() || *withFormula != i) continue;
                c.type = model::CellType::Empty;
                c.text = 0;
            }
            // Pending shared formulas are settled already: indices may shift now.
            sheet.cells[out++] = c;
        }
        sheet.cells.resize(out);
    }

    void settleUsedRange() {
        const QString note = settleUsed(sheet, extent, dimension);
        if (!note.isEmpty()) warn(note);
    }
};

void sortCells(std::vector<model::CellData>& cells) {
    auto less = [](const model::CellData& a, const model::CellData& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; };
    auto same = [](const model::CellData& a, const model::CellData& b) { return a.row == b.row && a.col == b.col; };
    if (!std::is_sorted(cells.begin(), cells.end(), less)) std::stable_sort(cells.begin(), cells.end(), less);
    // A cell written twice keeps the later one.
    auto out = cells.begin();
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        if (it + 1 != cells.end() && same(*it, *(it + 1))) continue;
        *out++ = *it;
    }
    cells.erase(out, cells.end());
}

namespace {

double cellsIn(const model::Area& a) {
    return a.firstRow < 0 ? 0 : double(a.lastRow - a.firstRow + 1) * double(a.lastCol - a.firstCol + 1);
}

model::Area joined(model::Area a, const model::Area& b) {
    if (b.firstRow < 0) return a;
    if (a.firstRow < 0) return b;
    a.firstRow = std::min(a.firstRow, b.firstRow), a.lastRow = std::max(a.lastRow, b.lastRow);
    a.firstCol = std::min(a.firstCol, b.firstCol), a.lastCol = std::max(a.lastCol, b.lastCol);
    return a;
}

}  // namespace

QString settleUsed(model::Sheet& sheet, const model::Area& extent, const model::Area& dimension) {
    constexpr double kMaxWalkableCells = 65536.0 * 256.0;
    QString note;
    model::Area used = joined(extent, dimension);
    if (cellsIn(used) > kMaxWalkableCells) {
        model::Area values{-1, -1, -1, -1};
        for (const model::CellData& c : sheet.cells) values = joined(values, {c.row, c.row, c.col, c.col});
        for (const auto& [at, n] : sheet.notes) values = joined(values, {at.first, at.first, at.second, at.second});
        note = QStringLiteral("used range %1 limited to the cells with values: its formatted blank cells reach past the "
                              "largest sheet an .xls holds").arg(model::cellAddress(used.firstRow, used.firstCol, false) + u':' +
                                                                 model::cellAddress(used.lastRow, used.lastCol, false));
        used = values;
    }
    sheet.used = used.firstRow < 0 ? model::Area{0, 0, 0, 0} : used;
    return note;
}

WorksheetParser::WorksheetParser(const SheetContext& context, model::Sheet& sheet, SheetRefs& refs, QStringList& warnings)
    : d(std::make_unique<SheetReader>(context, sheet, refs, warnings)) {}
WorksheetParser::~WorksheetParser() = default;
XmlHandler& WorksheetParser::handler() { return *d; }
void WorksheetParser::finish() { d->finish(); }

}  // namespace tabulon::ooxml
