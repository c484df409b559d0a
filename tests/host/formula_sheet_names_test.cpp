// A name that belongs to one sheet is written with that sheet when a formula
// on another sheet uses it, bare on its own sheet.
#include "host/Workbook.h"
#include "xlswriter/XlsWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using tabulon::xlsw::Rgce;
using tabulon::xlsw::XlsWriter;

TEST(FormulaNames, SheetNameIsWrittenWhereTheNameBelongsElsewhere) {
    XlsWriter w;
    w.addSheet("Defines");
    w.addSheet("My Calc");
    w.addName("Rate", Rgce().ref3d(0, 0, 0, false), 1);   // Defines!Rate
    w.addName("Total", Rgce().ref3d(1, 0, 0, false));     // a workbook name
    w.sheet(0).formula(1, 0, Rgce().name(1).integer(2).op(0x05));
    w.sheet(1).formula(0, 0, Rgce().name(1).name(2).op(0x03));
    QTemporaryDir dir;
    const QString file = dir.filePath("names.xls");
    ASSERT_TRUE(w.save(file));
    const host::Workbook book = host::Workbook::load(file);
    EXPECT_EQ(book.sheet(1).usedRange().cell(0).formula(), "=Rate*2");
    EXPECT_EQ(book.sheet(2).usedRange().cell(0).formula(), "=Defines!Rate+Total");
}
