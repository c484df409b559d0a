// Whether a shape's line is drawn: on unless the shape switches it off (an
// inserted picture or a drop-down does; a framed picture does not).
#include "support/TestSupport.h"
#include "support/XlsWriter.h"
#include "host/Workbook.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;

TEST(XlsShapeLines, PicturesHaveNoLineAndKeepTheirMacro) {
    test::XlsWriter w;
    test::XlsSheet& sheet = w.addSheet("Sheet1");
    sheet.textBox(0, 0, "box");
    sheet.picture(2, 0).macro = "ShowLogo";
    QTemporaryDir dir;
    ASSERT_TRUE(w.save(dir.filePath("p.xls")));
    const auto shapes = host::Workbook::load(dir.filePath("p.xls")).sheet(1).shapes();
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_TRUE(shapes[0].lineVisible);
    EXPECT_FALSE(shapes[1].lineVisible);
    EXPECT_EQ(shapes[1].name, "Picture 2");
    EXPECT_EQ(shapes[1].onAction, "ShowLogo");
    EXPECT_TRUE(shapes[1].text.isEmpty());
}

TEST(XlsShapeLines, RealFramedPictureButtonAndDropDown) {
    const auto book = host::Workbook::load(test::fixture("xls/poi/50939.xls"));
    const auto shapes = book.sheet(QStringLiteral("sheet2")).shapes();
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_TRUE(shapes[0].lineVisible);   // Picture 132, framed
    EXPECT_TRUE(shapes[1].lineVisible);   // Button 540, the default
    EXPECT_FALSE(shapes[2].lineVisible);  // Drop Down 415, line switched off
}
