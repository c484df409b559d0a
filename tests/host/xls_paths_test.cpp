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
    };
    for (const PathCase& c : cases) EXPECT_EQ(decodeVirtualPath(c.encoded, folder), c.expected) << c.why;
}

TEST(XlsSheetQuoting, QuotesOnlyWhereTheSpreadsheetDoes) {
    struct Case {
        const char* name;
        bool quoted;
    } cases[] = {
        {"Sheet1", false}, {"Data_2001", false}, {"My Sheet", true}, {"2001", true},
        {"A1", true},      {"R1C1", true},       {"Sales-East", true}, {"Seamus O'Reilly", true},
        {"ABCD1", false},  {"", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sheetNeedsQuotes(QString::fromUtf8(c.name)), c.quoted) << c.name;
    EXPECT_EQ(quoteSheetName(QStringLiteral("Seamus O'Reilly")), "'Seamus O''Reilly'");
    EXPECT_EQ(quoteSheetName(QString::fromUtf8("売上")), QString::fromUtf8("売上")) << "letters of any script need no quotes";
}
