// The text rules of the workbook chapters: StrDel, character cuts, the blank
// trim, the bracketed book reference and the progress percentage.
#include "analyses/workbook/WorkbookText.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::workbook;

TEST(WorkbookText, StrDelRemovesEveryOccurrence) {
    const struct { QString text, find, out; } cases[] = {
        {"$A$1", "$", "A1"},
        {"$B$12", "$", "B12"},
        {"Sheet1!$A$1:$C$3", "$", "Sheet1!A1:C3"},
        {"A1", "$", "A1"},                    // nothing to remove
        {"   ", "$", ""},                      // blanks only
        {" $A$1", "$", " A1"},                // the first hit is not at the start: the blank stays
        {"$  A1  ", "$", "A1"},               // a hit at the start trims the rest
        {"xAxa", "a", "xx"},                  // compared without regard to case
        {"$A$1", "", "$A$1"},                 // an empty Find would never end
        {"$" + QString(300, u'x'), "$", QString(255, u'x')},  // 255 characters after a hit
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrDel(c.text, c.find), c.out) << c.text.toStdString();
}

TEST(WorkbookText, CutsCountCharactersAndKeepSurrogatePairsWhole) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x8A");  // one character, two UTF-16 units
    EXPECT_EQ(cutChars("ab" + emoji, 3), "ab");
    EXPECT_EQ(cutChars("ab" + emoji, 4), "ab" + emoji);
    EXPECT_EQ(cutChars(QString(130, u'表'), 125).size(), 125);
    // Only U+0020 is a blank: full-width spaces and tabs are text.
    EXPECT_EQ(cutTrim(QStringLiteral("\u3000見出し\t  "), 50), QStringLiteral("\u3000見出し\t"));
    EXPECT_EQ(cutTrim(QString(124, u'a') + "   b", 125), QString(124, u'a'));
    EXPECT_EQ(tabulon::trimTrailingBlanks("  x  "), "  x");
}

TEST(WorkbookText, LinkBookRefBracketsTheFileName) {
    EXPECT_EQ(LinkBookRef("C:\\data\\Prices.xls"), "C:\\data\\[Prices.xls]");
    EXPECT_EQ(LinkBookRef("Prices.xls"), "[Prices.xls]");
    EXPECT_EQ(LinkBookRef(""), "");
}

TEST(WorkbookText, PercentIsRoundedHalfUpAndNeverOverAHundred) {
    EXPECT_EQ(percentOf(1, 8), 13);    // 12.5 goes up
    EXPECT_EQ(percentOf(1, 300), 0);
    EXPECT_EQ(percentOf(2, 300), 1);   // not stuck at 0 for many names
    EXPECT_EQ(percentOf(300, 300), 100);
    EXPECT_EQ(percentOf(7, 3), 100);
    EXPECT_EQ(percentOf(5, 0), 0);
}
