// Cell display texts of numbers: placeholders, rounding, scaling, scientific,
// fractions, sections with conditions and colours, literal and text parts;
// of dates and times: serial days in both date systems, the 1900 leap-year
// day, Japanese eras and weekdays, elapsed times, and the built-in formats of
// the Japanese edition. Each answer is worked out from the format's rules by
// hand; serials were counted from the calendar (1899/12/30 + n for dates from
// 1900/3/1).
#include "host/format/NumberFormat.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

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

class NumberTextTable : public testing::TestWithParam<Case> {};

TEST_P(NumberTextTable, ShowsTheSpreadsheetText) {
    const Case& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, QString::fromUtf8(c.code)).text.toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    General, NumberTextTable,
    testing::Values(Case{"General", 0, "0"}, Case{"General", -1.5, "-1.5"},
                    Case{"General", 1.0 / 3, "0.333333333"},        // 11 characters
                    Case{"General", 2.0 / 3, "0.666666667"},        // last digit rounded
                    Case{"General", 100.0 / 3, "33.33333333"},
                    Case{"General", 0.1 + 0.2, "0.3"},              // 15 digits first
                    Case{"General", 99999999999.0, "99999999999"},  // 11 digits in full
                    Case{"General", 123456789012.0, "1.23457E+11"}, Case{"General", 1e20, "1E+20"},
                    Case{"General", 1e-10, "1E-10"}, Case{"General", 0.00001, "0.00001"},
                    Case{"General", 0.000012345678, "1.23457E-05"},  // digits would be lost
                    Case{"", 12.5, "12.5"}, Case{"G/標準", 7, "7"}));

INSTANTIATE_TEST_SUITE_P(
    Placeholders, NumberTextTable,
    testing::Values(Case{"0", 2.5, "3"}, Case{"0", -2.5, "-3"},  // half away from zero
                    Case{"0.00", 1.005, "1.01"},                  // as shown, not as stored
                    Case{"0.00", 0.125, "0.13"}, Case{"0.00", -0.001, "-0.00"},
                    Case{"#,##0", 1234567, "1,234,567"}, Case{"#,##0", -1234.5, "-1,235"},
                    Case{"#,##0.00", 1234.5, "1,234.50"}, Case{"#,###", 0, ""},
                    Case{"0,000", 5, "0,005"}, Case{"000-0000", 1234567, "123-4567"},
                    Case{"0.0#", 1.5, "1.5"}, Case{"0.0#", 1.25, "1.25"}, Case{"0.0#", 1, "1.0"},
                    Case{"#.##", 0.5, ".5"}, Case{"#.##", 1, "1."}, Case{".000", 1.5, "1.500"},
                    Case{"0.0?", 1.5, "1.5 "}, Case{"??0", 5, "  5"}, Case{"0", 1e16, "10000000000000000"}));

INSTANTIATE_TEST_SUITE_P(
    ScalingAndPercent, NumberTextTable,
    testing::Values(Case{"#,##0,", 1234567, "1,235"}, Case{"0.0,,", 123456789, "123.5"},
                    Case{"0%", 0.125, "13%"}, Case{"0.00%", 0.1234, "12.34%"},
                    Case{"\"ELR=\"0.0%", 0.5, "ELR=50.0%"}));

INSTANTIATE_TEST_SUITE_P(
    Scientific, NumberTextTable,
    testing::Values(Case{"0.00E+00", 12345, "1.23E+04"}, Case{"0.00E+00", 0.000123, "1.23E-04"},
                    Case{"0.00E+00", 0, "0.00E+00"}, Case{"0.00E+00", 99999, "1.00E+05"},
                    Case{"0.00E-00", 12345, "1.23E04"}, Case{"0.00E+00", -12345, "-1.23E+04"},
                    Case{"##0.0E+0", 12345, "12.3E+3"}, Case{"##0.0E+0", 0.00123, "1.2E-3"},
                    Case{"0.0E+0", 1e100, "1.0E+100"}));

INSTANTIATE_TEST_SUITE_P(
    Fractions, NumberTextTable,
    testing::Values(Case{"# ?/?", 3.14159, "3 1/7"}, Case{"# ?/?", 1, "1    "},
                    Case{"# ?\?/?\?", 1.25, "1  1/4 "}, Case{"# ?\?/?\?", 3.14159, "3 14/99"},
                    Case{"?/?", 1.5, "3/2"}, Case{"# ?/16", 1.5, "1 8/16"}, Case{"?/8", 0.375, "3/8"},
                    Case{"# ?/?", -2.5, "-2 1/2"}, Case{"# ?/?", 0.99, "1    "}));

INSTANTIATE_TEST_SUITE_P(
    Sections, NumberTextTable,
    testing::Values(Case{"0;(0)", -5, "(5)"}, Case{"0;(0)", 5, "5"}, Case{"0;(0)", 0, "0"},
                    Case{"0;-0;\"zero\"", 0, "zero"}, Case{"0;;", -5, ""}, Case{";;;", 5, ""},
                    Case{"#,##0;[Red]\\-#,##0", -1234, "-1,234"},
                    Case{"[>100]\"big\";[<0]\"neg\";\"small\"", 500, "big"},
                    Case{"[>100]\"big\";[<0]\"neg\";\"small\"", -3, "neg"},
                    Case{"[>100]\"big\";[<0]\"neg\";\"small\"", 50, "small"},
                    Case{"[<=99]0;0.0", 5, "5"}, Case{"[<=99]0;0.0", 150, "150.0"},
                    Case{"[<=99]0;0.0", -1, "-1"}, Case{"[<0]\"neg \"0;0", -3, "neg 3"},
                    Case{"[>100]0.0", 5, "5.0"}, Case{"[>100]0;[<0]0", 5, "5"},  // no condition met
                    Case{"[<=999]000;[<=99999]000-00;000-0000", 1234567, "123-4567"},  // postal codes
                    Case{"[<=999]000;[<=99999]000-00;000-0000", 12345, "123-45"},
                    Case{"[<=999]000;[<=99999]000-00;000-0000", 12, "012"},
                    Case{"#,##0;\"△\"#,##0", -1500, "△1,500"},
                    Case{"\"Total: \"0.00", 5, "Total: 5.00"}, Case{"\\$0.00", -1, "-$1.00"},
                    Case{"[$¥-411]#,##0", 1500, "¥1,500"}, Case{"[$€-2]\\ #,##0.00", 2, "€ 2.00"},
                    Case{"\"Yes\";\"Yes\";\"No\"", -3, "Yes"}, Case{"0;-0;0;@", 7, "7"},
                    Case{"@", 12.5, "12.5"}));

INSTANTIATE_TEST_SUITE_P(
    DigitForms, NumberTextTable,
    testing::Values(Case{"[DBNum1]General", 123, "百二十三"}, Case{"[DBNum1]General", 10, "十"},
                    Case{"[DBNum1]General", 10000, "一万"}, Case{"[DBNum1]General", 20305, "二万三百五"},
                    Case{"[DBNum2]General", 123, "壱百弐拾参"}, Case{"[DBNum3]General", 123, "１百２十３"},
                    Case{"[DBNum1]0", 0, "〇"}, Case{"[DBNum1]0.0", 1.5, "一.五"}));

INSTANTIATE_TEST_SUITE_P(
    Calendar1900, NumberTextTable,
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
    Times, NumberTextTable,
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
    JapaneseEras, NumberTextTable,
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

// The ids the Japanese edition leaves out have no code.
TEST(BuiltinFormats, FollowTheJapaneseEdition) {
    const struct {
        int id;
        double value;
        const char* text;
    } cases[] = {
        {0, 1.5, "1.5"}, {3, 1234567, "1,234,567"}, {5, -1234, "¥-1,234"}, {10, 0.5, "50.00%"},
        {14, k2001_03_01, "2001/3/1"}, {22, k2001_03_01 + 0.75, "2001/3/1 18:00"}, {27, k2001_03_01, "H13.3.1"},
        {28, k2001_03_01, "平成13年3月1日"}, {31, k2001_03_01, "2001年3月1日"}, {32, 0.75, "18時00分"},
        {34, k2001_03_01, "2001年3月"}, {35, k2001_03_01, "3月1日"}, {46, 1.5, "36:00:00"}, {49, 3, "3"},
        {57, 43586, "R1.5.1"}, {58, 43586, "令和元年5月1日"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.value, builtinFormatCode(c.id)).text.toStdString(), c.text) << c.id;
    for (int id : {23, 24, 25, 26, 59, 81, 163}) EXPECT_TRUE(builtinFormatCode(id).isEmpty()) << id;
}

TEST(DateSystems, Dates1904AndValuesOutsideTheCalendar) {
    EXPECT_EQ(formatNumber(0, QStringLiteral("yyyy/m/d"), true).text, QStringLiteral("1904/1/1"));
    EXPECT_EQ(formatNumber(k2001_03_01 - 1462, QStringLiteral("yyyy/m/d aaa"), true).text,
              QStringLiteral("2001/3/1 木"));
    // Values outside the calendar fill the cell with hashes.
    for (double value : {-1.0, 2958466.0}) {
        const Display d = formatNumber(value, QStringLiteral("yyyy/m/d"));
        EXPECT_EQ(d.fill, QChar(u'#')) << value;
        EXPECT_EQ(d.fillAt, 0) << value;
    }
}

// The chosen section's colour from the palette, none when that section has none.
TEST(SectionColour, IsTheSectionsPaletteColour) {
    const struct {
        const char* code;
        double value;
        unsigned rgb;
    } cases[] = {{"[Red]0", 1, 0xFF0000}, {"0;[Blue]-0", -1, 0x0000FF}, {"[Color 10]0", 1, 0x008000},
                 {"[Color53]0", 1, 0x993300}, {"[赤]0", 1, 0xFF0000}, {"[Green][>5]0;[Magenta]0", 3, 0xFF00FF}};
    for (const auto& c : cases) {
        const Display d = formatNumber(c.value, QString::fromUtf8(c.code));
        EXPECT_EQ(d.color.value_or(0xDEADBEEF), c.rgb) << c.code;
        EXPECT_GT(d.colorIndex, 0) << c.code;
    }
    EXPECT_FALSE(formatNumber(1, QStringLiteral("0;[Red]-0")).color.has_value());
    EXPECT_EQ(formatNumber(-1, QStringLiteral("0;[Red]-0")).colorIndex, 3);  // the palette's red
    EXPECT_FALSE(formatNumber(1, QStringLiteral("[Color 57]0")).color.has_value());
}

// An underscore leaves a blank as wide as its character; a star fills at its place.
TEST(Spacing, UnderscoreBlankAndStarFill) {
    const Display blank = formatNumber(5, QStringLiteral("0_)"));
    EXPECT_EQ(blank.text, QStringLiteral("5 "));
    ASSERT_EQ(blank.spacing.size(), 1);
    EXPECT_EQ(std::tie(blank.spacing[0].at, blank.spacing[0].width), std::make_tuple(1, QChar(u')')));
    const Display fill = formatNumber(-1234, QStringLiteral("_ \"¥\"* #,##0_ ;_ \"¥\"* \\-#,##0_ "));
    EXPECT_EQ(std::tie(fill.text, fill.fill, fill.fillAt), std::make_tuple(QStringLiteral(" ¥-1,234 "), QChar(u' '), 2));
}

TEST(TextValues, GoThroughTheTextSectionOrShowAsTheyAre) {
    for (const auto& [code, text] : {std::pair{"0;-0;0;\"(\"@\")\"", "(abc)"}, {"@", "abc"}, {"0.00", "abc"},
                                     {"[$-409]d\\-mmm\\-yy;@", "abc"}})
        EXPECT_EQ(formatText(QStringLiteral("abc"), QString::fromUtf8(code)).text, QString::fromUtf8(text)) << code;
    EXPECT_EQ(formatText(QStringLiteral("x"), QStringLiteral("[Blue]@")).color, 0x0000FFu);
    EXPECT_EQ(formatBool(true).text, QStringLiteral("TRUE"));
    EXPECT_EQ(formatBool(false).text, QStringLiteral("FALSE"));
}

TEST(Robustness, HugeValuesKeepTheirDigitsInEveryForm) {
    EXPECT_EQ(formatNumber(1e20, QStringLiteral("?/16")).text, QStringLiteral("1600000000000000000000/16"));
    EXPECT_EQ(formatNumber(1e300, QStringLiteral("0.0E+00")).text, QStringLiteral("1.0E+300"));
    EXPECT_EQ(formatNumber(-1e300, QStringLiteral("#,##0")).text.size(), 1 + 301 + 100);
}

// Codes pieced together from every kind of token, with values of every
// size: each gives a text, none crashes or hangs.
TEST(Robustness, RandomCodesAlwaysGiveText) {
    const QStringList pieces = {"0", "#", "?", ".", ",", "%", "E+", "e-", "/", "@", "General", ";", "[Red]",
                                "[>5]", "[$-411]", "[$¥-411]", "[DBNum1]", "[DBNum2]", "[h]", "[mm]", "y", "yyyy",
                                "m", "mmmm", "d", "aaa", "g", "ggg", "e", "h", "s", ".00", "AM/PM", "_)", "*-",
                                "\\x", "\"lit\"", "16", " ", "-", "["};
    std::mt19937 random(1206);
    std::uniform_int_distribution<int> piece(0, int(pieces.size()) - 1), length(1, 12);
    const double values[] = {0, -0.5, 1.005, 36951.75, -1e300, 1e-300, 123456789012.0, 2958466};
    for (int i = 0; i < 3000; ++i) {
        QString code;
        for (int n = length(random); n > 0; --n) code += pieces[piece(random)];
        for (double value : values) {
            const Display d = formatNumber(value, code);
            EXPECT_LE(d.fillAt, d.text.size()) << code.toStdString();
            for (const auto& space : d.spacing) EXPECT_LT(space.at, d.text.size()) << code.toStdString();
        }
        formatText(QStringLiteral("abc"), code);
    }
}

TEST(Robustness, UnclosedQuotesAndBracketsStillGiveText) {
    for (const char* code : {"\"abc", "[Red", "0.0\\", "_", "*", "[>]0", "[$", "E+", "0/", "yyyy\"年", "[DBNum9]0"})
        EXPECT_NO_THROW(formatNumber(-12.5, QString::fromUtf8(code))) << code;
    EXPECT_EQ(formatNumber(1, QStringLiteral("\"abc")).text, QStringLiteral("abc"));
}

}  // namespace
