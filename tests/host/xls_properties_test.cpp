// Document property texts stored in the writer's code page, and which
// positions fail instead of answering empty.
#include "host/props/PropertySets.h"

#include <gtest/gtest.h>

using namespace tabulon::props;

TEST(XlsProperties, TextsInTheirCodePage) {
    EXPECT_EQ(fromCodePage(QByteArray("\x82\xa0\x8a\xbf", 4), 932), QString::fromUtf8("あ漢"));
    EXPECT_EQ(fromCodePage(QByteArray("Caf\xe9", 4), 1252), QString::fromUtf8("Café"));
    EXPECT_EQ(fromCodePage(QByteArray("\xe2\x82\xac"), 65001), QString::fromUtf8("€"));
    EXPECT_EQ(fromCodePage(QByteArray("a\x81", 2), 932), "a?") << "a broken lead byte is replaced, not dropped silently";
}

TEST(XlsProperties, OnlyTheDatePositionsFailWhenMissing) {
    for (int p = 1; p <= 30; ++p) EXPECT_EQ(isDatePosition(p), p == 10 || p == 11 || p == 12) << p;
}
