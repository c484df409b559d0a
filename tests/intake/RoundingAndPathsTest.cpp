// Half-up rounding of the progress percentages and estimates, and the two
// path functions.
#include "common/Error.h"
#include "host/PathParts.h"
#include "intake/Rounding.h"

#include <QStringList>
#include <gtest/gtest.h>

using tabulon::intake::roundHalfUp;
using namespace tabulon::host;

namespace {

struct RoundCase { double value; int digits; double expected; };

TEST(Rounding, HalvesGoTowardsPlusInfinity) {
    const RoundCase cases[] = {
        {2.5, 0, 3}, {-2.5, 0, -2}, {1234, -2, 1200}, {0.125, 2, 0.13}, {-0.125, 2, -0.12}, {1250, -2, 1300},
        {-1250, -2, -1200}, {2.4999, 0, 2}, {33.333333, 1, 33.3}, {49.5, 0, 50}, {123456, -25, 0},
        // The value is a four-decimal amount first: 0.00005 -> 0.0000 (even).
        {0.00005, 4, 0}, {1.23456, 6, 1.2346},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(roundHalfUp(c.value, c.digits), c.expected) << c.value << " at " << c.digits << " digits";
}

TEST(Rounding, OutOfCurrencyRangeIsOverflow) {
    try {
        roundHalfUp(1e16, 0);
        FAIL() << "no overflow";
    } catch (const tabulon::Error& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

TEST(PathParts, SplitsAtTheLastSeparatorOfEitherKind) {
    const struct {
        const char* path;
        const char* folder;
        const char* file;
    } cases[] = {
        {"C:\\a\\b.xls", "C:\\a\\", "b.xls"},
        {"/home/u/b.xls", "/home/u/", "b.xls"},
        {"/home/u\\mixed/c.xls", "/home/u\\mixed/", "c.xls"},
        {"C:\\a\\", "C:\\a\\", ""},
        {"", "", ""},
        {"/データ/表.xls", "/データ/", "表.xls"},
        {"bare.xls", "", "bare.xls"},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(QStringList({GetFolderPart(path), GetFileNamePart(path)}),
                  QStringList({QString::fromUtf8(c.folder), QString::fromUtf8(c.file)}));
    }
}

}  // namespace
