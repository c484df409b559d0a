// Cell display texts of dates and times: serial days in both date systems,
// the 1900 leap-year day, Japanese eras and weekdays, elapsed times, and the
// built-in formats of the Japanese edition. Serials were counted from the
// calendar (1899/12/30 + n for dates from 1900/3/1).
#include "host/format/NumberFormat.h"

#include <gtest/gtest.h>

using namespace tabulon::host::format;

namespace {

constexpr double k2001_03_01 = 36951;  // a Thursday
constexpr double kSecond = 1.0 / 86400;

struct Case {
    const char* code;
    double value;
    const char* text;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.code << " | " << c.value; }

class DateTextTable : public testing::TestWithParam<Case> {};

TEST_P(DateTextTable, ShowsTheSpreadsheetText) {
    const Case& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, QString::fromUtf8(c.code)).text.toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Calendar1900, DateTextTable,
    testing::Values(Case{"yyyy/m/d", k2001_03_01, "2001/3/1"}, Case{"yyyy/mm/dd", 37256, "2001/12/31"},
                    Case{"yyyy/m/d", 1, "1900/1/1"}, Case{"yyyy/m/d", 59, "1900/2/28"},
                    Case{"yyyy/m/d", 60, "1900/2/29"},  // the day the spreadsheet keeps
                    Case{"yyyy/m/d", 61, "1900/3/1"}, Case{"yyyy/m/d", 0, "1900/1/0"},
                    Case{"yyyy/m/d", 2958465, "9999/12/31"}, Case{"yy/m/d", k2001_03_01, "01/3/1"},
                    Case{"d-mmm-yy", k2001_03_01, "1-Mar-01"}, Case{"mmmm d, yyyy", k2001_03_01, "March 1, 2001"},
                    Case{"mmmmm", k2001_03_01, "M"}, Case{"ddd dddd", k2001_03_01, "Thu Thursday"},
                    Case{"dddd", 1, "Sunday"}, Case{"aaa", k2001_03_01, "木"}, Case{"aaaa", k2001_03_01, "木曜日"},
                    Case{"m/d", k2001_03_01, "3/1"}, Case{"yyyy\"年\"m\"月\"d\"日\"(aaa)", 37256, "2001年12月31日(月)"}));

INSTANTIATE_TEST_SUITE_P(
    Times, DateTextTable,
    testing::Values(Case{"h:mm", 0.5 + 30 * 60 * kSecond, "12:30"}, Case{"mm:ss", 15 * 60 * kSecond, "15:00"},
                    Case{"h:mm AM/PM", 0.75, "6:00 PM"}, Case{"h:mm AM/PM", 0, "12:00 AM"},
                    Case{"h:mm:ss A/P", 0.25, "6:00:00 A"}, Case{"hh:mm:ss", 0.5 + kSecond, "12:00:01"},
                    Case{"yyyy/m/d h:mm", k2001_03_01 + 0.75, "2001/3/1 18:00"},
                    Case{"yyyy/m/d h:mm:ss", k2001_03_01 + 1 - 0.1 * kSecond, "2001/3/2 0:00:00"},  // carries
                    Case{"h:mm:ss", 0.4 * kSecond, "0:00:00"}, Case{"[h]:mm:ss", 1.5, "36:00:00"},
                    Case{"[mm]:ss", 0.0625, "90:00"}, Case{"[ss]", 0.01, "864"}, Case{"[ss].0", 0.01 + 0.25 * kSecond, "864.3"},
                    Case{"mm:ss.0", 1.5 * kSecond, "00:01.5"}, Case{"h:mm:ss.00", 0.123 * kSecond, "0:00:00.12"},
                    Case{"h\"時\"mm\"分\"ss\"秒\"", 0.75 + kSecond, "18時00分01秒"},
                    Case{"午前/午後h:mm", 0.75, "午後6:00"}));

INSTANTIATE_TEST_SUITE_P(
    JapaneseEras, DateTextTable,
    testing::Values(Case{"[$-411]ggge\"年\"m\"月\"d\"日\"", k2001_03_01, "平成13年3月1日"},
                    Case{"[$-411]ge.m.d", k2001_03_01, "H13.3.1"}, Case{"gg e", k2001_03_01, "平 13"},
                    Case{"ggge", 32515, "昭和64"}, Case{"ggge", 32516, "平成1"},    // 1989/1/7, 1/8
                    Case{"ggge", 43585, "平成31"}, Case{"ggge", 43586, "令和1"},    // 2019/4/30, 5/1
                    Case{"ggge", 9855, "大正15"}, Case{"ggge", 9856, "昭和1"},      // 1926/12/24, 25
                    Case{"ggge", 4594, "明治45"}, Case{"ggge", 4595, "大正1"},      // 1912/7/29, 30
                    Case{"[$-411]gee", 43586, "R01"}, Case{"ge-m-d", k2001_03_01, "H13-3-1"},
                    Case{"[$-411]ggge\"年\"m\"月\"", 32516, "平成元年1月"},  // first year before 年
                    Case{"[$-411]ggge\"年\"", 32882, "平成2年"},
                    Case{"[DBNum1][$-411]ggge\"年\"m\"月\"d\"日\"", k2001_03_01, "平成十三年三月一日"},
                    Case{"[DBNum1]yyyy\"年\"m\"月\"", 37256, "二〇〇一年十二月"},
                    Case{"[DBNum3]m\"月\"d\"日\"", 37256, "１２月３１日"},
                    Case{"[$-F800]dddd, mmmm dd, yyyy", k2001_03_01, "2001年3月1日"}));

struct BuiltinCase {
    int id;
    double value;
    const char* text;
};

class BuiltinFormats : public testing::TestWithParam<BuiltinCase> {};

TEST_P(BuiltinFormats, FollowTheJapaneseEdition) {
    const BuiltinCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, builtinFormatCode(c.id)).text.toStdString(), c.text) << c.id;
}

INSTANTIATE_TEST_SUITE_P(
    Ids, BuiltinFormats,
    testing::Values(BuiltinCase{0, 1.5, "1.5"}, BuiltinCase{3, 1234567, "1,234,567"},
                    BuiltinCase{5, -1234, "¥-1,234"}, BuiltinCase{10, 0.5, "50.00%"},
                    BuiltinCase{14, k2001_03_01, "2001/3/1"}, BuiltinCase{22, k2001_03_01 + 0.75, "2001/3/1 18:00"},
                    BuiltinCase{27, k2001_03_01, "H13.3.1"}, BuiltinCase{28, k2001_03_01, "平成13年3月1日"},
                    BuiltinCase{31, k2001_03_01, "2001年3月1日"}, BuiltinCase{32, 0.75, "18時00分"},
                    BuiltinCase{34, k2001_03_01, "2001年3月"}, BuiltinCase{35, k2001_03_01, "3月1日"},
                    BuiltinCase{46, 1.5, "36:00:00"}, BuiltinCase{49, 3, "3"},
                    BuiltinCase{57, 43586, "R1.5.1"}, BuiltinCase{58, 43586, "令和元年5月1日"}));

TEST(BuiltinFormats, IdsTheJapaneseEditionLeavesOutAreEmpty) {
    for (int id : {23, 24, 25, 26, 59, 81, 163}) EXPECT_TRUE(builtinFormatCode(id).isEmpty()) << id;
}

TEST(DateSystems, Count1904DatesFromNewYear1904) {
    EXPECT_EQ(formatNumber(0, QStringLiteral("yyyy/m/d"), true).text, QStringLiteral("1904/1/1"));
    EXPECT_EQ(formatNumber(k2001_03_01 - 1462, QStringLiteral("yyyy/m/d aaa"), true).text,
              QStringLiteral("2001/3/1 木"));
}

TEST(DateSystems, ValuesOutsideTheCalendarFillTheCellWithHashes) {
    for (double value : {-1.0, 2958466.0}) {
        const Display d = formatNumber(value, QStringLiteral("yyyy/m/d"));
        EXPECT_EQ(d.fill, QChar(u'#')) << value;
        EXPECT_EQ(d.fillAt, 0) << value;
    }
}

}  // namespace
