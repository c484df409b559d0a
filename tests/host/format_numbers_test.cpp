// Cell display texts of numbers: placeholders, rounding, scaling, scientific,
// fractions, sections with conditions and colours, literal and text parts.
// Each answer is worked out from the format's rules by hand.
#include "host/format/NumberFormat.h"

#include <gtest/gtest.h>

#include <random>

using namespace tabulon::host::format;

namespace {

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

struct ColorCase {
    const char* code;
    double value;
    unsigned rgb;
};

class SectionColour : public testing::TestWithParam<ColorCase> {};

TEST_P(SectionColour, IsTheSectionsPaletteColour) {
    const Display d = formatNumber(GetParam().value, QString::fromUtf8(GetParam().code));
    ASSERT_TRUE(d.color.has_value());
    EXPECT_EQ(*d.color, GetParam().rgb);
    EXPECT_GT(d.colorIndex, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, SectionColour,
    testing::Values(ColorCase{"[Red]0", 1, 0xFF0000}, ColorCase{"0;[Blue]-0", -1, 0x0000FF},
                    ColorCase{"[Color 10]0", 1, 0x008000}, ColorCase{"[Color53]0", 1, 0x993300},
                    ColorCase{"[赤]0", 1, 0xFF0000}, ColorCase{"[Green][>5]0;[Magenta]0", 3, 0xFF00FF}));

TEST(SectionColour, NoneUnlessTheChosenSectionHasOne) {
    EXPECT_FALSE(formatNumber(1, QStringLiteral("0;[Red]-0")).color.has_value());
    EXPECT_EQ(formatNumber(-1, QStringLiteral("0;[Red]-0")).colorIndex, 3);  // the palette's red
    EXPECT_FALSE(formatNumber(1, QStringLiteral("[Color 57]0")).color.has_value());
}

TEST(Spacing, UnderscoreLeavesABlankOfTheCharactersWidth) {
    const Display d = formatNumber(5, QStringLiteral("0_)"));
    EXPECT_EQ(d.text, QStringLiteral("5 "));
    ASSERT_EQ(d.spacing.size(), 1);
    EXPECT_EQ(d.spacing[0].at, 1);
    EXPECT_EQ(d.spacing[0].width, QChar(u')'));
}

TEST(Spacing, StarFillsAtItsPlace) {
    const Display d = formatNumber(-1234, QStringLiteral("_ \"¥\"* #,##0_ ;_ \"¥\"* \\-#,##0_ "));
    EXPECT_EQ(d.text, QStringLiteral(" ¥-1,234 "));
    EXPECT_EQ(d.fill, QChar(u' '));
    EXPECT_EQ(d.fillAt, 2);
}

TEST(TextValues, GoThroughTheTextSectionOrShowAsTheyAre) {
    EXPECT_EQ(formatText(QStringLiteral("abc"), QStringLiteral("0;-0;0;\"(\"@\")\"")).text, QStringLiteral("(abc)"));
    EXPECT_EQ(formatText(QStringLiteral("abc"), QStringLiteral("@")).text, QStringLiteral("abc"));
    EXPECT_EQ(formatText(QStringLiteral("abc"), QStringLiteral("0.00")).text, QStringLiteral("abc"));
    EXPECT_EQ(formatText(QStringLiteral("abc"), QStringLiteral("[$-409]d\\-mmm\\-yy;@")).text, QStringLiteral("abc"));
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
