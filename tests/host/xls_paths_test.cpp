// Encoded paths of linked workbooks and the quoting of sheet names in
// references: the texts that the link-destination search matches on.
#include "host/xls/BookContext.h"
#include "host/xls/Readers.h"

#include <gtest/gtest.h>

using namespace tabulon::xls;

namespace {

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

    WorkbookModel book;
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
