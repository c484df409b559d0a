// Half-up rounding of the progress percentages and estimates, and the two
// path functions.
#include "common/Error.h"
#include "host/PathParts.h"
#include "intake/Rounding.h"

#include <gtest/gtest.h>

using tabulon::intake::roundHalfUp;
using namespace tabulon::host;

namespace {

struct RoundCase { double value; int digits; double expected; };

class Rounding : public ::testing::TestWithParam<RoundCase> {};

TEST_P(Rounding, HalvesGoTowardsPlusInfinity) {
    const RoundCase c = GetParam();
    EXPECT_DOUBLE_EQ(roundHalfUp(c.value, c.digits), c.expected)
        << c.value << " at " << c.digits << " digits";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Rounding,
    ::testing::Values(RoundCase{2.5, 0, 3}, RoundCase{-2.5, 0, -2}, RoundCase{1234, -2, 1200},
                      RoundCase{0.125, 2, 0.13}, RoundCase{-0.125, 2, -0.12},
                      RoundCase{1250, -2, 1300}, RoundCase{-1250, -2, -1200},
                      RoundCase{2.4999, 0, 2}, RoundCase{33.333333, 1, 33.3},
                      // The value is a four-decimal amount first: 0.00005 -> 0.0000 (even).
                      RoundCase{0.00005, 4, 0}, RoundCase{1.23456, 6, 1.2346},
                      RoundCase{49.5, 0, 50}, RoundCase{123456, -25, 0}));

TEST(RoundingLimits, OutOfCurrencyRangeIsOverflow) {
    try {
        roundHalfUp(1e16, 0);
        FAIL() << "no overflow";
    } catch (const tabulon::Error& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

struct PathCase { const char* path; const char* folder; const char* file; };

class PathParts : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathParts, SplitsAtTheLastSeparatorOfEitherKind) {
    const PathCase c = GetParam();
    EXPECT_EQ(GetFolderPart(QString::fromUtf8(c.path)), QString::fromUtf8(c.folder));
    EXPECT_EQ(GetFileNamePart(QString::fromUtf8(c.path)), QString::fromUtf8(c.file));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PathParts,
    ::testing::Values(PathCase{"C:\\a\\b.xls", "C:\\a\\", "b.xls"},
                      PathCase{"/home/u/b.xls", "/home/u/", "b.xls"},
                      PathCase{"/home/u\\mixed/c.xls", "/home/u\\mixed/", "c.xls"},
                      PathCase{"C:\\a\\", "C:\\a\\", ""}, PathCase{"", "", ""},
                      PathCase{"/データ/表.xls", "/データ/", "表.xls"},
                      PathCase{"bare.xls", "", "bare.xls"}));

}  // namespace
