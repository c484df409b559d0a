// The record layer on crafted bytes: CONTINUE joining, strings that change
// width at a CONTINUE boundary, the sheet records that only make sense
// together (formula bodies shared by many cells, data tables, comments), the
// formatting runs of shared strings, and the link records with their encoded
// paths.
#include "host/xls/BookContext.h"
#include "host/xls/Loader.h"
#include "host/xls/Readers.h"

#include <gtest/gtest.h>

#include "xls_bytes.h"

using namespace tabulon::xls;
namespace model = tabulon::model;

namespace {

using namespace testbytes;

QByteArray formulaRecord(int row, int col, double cached, const QByteArray& rgce) {
    return record(rt::Formula,
                  Bytes().u16(row).u16(col).u16(0).f64(cached).u16(0).u32(0).u16(int(rgce.size())).raw(rgce).bytes());
}

const CellData* cellOf(const model::Sheet& s, int row, int col) {
    for (const CellData& c : s.cells)
        if (c.row == row && c.col == col) return &c;
    return nullptr;
}

QString formulaOf(const model::Sheet& s, int row, int col) {
    const CellData* c = cellOf(s, row, col);
    return c ? cellFormula(s, *c) : QStringLiteral("(no cell)");
}

std::vector<std::pair<int, int>> pairs(const TextRuns* runs) {
    std::vector<std::pair<int, int>> out;
    if (runs)
        for (const TextRun& r : *runs) out.emplace_back(r.first, r.font);
    return out;
}

// The shared strings of one SST record, as the model keeps them.
model::Book readSst(const QByteArray& stream) {
    RecordStream rs(stream);
    Record rec;
    EXPECT_TRUE(rs.next(rec));
    SharedStrings strings;
    parseSstStrings(rec, strings);
    model::Book book;
    book.sharedStrings = strings.strings;
    book.sharedRuns = strings.runs;
    strings.log.appendTo(book.warnings);
    return book;
}

using Runs = std::vector<std::pair<int, int>>;

QString enc(std::initializer_list<const char16_t*> parts) {
    QString s;
    for (const char16_t* p : parts) s += QString::fromUtf16(p);
    return s;
}

struct PathCase {
    QString encoded;
    QString expected;
    const char* why;
};

}  // namespace

TEST(XlsRecords, ContinueRecordsAreJoinedAndAnOverlongHeaderEndsTheStream) {
    const QByteArray stream = record(0x00FC, "abcd") + record(rt::Continue, "ef") + record(rt::Continue, "g") + eof();
    RecordStream rs(stream);
    Record rec;
    ASSERT_TRUE(rs.next(rec));
    EXPECT_EQ(rec.type, 0x00FC);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rec.data.data()), qsizetype(rec.data.size())), "abcdefg");
    EXPECT_EQ(rec.segmentStarts, (std::vector<size_t>{4, 6}));
    ASSERT_TRUE(rs.next(rec));
    EXPECT_EQ(rec.type, rt::Eof);
    EXPECT_FALSE(rs.next(rec));
    EXPECT_FALSE(rs.truncated());
    // A header claiming more than the stream holds ends it.
    const QByteArray cut = record(rt::Eof, QByteArray()) + Bytes().u16(0x0203).u16(200).latin("short").bytes();
    RecordStream overlong(cut);
    ASSERT_TRUE(overlong.next(rec));
    EXPECT_FALSE(overlong.next(rec));
    EXPECT_TRUE(overlong.truncated());
}

TEST(XlsRecords, SharedStringChangesWidthAtContinueBoundary) {
    // Three strings; the second starts compressed, goes on wide after the
    // boundary, whose first byte is a fresh flag.
    Bytes first;
    first.u32(3).u32(3);
    first.u16(2).u8(0).latin("ab");
    first.u16(5).u8(0).latin("cde");
    Bytes second;
    second.u8(1).wide(QString::fromUtf8("あい"));
    second.u16(1).u8(0).latin("z");
    const model::Book book = readSst(record(rt::Sst, first.bytes()) + record(rt::Continue, second.bytes()));
    EXPECT_EQ(book.sharedStrings, (std::vector<QString>{"ab", "cdeあい", "z"}));
    EXPECT_TRUE(book.warnings.isEmpty());
    // A count beyond the bytes is no allocation.
    const QByteArray huge = record(rt::Sst, Bytes().u32(0xFFFFFFFF).u32(0xFFFFFFFF).u16(1).u8(0).latin("a").bytes());
    EXPECT_EQ(readSst(huge).sharedStrings.size(), 1u);
}

// The shared strings are read while the sheets are: a cell is first only
// checked against the count the SST announces, and left out afterwards when
// its string is not there after all.
TEST(XlsRecords, CellsReferringToStringsTheSstLostAreLeftOutWithAWarning) {
    auto labelSst = [](int row, uint32_t isst) { return record(rt::LabelSst, Bytes().u16(row).u16(0).u16(0).u32(isst).bytes()); };
    const QByteArray sst = record(rt::Sst, Bytes().u32(3).u32(3).u16(1).u8(0).latin("a").bytes());
    auto globals = [&](uint32_t sheetAt) {
        return record(rt::Bof, Bytes().u16(0x0600).u16(0x0005).u32(0).u32(0).bytes()) +
               record(rt::BoundSheet8, Bytes().u32(sheetAt).u8(0).u8(0).u8(6).u8(0).latin("Sheet1").bytes()) + sst + eof();
    };
    const QByteArray head = globals(0);
    const QByteArray stream = globals(uint32_t(head.size())) + sheetBof() + labelSst(0, 0) + labelSst(1, 2) +
                              labelSst(2, 3) + eof();
    const model::Book book = readWorkbookStream(stream, QStringLiteral("crafted.xls"));
    ASSERT_EQ(book.sheets.size(), 1u);
    const model::Sheet& s = book.sheets[0];
    ASSERT_EQ(s.cells.size(), 1u);
    EXPECT_EQ(cellText(book, s, s.cells[0]), "a");
    // index 3 is beyond the announced count, index 2 beyond what was read
    ASSERT_EQ(book.warnings.size(), 2) << qPrintable(book.warnings.join(QLatin1Char('\n')));
    EXPECT_TRUE(book.warnings[0].contains(QStringLiteral("shared string index 3 out of range"))) << qPrintable(book.warnings[0]);
    EXPECT_TRUE(book.warnings[1].contains(QStringLiteral("1 cells refer to shared strings"))) << qPrintable(book.warnings[1]);
}

TEST(XlsRecords, DataTableCellsShowTheTableFormula) {
    // TABLE over B2:B3 with a column input cell A1, then its two cells.
    const QByteArray tbl = record(rt::Table, Bytes().u16(1).u16(2).u8(1).u8(1).u16(0).u16(0).u16(0).u16(0).u16(0).bytes());
    const QByteArray ptgTbl = Bytes().u8(0x02).u16(1).u16(1).bytes();
    const QByteArray stream = sheetBof() + formulaRecord(1, 1, 5, ptgTbl) + tbl + formulaRecord(2, 1, 6, ptgTbl) + eof();
    Globals book;
    const model::Sheet s = readCrafted(stream, book);
    ASSERT_NE(cellOf(s, 2, 1), nullptr);
    EXPECT_EQ(formulaOf(s, 1, 1), "=TABLE(,A1)");
    EXPECT_EQ(formulaOf(s, 2, 1), "=TABLE(,A1)");
    EXPECT_EQ(cellOf(s, 2, 1)->number, 6.0);
}

TEST(XlsRecords, CellsPointingAtAMissingSharedBodyAreWarnedNotGuessed) {
    const QByteArray ptgExp = Bytes().u8(0x01).u16(7).u16(7).bytes();
    const QByteArray stream = sheetBof() + formulaRecord(0, 0, 1, ptgExp) + eof();
    Globals book;
    const model::Sheet s = readCrafted(stream, book);
    EXPECT_EQ(formulaOf(s, 0, 0), "");
    EXPECT_EQ(book.warnings.size(), 1);
}

TEST(XlsRecords, CommentTextSpansContinuesAndChangesWidth) {
    const QByteArray note = record(rt::Note, Bytes().u16(3).u16(2).u16(0).u16(7).u16(2).u8(0).latin("me").u8(0).bytes());
    const QByteArray obj = record(rt::Obj, Bytes().u16(0x15).u16(0x12).u16(0x19).u16(7).u16(0).raw(QByteArray(12, 0)).bytes());
    const QByteArray txo = record(rt::Txo, Bytes().u16(0).u16(0).raw(QByteArray(6, 0)).u16(6).u16(16).u16(0).bytes()) +
                           record(rt::Continue, Bytes().u8(0).latin("me:\n").bytes()) +
                           record(rt::Continue, Bytes().u8(1).wide(QString::fromUtf8("注記")).bytes()) +
                           record(rt::Continue, QByteArray(16, 0));
    const QByteArray stream = sheetBof() + obj + txo + note + eof();
    Globals book;
    const model::Sheet s = readCrafted(stream, book);
    ASSERT_EQ(s.notes.size(), 1u);
    EXPECT_EQ(s.notes.at({3, 2}).text, QString::fromUtf8("me:\n注記"));
    EXPECT_EQ(s.notes.at({3, 2}).author, QStringLiteral("me")) << "the author the NOTE record names";
}

TEST(XlsRecords, CellsOutsideTheSheetAreSkippedWithAWarning) {
    const QByteArray number = record(rt::Number, Bytes().u16(0).u16(300).u16(0).u32(0).u32(0).bytes());
    const QByteArray stream = sheetBof() + number + eof();
    Globals book;
    const model::Sheet s = readCrafted(stream, book);
    EXPECT_TRUE(s.cells.empty());
    EXPECT_EQ(book.warnings.size(), 1);
    EXPECT_EQ(s.used.lastRow, 0) << "the empty sheet is A1";
}

TEST(XlsRecords, SupBookKindsAndTheirNames) {
    auto supBook = [](const QString& raw, const QStringList& sheets) {
        Bytes b;
        b.u16(int(sheets.size())).u16(int(raw.size())).u8(1).wide(raw);
        for (const QString& s : sheets) b.u16(int(s.size())).u8(0).latin(s.toLatin1().constData());
        return record(rt::SupBook, b.bytes());
    };
    const QByteArray stream =
        record(rt::SupBook, Bytes().u16(3).u16(0x0401).bytes()) +                       // this workbook
        supBook(QString::fromUtf16(u"\x01\x01" u"C\x03" u"data\x03" u"Prices.xls"), {"Jan", "Feb"}) +
        record(rt::ExternName, Bytes().u16(0).u32(0).u8(5).u8(0).latin("Total").u16(0).bytes()) +
        supBook(QString::fromUtf16(u"WinWord\x03" u"C:\\doc\\Memo.doc"), {}) +          // DDE/OLE
        record(rt::SupBook, Bytes().u16(1).u16(0x3A01).bytes());                        // add-in functions
    RecordStream rs(stream);
    Record rec;
    Globals book;
    while (rs.next(rec)) {
        if (rec.type == rt::SupBook) parseSupBook(rec, book);
        if (rec.type == rt::ExternName) parseExternName(rec, book);
    }
    ASSERT_EQ(book.supBooks.size(), 4u);
    EXPECT_EQ(book.supBooks[0].kind, SupBookKind::Self);
    EXPECT_EQ(book.supBooks[1].kind, SupBookKind::External);
    EXPECT_EQ(book.supBooks[1].path, "C:\\data\\Prices.xls");
    EXPECT_EQ(book.supBooks[1].sheetNames, (QStringList{"Jan", "Feb"}));
    ASSERT_EQ(book.supBooks[1].names.size(), 1u);
    EXPECT_EQ(book.supBooks[1].names[0].name, "Total");
    EXPECT_EQ(book.supBooks[2].kind, SupBookKind::OleDde);
    EXPECT_EQ(book.supBooks[2].path, "WinWord|C:\\doc\\Memo.doc");
    EXPECT_EQ(book.supBooks[3].kind, SupBookKind::AddIn);

    book.xti = {{1, 1, 1}, {1, -2, -2}};
    const BookContext ctx(book);
    EXPECT_EQ(ctx.externSheetPrefix(0), "'C:\\data\\[Prices.xls]Feb'");
    EXPECT_EQ(ctx.externName(1, 1), "'C:\\data\\Prices.xls'!Total");
}

// Rich texts: the formatting runs of shared strings, kept with their
// character position and font, numbered as the model numbers fonts (the
// file format has no font 4, so 5 is the model's 4), and guarded against
// runs a damaged file makes up (RSTRING cells are read by the print image's
// tests).
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
    const model::Book book = readSst(record(rt::Sst, first.bytes()) + record(rt::Continue, second.bytes()));
    ASSERT_EQ(book.sharedStrings.size(), 3u);
    EXPECT_EQ(book.sharedStrings[2], "z") << "the runs' bytes are not read as the next string";
    EXPECT_EQ(book.sharedRuns.size(), 1u);
    CellData cell;
    cell.type = CellType::Text;
    cell.text = 1;
    EXPECT_EQ(pairs(cellRuns(book, model::Sheet{}, cell)), (Runs{{0, 4}, {2, 5}, {4, 0}}));
    cell.text = 0;
    EXPECT_EQ(cellRuns(book, model::Sheet{}, cell), nullptr);
}

TEST(RichText, RunsADamagedFileMakesUpAreDropped) {
    struct Case {
        const char* what;
        int claimed;             // the run count the string announces
        std::vector<int> words;  // ich, ifnt pairs as stored
        Runs kept;
    };
    const Case cases[] = {
        {"a run past the text's end", 2, {0, 5, 9, 6}, {{0, 4}}},
        {"runs out of order", 3, {3, 5, 1, 6, 4, 7}, {{3, 4}, {4, 6}}},
        {"two runs at one place", 2, {1, 5, 1, 6}, {{1, 4}}},
        {"a count beyond the record", 60000, {1, 5}, {{1, 4}}},
    };
    for (const Case& c : cases) {
        Bytes b;
        b.u32(1).u32(1).u16(5).u8(0x08).u16(c.claimed).latin("abcde");
        for (int w : c.words) b.u16(w);
        const model::Book book = readSst(record(rt::Sst, b.bytes()));
        ASSERT_EQ(book.sharedStrings.size(), 1u) << c.what;
        CellData cell;
        cell.type = CellType::Text;
        EXPECT_EQ(pairs(cellRuns(book, model::Sheet{}, cell)), c.kept) << c.what;
    }
}

// Encoded paths of linked workbooks and the quoting of sheet names in
// references: the texts that the link-destination search matches on.
TEST(XlsVirtualPath, DecodesEveryStartCode) {
    const QString folder = QStringLiteral("/books/current");
    const PathCase cases[] = {
        {enc({u"\x01\x01" u"C", u"\x03" u"data", u"\x03" u"Prices.xls"}), "C:\\data\\Prices.xls", "drive volume"},
        {enc({u"\x01\x01" u"@server", u"\x03" u"share", u"\x03" u"B.xls"}), "\\\\server\\share\\B.xls", "UNC volume"},
        {enc({u"\x01\x02" u"top", u"\x03" u"B.xls"}), "/top/B.xls", "root of the same volume"},
        {enc({u"\x01" u"B.xls"}), "/books/current/B.xls", "same folder"},
        {QStringLiteral("B.xls"), "/books/current/B.xls", "no start code"},
        {enc({u"\x01" u"sub", u"\x03" u"B.xls"}), "/books/current/sub/B.xls", "down one folder"},
        {enc({u"\x01\x04" u"\x03" u"other", u"\x03" u"B.xls"}), "/books/other/B.xls", "up one folder"},
        {enc({u"\x01\x03\x03" u"psf", u"\x03" u"Home", u"\x03" u"B.xls"}), "\\\\psf\\Home\\B.xls", "two separators: UNC"},
        {enc({u"\x01\x05\x16" u"http://host/x/Book.xls"}), "http://host/x/Book.xls", "transfer protocol"},
        {QStringLiteral("C:\\data\\B.xls"), "C:\\data\\B.xls", "drive path written out"},
        {enc({u"\x01" u"D:\\old\\B.xls"}), "D:\\old\\B.xls", "drive path written out after the marker"},
        {QStringLiteral("\\\\srv\\share\\B.xls"), "\\\\srv\\share\\B.xls", "server path written out"},
        {QStringLiteral("sub\\B.xls"), "/books/current/sub/B.xls", "relative, backslash written out: resolved here"},
        {enc({u"\x01\x02" u"top\\B.xls"}), "/top/B.xls", "root of the volume, backslash written out"},
        {enc({u"\x01\x06" u"sub", u"\x03" u"B.xls"}), "sub\\B.xls", "startup folder of the saving machine"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(decodeVirtualPath(c.encoded, folder), c.expected) << c.why;
}

TEST(XlsSheetQuoting, SheetLevelNamesAndExternalPrefixes) {
    EXPECT_EQ(quoteSheetName(QStringLiteral("Sheet1")), "Sheet1");
    EXPECT_EQ(quoteSheetName(QStringLiteral("Seamus O'Reilly")), "'Seamus O''Reilly'");
    EXPECT_EQ(quoteSheetName(QString::fromUtf8("売上")), QString::fromUtf8("売上")) << "letters of any script need no quotes";

    Globals book;
    book.boundSheetNames = {QStringLiteral("Sheet1"), QStringLiteral("My Sheet")};
    SupBookModel self;
    SupBookModel other;
    other.kind = SupBookKind::External;
    other.path = QStringLiteral("C:\\data\\Prices.xls");
    other.sheetNames = {QStringLiteral("Sheet1")};
    book.supBooks = {self, other};
    book.xti = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, -1, -1}};
    const BookContext ctx(book);
    EXPECT_EQ(ctx.externSheetPrefix(0), "Sheet1");
    EXPECT_EQ(ctx.externSheetPrefix(1), "'Sheet1:My Sheet'");
    EXPECT_EQ(ctx.externSheetPrefix(2), "'C:\\data\\[Prices.xls]Sheet1'") << "the form the link search looks for";
    EXPECT_EQ(ctx.externSheetPrefix(3), "") << "deleted sheet";
    EXPECT_EQ(ctx.externSheetPrefix(9), "") << "index beyond the table";
}
