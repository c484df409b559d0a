// A shape's line is drawn unless the shape switches it off.
#include "support/TestSupport.h"
#include "host/Workbook.h"

#include <gtest/gtest.h>

TEST(XlsShapeLines, FramedPictureAndButtonDrawTheirLineADropDownDoesNot) {
    const auto book = tabulon::host::Workbook::load(tabulon::test::fixture("xls/poi/50939.xls"));
    const auto shapes = book.sheet(QStringLiteral("sheet2")).shapes();
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_TRUE(shapes[0].lineVisible);   // Picture 132, framed
    EXPECT_TRUE(shapes[1].lineVisible);   // Button 540, nothing stored
    EXPECT_FALSE(shapes[2].lineVisible);  // Drop Down 415
}
