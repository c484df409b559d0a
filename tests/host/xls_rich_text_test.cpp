// Rich texts: the formatting runs of shared strings, kept as stored
// (character position, font index) and guarded against runs a damaged file
// makes up (RSTRING cells are read by the print image's tests), and the look
// of a fixture's shapes.
#include "host/xls/Readers.h"
#include "host/Workbook.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <tuple>

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
        int claimed;             // the run count the string announces
        std::vector<int> words;  // ich, ifnt pairs as stored
        Runs kept;
    };
    const Case cases[] = {
        {"a run past the text's end", 2, {0, 5, 9, 6}, {{0, 5}}},
        {"runs out of order", 3, {3, 5, 1, 6, 4, 7}, {{3, 5}, {4, 7}}},
        {"two runs at one place", 2, {1, 5, 1, 6}, {{1, 5}}},
        {"a count beyond the record", 60000, {1, 5}, {{1, 5}}},
    };
    for (const Case& c : cases) {
        Bytes b;
        b.u32(1).u32(1).u16(5).u8(0x08).u16(c.claimed).latin("abcde");
        for (int w : c.words) b.u16(w);
        const WorkbookModel book = readSst(record(rt::Sst, b.bytes()));
        ASSERT_EQ(book.sst.size(), 1u) << c.what;
        CellData cell;
        cell.type = CellType::Text;
        EXPECT_EQ(pairs(cellRuns(book, SheetModel{}, cell)), c.kept) << c.what;
    }
}

TEST(RichText, ShapesOfAFixtureKeepTheirLookAndTextRuns) {
    const tabulon::host::Workbook book =
        tabulon::host::Workbook::load(tabulon::test::fixture(QStringLiteral("xls/poi/drawings.xls")));
    const SheetModel& sheet = book.model().sheets.front();
    const auto it = std::find_if(sheet.shapes.begin(), sheet.shapes.end(),
                                 [](const ShapeModel& s) { return s.text == QStringLiteral("POItest"); });
    ASSERT_NE(it, sheet.shapes.end());
    // A green rectangle, its grey line 2 pt wide, turned 27 degrees, its
    // text centred both ways in one run.
    EXPECT_EQ(std::make_tuple(it->shapeType, it->fillColor, it->lineColor), std::make_tuple(1, 0x2CE03D, 0x616161));
    EXPECT_DOUBLE_EQ(it->lineWidthPt, 2.0);
    EXPECT_DOUBLE_EQ(it->rotation, 27.0);
    EXPECT_EQ(std::make_pair(it->textHAlign, it->textVAlign), std::make_pair(2, 2));
    EXPECT_EQ(it->textRuns.size(), 1u);
}
