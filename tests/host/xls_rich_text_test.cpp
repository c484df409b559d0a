// Rich texts: the formatting runs of shared strings and of RSTRING cells,
// kept as stored (character position, font index) and guarded against runs
// a damaged file makes up.
#include "host/xls/BookContext.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/Loader.h"
#include "host/xls/Readers.h"

#include <gtest/gtest.h>

#include "xls_bytes.h"

using namespace tabulon::xls;

namespace {

using namespace testbytes;

std::vector<std::pair<int, int>> pairs(const TextRuns* runs) {
    std::vector<std::pair<int, int>> out;
    if (runs)
        for (const TextRun& r : *runs) out.emplace_back(r.first, r.font);
    return out;
}

WorkbookModel readSst(const QByteArray& stream) {
    RecordStream rs(stream);
    Record rec;
    EXPECT_TRUE(rs.next(rec));
    WorkbookModel book;
    parseSstStrings(rec, book);
    return book;
}

using Runs = std::vector<std::pair<int, int>>;

}  // namespace

TEST(RichText, SharedStringRunsAcrossAContinueBoundary) {
    // "plain", then "赤字ABC" with three runs whose last two lie in the
    // CONTINUE after the characters, then "z" after them.
    Bytes first;
    first.u32(3).u32(3);
    first.u16(5).u8(0).latin("plain");
    first.u16(5).u8(0x09).u16(3).wide(QString::fromUtf8("赤字ABC")).u16(0).u16(5);
    Bytes second;
    second.u16(2).u16(6).u16(4).u16(0);
    second.u16(1).u8(0).latin("z");
    const WorkbookModel book = readSst(record(rt::Sst, first.bytes()) + record(rt::Continue, second.bytes()));
    ASSERT_EQ(book.sst.size(), 3u);
    EXPECT_EQ(book.sst[2], "z") << "the runs' bytes are not read as the next string";
    EXPECT_EQ(book.sstRuns.size(), 1u);
    CellData cell;
    cell.type = CellType::Text;
    cell.text = 1;
    EXPECT_EQ(pairs(cellRuns(book, SheetModel{}, cell)), (Runs{{0, 5}, {2, 6}, {4, 0}}));
    cell.text = 0;
    EXPECT_EQ(cellRuns(book, SheetModel{}, cell), nullptr);
}

TEST(RichText, RunsADamagedFileMakesUpAreDropped) {
    struct Case {
        const char* what;
        std::vector<int> words;  // ich, ifnt pairs as stored
        Runs kept;
    };
    const Case cases[] = {
        {"a run past the text's end", {0, 5, 9, 6}, {{0, 5}}},
        {"runs out of order", {3, 5, 1, 6, 4, 7}, {{3, 5}, {4, 7}}},
        {"two runs at one place", {1, 5, 1, 6}, {{1, 5}}},
    };
    for (const Case& c : cases) {
        Bytes b;
        b.u32(1).u32(1).u16(5).u8(0x08).u16(int(c.words.size() / 2)).latin("abcde");
        for (int w : c.words) b.u16(w);
        const WorkbookModel book = readSst(record(rt::Sst, b.bytes()));
        CellData cell;
        cell.type = CellType::Text;
        EXPECT_EQ(pairs(cellRuns(book, SheetModel{}, cell)), c.kept) << c.what;
    }
}

TEST(RichText, AClaimedRunCountBeyondTheRecordReadsWhatIsThere) {
    const WorkbookModel book =
        readSst(record(rt::Sst, Bytes().u32(1).u32(1).u16(3).u8(0x08).u16(60000).latin("abc").u16(1).u16(5).bytes()));
    ASSERT_EQ(book.sst.size(), 1u);
    CellData cell;
    cell.type = CellType::Text;
    EXPECT_EQ(pairs(cellRuns(book, SheetModel{}, cell)), (Runs{{1, 5}}));
}

TEST(RichText, RStringCellsKeepTheirRuns) {
    Bytes rstring;
    rstring.u16(2).u16(1).u16(15).u16(4).u8(0).latin("abcd").u16(2).u16(0).u16(6).u16(2).u16(7);
    Bytes label;
    label.u16(3).u16(1).u16(15).u16(2).u8(0).latin("no");
    const QByteArray stream = sheetBof() + record(rt::RString, rstring.bytes()) + record(0x0204, label.bytes()) + eof();
    WorkbookModel book;
    SheetModel sheet;
    BookContext ctx(book);
    readSheet(stream, sheet, book, ctx);
    ASSERT_EQ(sheet.cells.size(), 2u);
    EXPECT_EQ(cellText(book, sheet, sheet.cells[0]), "abcd");
    EXPECT_EQ(pairs(cellRuns(book, sheet, sheet.cells[0])), (Runs{{0, 6}, {2, 7}}));
    EXPECT_EQ(cellRuns(book, sheet, sheet.cells[1]), nullptr) << "a LABEL has no runs";
}

TEST(RichText, TextBoxAlignmentAndRunsFromItsTxo) {
    // Centred, bottom: hAlignment 2 in bits 1-3, vAlignment 3 in bits 4-6;
    // "abcdef" with runs at 0 (font 5) and 3 (font 6), then the closing run.
    Bytes txo;
    txo.u16((2 << 1) | (3 << 4)).u16(0).u32(0).u16(0).u16(6).u16(24).u32(0);
    Bytes text;
    text.u8(0).latin("abcdef");
    Bytes runs;
    runs.u16(0).u16(5).u32(0).u16(3).u16(6).u32(0).u16(6).u16(0).u32(0);
    const QByteArray stream = record(rt::Txo, txo.bytes()) + record(rt::Continue, text.bytes()) +
                              record(rt::Continue, runs.bytes());
    RecordStream rs(stream);
    Record rec;
    ASSERT_TRUE(rs.next(rec));
    const TxoLook look = parseTxoLook(rec);
    EXPECT_EQ(look.hAlign, 2);
    EXPECT_EQ(look.vAlign, 3);
    EXPECT_EQ(pairs(&look.runs), (Runs{{0, 5}, {3, 6}})) << "the closing run is no run";
}

TEST(ShapeLook, PropertiesAndFlagsGiveLineFillTurnAndArrows) {
    WorkbookModel book;
    ShapeModel shape;
    // Line colour as plain RGB (0x00BBGGRR), 2 pt, no fill, turned 27
    // degrees (16.16), an arrow at the end, flipped horizontally.
    const std::map<int, uint32_t> props{{0x01C0, 0x000000FF}, {0x01CB, 25400}, {0x01BF, 0x00100000},
                                        {0x0004, 27u << 16}, {0x01D1, 1}};
    applyShapeLook(props, 0x0040, shape, book);
    EXPECT_EQ(shape.lineColor, 0x0000FF);
    EXPECT_DOUBLE_EQ(shape.lineWidthPt, 2.0);
    EXPECT_FALSE(shape.filled);
    EXPECT_DOUBLE_EQ(shape.rotation, 27.0);
    EXPECT_EQ(shape.arrowStart, 0);
    EXPECT_EQ(shape.arrowEnd, 1);
    EXPECT_TRUE(shape.flipH);
    EXPECT_FALSE(shape.flipV);

    ShapeModel plain;
    applyShapeLook({{0x01BF, 0x00000010}}, 0, plain, book);
    EXPECT_TRUE(plain.filled) << "fFilled counts only with fUsefFilled";
    EXPECT_DOUBLE_EQ(plain.lineWidthPt, 0.75);
}
