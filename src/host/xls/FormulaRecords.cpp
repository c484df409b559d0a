// Formula cells and the records that hold formula bodies for many cells:
// shared formulas, array formulas and data tables.
#include "common/Error.h"
#include "host/xls/FormulaDecoder.h"
#include "host/xls/SheetState.h"

#include <algorithm>
#include <cstring>

namespace tabulon::xls {

namespace {

constexpr uint8_t kPtgExp = 0x01;  // the cell uses a SHRFMLA or ARRAY body
constexpr uint8_t kPtgTbl = 0x02;  // the cell is part of a data table

Area readRefU(ByteCursor& c) {
    Area a;
    a.firstRow = c.u16();
    a.lastRow = c.u16();
    a.firstCol = c.u8();
    a.lastCol = c.u8();
    return a;
}

bool contains(const Area& a, int row, int col) {
    return row >= a.firstRow && row <= a.lastRow && col >= a.firstCol && col <= a.lastCol;
}

void readBody(ByteCursor& c, SharedBody& body) {
    const size_t cce = c.u16();
    const uint8_t* tokens = c.take(cce);
    body.rgce.assign(tokens, tokens + cce);
    const size_t extraSize = c.remaining();
    const uint8_t* extra = c.take(extraSize);
    body.extra.assign(extra, extra + extraSize);
}

}  // namespace

QString formulaText(SheetState& st, const uint8_t* rgce, size_t cce, const uint8_t* extra,
                    size_t extraSize, int row, int col, bool shared) {
    FormulaInput in;
    in.rgce = rgce;
    in.cce = cce;
    in.extra = extraSize ? extra : nullptr;
    in.extraSize = extraSize;
    in.row = row;
    in.col = col;
    in.kind = shared ? FormulaKind::Shared : FormulaKind::Cell;
    in.sheetName = &st.sheet.name;
    in.biff5 = st.book.biff == 5;
    in.codePage = st.book.codePage;
    try {
        return decodeFormula(in, st.ctx());
    } catch (const FormatError& e) {
        st.warnRecord(e);
    } catch (const Error& e) {
        st.warnText(QStringLiteral("formula of %1 unreadable: %2").arg(cellAddress(row, col, false), e.description()));
    }
    return QString();
}

// Formula, MS-XLS 2.4.127
void parseFormula(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    int col = 0;
    const int row = readCellHead(c, st, col);
    const uint8_t* value = c.take(8);
    c.skip(2 + 4);  // flags, chn
    const size_t cce = c.u16();
    const uint8_t* rgce = c.take(cce);
    const size_t extraSize = c.remaining();
    const uint8_t* extra = c.take(extraSize);
    if (row > 65535 || col > 255) throw FormatError(QStringLiteral("cell outside the sheet"), rec.offset);

    // FormulaValue, MS-XLS 2.5.133: 0xFFFF in the top bytes marks a non-number
    CellType type = CellType::Number;
    double number = 0;
    if (value[6] == 0xFF && value[7] == 0xFF) {
        switch (value[0]) {
        case 0: type = CellType::Text; break;   // text in the STRING record that follows
        case 1: type = CellType::Boolean; number = value[2]; break;
        case 2: type = CellType::Error; number = value[2]; break;
        default: type = CellType::Text; break;  // 3: empty text
        }
    } else {
        std::memcpy(&number, value, 8);
    }
    CellData& cell = st.addCell(row, col, type);
    cell.number = number;
    if (type == CellType::Text) st.setText(cell, QString());  // the STRING record fills it in
    st.stringTarget = (value[6] == 0xFF && value[7] == 0xFF && value[0] == 0) ? static_cast<long long>(st.sheet.cells.size() - 1) : -1;

    if (cce == 5 && (rgce[0] == kPtgExp || rgce[0] == kPtgTbl)) {
        PendingFormula p;
        p.cell = st.sheet.cells.size() - 1;
        p.anchorRow = rgce[1] | (rgce[2] << 8);
        p.anchorCol = rgce[3] | (rgce[4] << 8);
        p.table = rgce[0] == kPtgTbl;
        st.pending.push_back(p);
        st.setFormula(cell, QStringLiteral("="));  // until its body is found
        return;
    }
    st.setFormula(cell, formulaText(st, rgce, cce, extra, extraSize, row, col, false));
}

// String, MS-XLS 2.4.268: the text result of the formula before it
void parseString(const Record& rec, SheetState& st) {
    if (st.stringTarget < 0) return;
    ByteCursor c = rec.cursor();
    const QString text = readUnicodeString16(rec, c);
    st.sheet.texts[st.sheet.cells[size_t(st.stringTarget)].text] = text;
    st.stringTarget = -1;
}

// ShrFmla, MS-XLS 2.4.260
void parseShrFmla(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    SharedBody body;
    body.area = readRefU(c);
    c.skip(2);  // reserved, cUse
    readBody(c, body);
    st.bodies[{body.area.firstRow, body.area.firstCol}] = std::move(body);
}

// Array, MS-XLS 2.4.4
void parseArray(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    SharedBody body;
    body.area = readRefU(c);
    body.isArray = true;
    c.skip(2 + 4);  // flags, unused
    readBody(c, body);
    st.bodies[{body.area.firstRow, body.area.firstCol}] = std::move(body);
}

// Table, MS-XLS 2.4.319
void parseTable(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    TableBody t;
    t.area = readRefU(c);
    t.flags = c.u16();
    t.rowInputRow = c.u16();
    t.rowInputCol = c.u16();
    t.colInputRow = c.u16();
    t.colInputCol = c.u16();
    st.tables[{t.area.firstRow, t.area.firstCol}] = t;
}

namespace {

// The data table's formula as the spreadsheet shows it in every cell of the
// table: "=TABLE(row input, column input)", one side empty for a one-input table.
QString tableText(const TableBody& t) {
    const QString first = cellAddress(t.rowInputRow, t.rowInputCol, false);
    if (t.flags & 0x08)  // fTbl2: two inputs
        return QStringLiteral("=TABLE(%1,%2)").arg(first, cellAddress(t.colInputRow, t.colInputCol, false));
    if (t.flags & 0x04)  // fRw: the single input is a row input
        return QStringLiteral("=TABLE(%1,)").arg(first);
    return QStringLiteral("=TABLE(,%1)").arg(first);
}

}  // namespace

void resolvePendingFormulas(SheetState& st) {
    for (const PendingFormula& p : st.pending) {
        CellData& cell = st.sheet.cells[p.cell];
        if (p.table) {
            auto it = st.tables.find({p.anchorRow, p.anchorCol});
            st.sheet.texts[cell.formula] = it != st.tables.end() ? tableText(it->second) : QString();
            if (it == st.tables.end())
                st.warnText(QStringLiteral("data table of %1 missing").arg(cellAddress(cell.row, cell.col, false)));
            continue;
        }
        auto it = st.bodies.find({p.anchorRow, p.anchorCol});
        // The anchor a cell names is not always where the body is stored (a
        // range whose first formula record is not its top-left cell, or a
        // body written after another cell): then the body whose range holds
        // the cell is the one.
        if (it == st.bodies.end() || !contains(it->second.area, cell.row, cell.col))
            it = std::find_if(st.bodies.begin(), st.bodies.end(),
                              [&](const auto& b) { return contains(b.second.area, cell.row, cell.col); });
        if (it == st.bodies.end()) {
            st.warnText(QStringLiteral("shared formula of %1 missing").arg(cellAddress(cell.row, cell.col, false)));
            st.sheet.texts[cell.formula].clear();
            continue;
        }
        const SharedBody& b = it->second;
        // An array formula reads the same in every cell: decode it at its anchor.
        const int row = b.isArray ? b.area.firstRow : cell.row;
        const int col = b.isArray ? b.area.firstCol : cell.col;
        st.sheet.texts[cell.formula] =
            formulaText(st, b.rgce.data(), b.rgce.size(), b.extra.data(), b.extra.size(), row, col, true);
    }
}

}  // namespace tabulon::xls
