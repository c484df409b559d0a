// Writes the reader benchmark's workbook: several sheets of five columns,
// every fifth cell a formula. Column E cycles through the formula shapes
// real workbooks are made of (arithmetic on references, SUM over an area,
// IF with text results, text joins, 3-D references inside a function), so
// the load pays for each token family the decoder knows. The rest are
// numbers and shared strings, half of column D unique texts so the SST is
// large and spread over CONTINUE records.
//
// OUT ending in .xlsb writes the same workbook as a binary workbook, its
// formulas in that format's wider tokens.
//
// Prints the counts it wrote and the formula texts of the first rows of the
// first sheet, in the form load_workbook prints them, for the script to
// compare.
#include "xlswriter/XlsWriter.h"
#include "xlswriter/XlsbWriter.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using tabulon::xlsw::Rgce;
using tabulon::xlsw::XlsCell;
using tabulon::xlsw::XlsSheet;
using tabulon::xlsw::XlsWriter;
using tabulon::xlsw::XlsbWriter;

namespace {

constexpr quint8 PtgAdd = 0x03, PtgMul = 0x05, PtgConcat = 0x08, PtgGt = 0x0D;
constexpr int FnIf = 1, FnSum = 4, FnRound = 27;
constexpr int Columns = 5;

QString sheetName(int s, int sheets) {
    // The last sheet's name needs quotes in a reference, as many real ones do.
    return s == sheets - 1 ? QStringLiteral("Data %1").arg(s + 1) : QStringLiteral("Data%1").arg(s + 1);
}

QString quoted(const QString& name) {
    return name.contains(QLatin1Char(' ')) ? QLatin1Char('\'') + name + QLatin1Char('\'') : name;
}

struct Counts {
    long long cells = 0, formulas = 0, texts = 0, numbers = 0;
};

// Column D: a small number on even rows, a text of its own on odd rows.
bool dIsText(int row) { return row % 2 == 1; }
double dNumber(int row) { return row % 97; }

// The formula of column E in `row` (0-based) and its text as the
// spreadsheet shows it; the cached result goes into `cell`. wide: the
// binary workbook's tokens.
QString formulaFor(int s, int sheets, int row, XlsCell& cell, bool wide) {
    const QString n = QString::number(row + 1);
    Rgce f(wide);
    QString text;
    const double a = row + 1, c = (row + 1) * 0.25;
    switch (row % 5) {
    case 0:
        f.ref(row, 0).ref(row, 2).op(PtgMul).ref(row, 3).op(PtgAdd);
        text = QStringLiteral("=A%1*C%1+D%1").arg(n);
        cell.number = a * c + (dIsText(row) ? 0 : dNumber(row));
        break;
    case 1: {
        const int top = std::max(0, row - 9);
        f.area(top, 0, row, 2).funcVar(FnSum, 1);
        text = QStringLiteral("=SUM(A%1:C%2)").arg(top + 1).arg(n);
        cell.number = 0;
        for (int r = top; r <= row; ++r) cell.number += (r + 1) * 1.25;
        break;
    }
    case 2:
        f.ref(row, 3).integer(50).op(PtgGt).str(QStringLiteral("high")).str(QStringLiteral("low")).funcVar(FnIf, 3);
        text = QStringLiteral("=IF(D%1>50,\"high\",\"low\")").arg(n);
        cell.text = (dIsText(row) || dNumber(row) > 50) ? QStringLiteral("high") : QStringLiteral("low");
        break;
    case 3:
        f.ref(row, 1).str(QStringLiteral(" #")).op(PtgConcat).ref(row, 0).op(PtgConcat);
        text = QStringLiteral("=B%1&\" #\"&A%1").arg(n);
        cell.text = QStringLiteral("Item %1 #%2").arg(row % 5000).arg(row + 1);
        break;
    default: {
        // One XTI per sheet in the writer: ixti i is sheet i.
        const int prev = (s + sheets - 1) % sheets, next = (s + 1) % sheets;
        f.ref3d(prev, row, 0).ref3d(next, row, 2).op(PtgAdd).integer(2).func(FnRound);
        text = QStringLiteral("=ROUND(%1!A%2+%3!C%2,2)")
                   .arg(quoted(sheetName(prev, sheets)), n, quoted(sheetName(next, sheets)));
        cell.number = a + c;
        break;
    }
    }
    cell.rgce = f.bytes();
    return text;
}

template <typename Sheet>
void fillSheet(Sheet& sheet, int s, int sheets, int rows, Counts& counts, bool printFirst, bool wide) {
    sheet.cells.reserve(size_t(rows) * Columns);
    for (int row = 0; row < rows; ++row) {
        sheet.number(row, 0, row + 1);
        sheet.text(row, 1, QStringLiteral("Item %1").arg(row % 5000));
        sheet.number(row, 2, (row + 1) * 0.25);
        if (dIsText(row)) {
            sheet.text(row, 3, QStringLiteral("note %1-%2").arg(s + 1).arg(row + 1));
            ++counts.texts;
        } else {
            sheet.number(row, 3, dNumber(row));
            ++counts.numbers;
        }
        XlsCell cell;
        cell.row = row;
        cell.col = 4;
        cell.kind = XlsCell::Formula;
        const QString text = formulaFor(s, sheets, row, cell, wide);
        sheet.cells.push_back(cell);
        if (printFirst && row < 10)
            std::printf("formula %s!E%d %s\n", qPrintable(sheet.name), row + 1, qPrintable(text));
        counts.numbers += 2;
        counts.texts += 1;
        counts.formulas += 1;
        counts.cells += Columns;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: make_large_workbook OUT.xls|OUT.xlsb [SHEETS=5] [ROWS=40000]\n");
        return 2;
    }
    const int sheets = argc > 2 ? std::atoi(argv[2]) : 5;
    const int rows = argc > 3 ? std::atoi(argv[3]) : 40000;
    if (sheets < 2 || sheets > 255 || rows < 10 || rows > 65536) {
        std::fprintf(stderr, "make_large_workbook: 2-255 sheets of 10-65536 rows\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const bool binary = out.endsWith(QStringLiteral(".xlsb"), Qt::CaseInsensitive);
    Counts counts;
    bool saved = false;
    if (binary) {
        XlsbWriter writer;
        for (int s = 0; s < sheets; ++s)
            fillSheet(writer.addSheet(sheetName(s, sheets)), s, sheets, rows, counts, s == 0, true);
        saved = writer.save(out);
    } else {
        XlsWriter writer;
        for (int s = 0; s < sheets; ++s)
            fillSheet(writer.addSheet(sheetName(s, sheets)), s, sheets, rows, counts, s == 0, false);
        saved = writer.save(out);
    }
    if (!saved) {
        std::fprintf(stderr, "make_large_workbook: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("written sheets=%d rows=%d cells=%lld formulas=%lld texts=%lld numbers=%lld\n", sheets, rows,
                counts.cells, counts.formulas, counts.texts, counts.numbers);
    return 0;
}
