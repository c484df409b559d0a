// Numbers in formula text: the digits the spreadsheet shows, not what a
// default double-to-string conversion produces.
#include "host/xls/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

using tabulon::xls::numberText;

namespace {

struct Case {
    double value;
    const char* text;
};

class NumberTextTest : public testing::TestWithParam<Case> {};

TEST_P(NumberTextTest, WritesSpreadsheetDigits) {
    EXPECT_EQ(numberText(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumberTextTest,
    testing::Values(
        Case{0.0, "0"}, Case{-0.0, "0"},                  // no "-0"
        Case{1.0, "1"}, Case{100000.0, "100000"},         // no exponent, no ".0"
        Case{-0.5, "-0.5"}, Case{0.25, "0.25"},           // leading zero kept
        Case{0.0001, "0.0001"}, Case{0.1 + 0.2, "0.3"},   // rounded to 15 digits
        Case{1.0 / 3.0, "0.333333333333333"},             // 15 significant digits
        Case{2.0 / 3.0, "0.666666666666667"},             // last digit rounded
        Case{123456789012345.0, "123456789012345"},       // 15 integer digits fixed
        Case{1e15, "1E+15"}, Case{1e20, "1E+20"},         // beyond: scientific
        Case{1234567890123456.0, "1.23456789012346E+15"},
        Case{1.5e100, "1.5E+100"}, Case{-2e300, "-2E+300"},
        Case{1e-15, "0.000000000000001"},                 // 15th decimal place fixed
        Case{1e-16, "1E-16"}, Case{1.0 / 3000000.0, "3.33333333333333E-07"},
        Case{3.14159, "3.14159"}, Case{-273.15, "-273.15"},
        Case{std::numeric_limits<double>::infinity(), "#NUM!"},  // non-finite: the number error
        Case{std::numeric_limits<double>::quiet_NaN(), "#NUM!"}));

// Values with a short decimal form, the most common in workbooks: the text
// is that form, the shortest that reads back as the value.
TEST(NumberTextSweep, ShortDecimalsAreWrittenAsTyped) {
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 200000; ++i) {
        const int places = int(random() % 10);
        const uint64_t digits = random() % (i % 2 ? 100000ull : 10000000000000ull);
        const double value = double(digits) / std::pow(10.0, places) * (i % 3 ? 1 : -1);
        if (value == 0) continue;
        char expected[64];
        const char* end = std::to_chars(expected, expected + sizeof expected, value, std::chars_format::fixed).ptr;
        ASSERT_EQ(numberText(value).toStdString(), std::string(expected, size_t(end - expected))) << digits << "e-" << places;
    }
}

// Any other value: at most 15 significant digits, within half a unit of the
// fifteenth of the value.
TEST(NumberTextSweep, OtherValuesKeepFifteenDigits) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const double value = std::ldexp(double(random() >> 11) / double(1ull << 53), int(random() % 80) - 40);
        if (value == 0) continue;
        const std::string text = numberText(value).toStdString();
        int significant = 0;
        bool leading = true;
        for (char c : text.substr(0, text.find('E'))) {
            if (c < '0' || c > '9') continue;
            if (c != '0') leading = false;
            if (!leading) ++significant;
        }
        EXPECT_LE(significant, 15) << text;
        EXPECT_NEAR(std::strtod(text.c_str(), nullptr), value, std::fabs(value) * 5.1e-15) << text;
    }
}

}  // namespace
