// The workbook chapters on one crafted workbook: a chart sheet and a sheet
// named like an old macro sheet in the middle, a hidden sheet, error cells,
// comments, names that are no ranges, and two linked workbooks.
#include "analyses/workbook/CellInventory.h"
#include "analyses/workbook/LinkSearch.h"
#include "analyses/workbook/NameList.h"
#include "analyses/workbook/ObjectInventory.h"
#include "analyses/workbook/TimeEstimate.h"
#include "workbook_support.h"

#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses::workbook;
using tabulon::xlsw::Rgce;
using tabulon::xlsw::XlsModule;
using tabulon::xlsw::XlsWriter;
using tabulon::test::workbook::BookSpace;
using tabulon::test::workbook::lines;

using tabulon::intake::CellOption;
using tabulon::intake::ObjectOption;

namespace {

XlsWriter craftedBook() {
    XlsWriter w;
    for (const char* name : {"データ", "Chart1", "Module1", "隠し", "空"}) w.addSheet(QString::fromUtf8(name));
    auto& data = w.sheet(0);
    w.sheet(1).chart = true;
    w.sheet(2).formula(0, 0, Rgce().integer(1));
    auto& hidden = w.sheet(3);
    hidden.visibility = 1;
    const int prices = w.addExternalSheet(QStringLiteral("C:\\data\\Prices.xls"), QStringLiteral("Sheet1"));
    const int rates = w.addExternalSheet(QStringLiteral("D:\\x\\Rates.xls"), QStringLiteral("S"));
    data.number(0, 0, 1).text(0, 1, QStringLiteral(" ")).error(0, 2, 0x07);
    data.formula(1, 0, Rgce().ref(0, 0).integer(2).op(0x05), 2);
    data.formulaError(1, 1, Rgce().integer(1).integer(0).op(0x06), 0x07);
    data.text(1, 2, QStringLiteral("="));
    data.formula(6, 27, Rgce().ref(0, 0), 1);
    data.note(0, 0, QStringLiteral("作成者"), QString(200, u'注'));
    data.note(1, 0, QStringLiteral("作成者"), QStringLiteral("二倍にする"));
    data.button(3, 3, QStringLiteral("実行"), QStringLiteral("Module1.Run"));  // a hidden macro name
    hidden.formula(4, 2, Rgce().ref3d(prices, 0, 0).integer(2).op(0x05));
    hidden.formula(8, 4, Rgce().ref3d(rates, 0, 0));
    w.addName(QStringLiteral("Rate"), Rgce().ref3d(0, 0, 0, false));
    w.addName(QStringLiteral("Tax"), Rgce().number(0.08));
    w.addName(QStringLiteral("Local"), Rgce().ref3d(0, 1, 1, false), 1);
    w.addModule(QStringLiteral("Module1"), XlsModule::Standard, QStringLiteral("Sub A()\r\nEnd Sub\r\n"));
    w.addModule(QStringLiteral("Class1"), XlsModule::Class, QStringLiteral("Sub B()\r\nEnd Sub\r\n"));
    w.addModule(QStringLiteral("Module2"), XlsModule::Standard, QStringLiteral("Sub C()\r\nEnd Sub\r\n"));
    w.addForm(QStringLiteral("UserForm1"), QStringLiteral("入力"), QStringLiteral("Sub D()\r\nEnd Sub\r\n"));
    w.addModule(QStringLiteral("ThisWorkbook"), XlsModule::Document, QString());
    return w;
}

// The cell list's options for one list choice over all sheets.
CellOptions listing(CellOption cellOption) {
    CellOptions o;
    o.cellOption = cellOption;
    return o;
}

const char* kObjects = "select objectNo, Class, objectName, Row, Col, CellCount, ErrCount, ShapeCount, CalCount, "
                       "StVisible, ComentCount from T_XlObject order by ID";

}  // namespace

TEST(ObjectInventory, DetailedWalkCountsEverySheetByIdentityThenTheModules) {
    BookSpace b(craftedBook());
    const auto out = runObjectInventory(b.context(), {ObjectOption::DetailedObjects, 0});
    ASSERT_EQ(out.end, CodeOutcome::End::Report) << out.message.toStdString();
    EXPECT_EQ(out.doneMark, 3);
    EXPECT_EQ(lines(b.rows(kObjects)),
              (QStringList{"1|ﾜｰｸｼｰﾄ|データ|7|28|7|2|3|4|-1|2",  // errors count in CellCount too
                           "2|ﾜｰｸｼｰﾄ|Chart1|1|1|0|0|0|0|-1|0",   // a chart sheet is an empty sheet
                           "3|ﾜｰｸｼｰﾄ|隠し|5|3|2|0|0|2|0|0",      // C5:E9, hidden, read all the same
                           "4|ﾜｰｸｼｰﾄ|空|1|1|0|0|0|0|-1|0",
                           "5|標準ﾓｼﾞｭｰﾙ|Module1||||||||", "6|ｸﾗｽﾓｼﾞｭｰﾙ|Class1||||||||",
                           "7|標準ﾓｼﾞｭｰﾙ|Module2||||||||", "8|ﾌｫｰﾑﾓｼﾞｭｰﾙ|UserForm1||||||||"}));
    EXPECT_EQ(lines(b.rows("select LinkNo, LinkType, LinkMoto from T_XlLink order by ID")),
              (QStringList{"1|Excel|C:\\data\\Prices.xls", "2|Excel|D:\\x\\Rates.xls"}));
    EXPECT_EQ(lines(b.rows("select BookNo, FileSize > 0, Label from T_XlBook")), QStringList{"1|1|3"});
    EXPECT_EQ(b.progress.values.back(), 100);
    for (int p : b.progress.values) EXPECT_LE(p, 100);
}

TEST(ObjectInventory, SimpleCountsTheUsedRangeAndBookOnlyLeavesNoObjects) {
    BookSpace b(craftedBook());
    ASSERT_EQ(runObjectInventory(b.context(), {ObjectOption::SimpleObjects, 0}).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(b.rows("select CellCount, ErrCount, CalCount from T_XlObject where objectNo in (1, 4)")),
              (QStringList{"196|0|0", "1|0|0"}));
    EXPECT_EQ(runObjectInventory(b.context(), {ObjectOption::Book, 2}).doneMark, 1);
    EXPECT_TRUE(b.rows("select * from T_XlObject").empty());
    EXPECT_EQ(b.rows("select * from T_XlLink").size(), 2u);
}

TEST(ObjectInventory, NoWorkbookEndsSilently) {
    BookSpace b(craftedBook());
    b.unload();
    const auto out = runObjectInventory(b.context(), {ObjectOption::SimpleObjects, 0});
    EXPECT_EQ(out.end, CodeOutcome::End::Failed);
    EXPECT_EQ(out.errorNumber, 91);
    EXPECT_TRUE(b.messages.shown.empty());
}

TEST(CellInventory, ListsFollowTheOptionAndTheSheetNumbersAdvanceOverEmptySheets) {
    BookSpace b(craftedBook());
    int sheetMark = 0;
    QString remembered;
    const char* sql = "select Label, SheetMei, objectNo, StCell, CalcName, length(NoteName) from T_XlCalc order by ID";
    ASSERT_EQ(runCellInventory(b.context(), listing(CellOption::Formulas), sheetMark, remembered).end,
              CodeOutcome::End::Report);
    EXPECT_EQ(lines(b.rows(sql)), (QStringList{"1|データ|1|A2|=A1*2|", "1|データ|1|B2|=1/0|", "1|データ|1|C2|=|",
                                               "1|データ|1|AB7|=A1|",
                                               "1|隠し|3|C5|='C:\\data\\[Prices.xls]Sheet1'!A1*2|",
                                               "1|隠し|3|E9|='D:\\x\\[Rates.xls]S'!A1|"}));
    ASSERT_EQ(runCellInventory(b.context(), listing(CellOption::Comments), sheetMark, remembered).end,
              CodeOutcome::End::Report);
    EXPECT_EQ(lines(b.rows(sql)), (QStringList{"2|データ|1|A1||130", "2|データ|1|A2||10"}));  // the note cut at 130
    runCellInventory(b.context(), listing(CellOption::Both), sheetMark, remembered);
    EXPECT_EQ(lines(b.rows("select StCell, CalcName from T_XlCalc")), QStringList{"A2|=A1*2"});
    EXPECT_EQ(sheetMark, 1);
}

TEST(CellInventory, SelectedSheetIsNumberedOneAndAMissingSheetLeavesNoMark) {
    BookSpace b(craftedBook());
    int sheetMark = 0;
    QString remembered;
    CellOptions o = listing(CellOption::Formulas);
    o.sheetSelection = tabulon::intake::SheetSelection::SelectedSheet;
    o.selectedSheet = QStringLiteral("隠し");
    auto out = runCellInventory(b.context(), o, sheetMark, remembered);
    EXPECT_EQ(lines(b.rows("select SheetMei, objectNo, StCell from T_XlCalc")),
              (QStringList{"隠し|1|C5", "隠し|1|E9"}));
    EXPECT_EQ(remembered, "隠し");
    o.cellMark = out.doneMark;
    o.sheetMark = sheetMark;
    o.rememberedSheet = remembered;
    EXPECT_FALSE(runCellInventory(b.context(), o, sheetMark, remembered).collected);  // same choice: no gathering
    o.selectedSheet = QStringLiteral("無い");
    out = runCellInventory(b.context(), o, sheetMark, remembered);
    EXPECT_EQ(out.end, CodeOutcome::End::Failed);
    EXPECT_TRUE(out.collected);
    EXPECT_EQ(out.doneMark, 0);
    EXPECT_EQ(sheetMark, 0);
    EXPECT_TRUE(out.message.startsWith("場所:セル情報ｴﾗｰNo:9\r")) << out.message.toStdString();
}

TEST(NameList, EveryWorkbookNameGetsARowAndSheetNamesAreSkipped) {
    BookSpace b(craftedBook());
    const auto out = runNameList(b.context());
    ASSERT_EQ(out.end, CodeOutcome::End::Report) << out.message.toStdString();
    EXPECT_EQ(out.doneMark, 1);
    EXPECT_EQ(lines(b.rows("select LabelName, SheetMei, StCell from T_XlName order by ID")),
              (QStringList{"Rate|データ|A1", "Tax|=0.08|"}));
    EXPECT_EQ(b.progress.values.back(), 100);
}

TEST(NameList, SheetPartEndsAtTheFirstBangOutsideQuotes) {
    const struct { const char* refersTo; const char* sheet; } cases[] = {
        {"=Data!$A$1:$C$9", "Data"},
        {"='Sales 2001'!$B$2:$B$40", "'Sales 2001'"},
        {"='A!B'!$A$1", "'A!B'"},
        {"='It''s!'!$A$1", "'It''s!'"},
        {"=0.08", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheetPartOf(QString::fromUtf8(c.refersTo)), QString::fromUtf8(c.sheet)) << c.refersTo;
}

TEST(LinkSearch, ListsTheFormulasOfTheChosenBookOnly) {
    BookSpace b(craftedBook());
    const auto out = runLinkSearch(b.context(), QStringLiteral("C:\\data\\Prices.xls"));
    ASSERT_EQ(out.end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(b.rows("select Label, SheetMei, objectNo, StCell, NoteName is null from T_XlCalc")),
              QStringList{"9|隠し|3|C5|1"});
}

TEST(LinkSearch, RecognisesEveryWayAFormulaNamesTheBook) {
    const LinkReference prices(QStringLiteral("C:\\data\\Prices.xls"));
    EXPECT_TRUE(prices.foundIn("='C:\\data\\[Prices.xls]Sheet1'!A1*2"));
    EXPECT_TRUE(prices.foundIn("=SUM('C:\\data\\Prices.xls'!Rate)"));   // an external name
    EXPECT_FALSE(prices.foundIn("=[Prices.xls]Sheet1!A1"));             // no folder
    EXPECT_FALSE(prices.foundIn("='c:\\data\\[Prices.xls]Sheet1'!A1"));  // other letter case
    EXPECT_FALSE(prices.foundIn("'C:\\data\\[Prices.xls]Sheet1'!A1"));  // a constant
    const LinkReference quoted(QStringLiteral("C:\\Bob's\\B.xls"));
    EXPECT_TRUE(quoted.foundIn("='C:\\Bob''s\\[B.xls]S'!A1"));
}

TEST(LinkSearch, NothingChosenAsksForAChoiceAndKeepsTheTable) {
    BookSpace b(craftedBook());
    const auto out = runLinkSearch(b.context(), QString());
    EXPECT_EQ(out.end, CodeOutcome::End::Refused);
    EXPECT_FALSE(out.collected);
    EXPECT_EQ(b.messages.shown, std::vector<QString>{NoLinkChosenText});
}

TEST(TimeEstimate, CountsUsedRangesAndSaysWhenUnderAMinute) {
    BookSpace b(craftedBook());
    EXPECT_EQ(usedCellTotal(*b.context().workbook()), 196 + 1 + 15 + 1);
    EXPECT_TRUE(estimateText(1000).endsWith("\r1分未満で終わります。"));
    EXPECT_TRUE(estimateText(kCellsPerMinute * 3 / 2).endsWith("\r約2分かかります。"));
    EXPECT_TRUE(estimateText(kCellsPerMinute * 3 / 2 - 1).endsWith("\r約1分かかります。"));
    runTimeEstimate(b.context());
    EXPECT_TRUE(b.messages.shown.at(0).startsWith("オブジェクト(詳細)及びセル情報の処理時間は\r"));
}

// Figures read from the same files by SheetJS, an independent reader.
TEST(RealWorkbooks, PerSheetCountsAgreeWithAnIndependentReader) {
    BookSpace b(tabulon::test::fixture("xls/poi/FormulaEvalTestData.xls"));
    ASSERT_EQ(runObjectInventory(b.context(), {ObjectOption::DetailedObjects, 0}).end, CodeOutcome::End::Report);
    EXPECT_EQ(lines(b.rows("select objectName, Row, Col, CalCount, ErrCount, ComentCount from T_XlObject "
                           "where Class = 'ﾜｰｸｼｰﾄ' order by objectNo")),
              (QStringList{"EverythingTests|1547|45|1310|592|1", "FinanceLibTests|34|24|27|0|0",
                           "StatsLibTests|19|9|62|3|0", "misc|18|6|17|2|0"}));
    int sheetMark = 0;
    QString remembered;
    runCellInventory(b.context(), listing(CellOption::Formulas), sheetMark, remembered);
    EXPECT_EQ(lines(b.rows("select count(*) from T_XlCalc")), QStringList{"1416"});
}

TEST(RealWorkbooks, NamesThatAreNoRangeKeepTheirFormula) {
    BookSpace b(tabulon::test::fixture("xls/poi/testNames.xls"));
    ASSERT_EQ(runNameList(b.context()).end, CodeOutcome::End::Report);
    const QStringList rows = lines(b.rows("select LabelName, SheetMei, StCell from T_XlName order by ID"));
    EXPECT_EQ(rows.size(), 8);
    EXPECT_TRUE(rows.contains("nr_B2_D3|Sheet1|B2:D3"));
    EXPECT_TRUE(rows.contains("nr_OFFSET|=OFFSET(Sheet1!$A$1, 3, Sheet1!$A$2)|"));
    EXPECT_TRUE(rows.contains("n_K234|=234|"));
}

TEST(RealWorkbooks, LongExternalReferencesOfNamesAreKeptWhole) {
    // Names pointing into books on a network path whose RefersTo text runs
    // past 255 characters: the list completes and keeps the text whole.
    BookSpace b(tabulon::test::fixture("xls/xlrd/invalid_formula.xls"));
    const auto out = runNameList(b.context());
    ASSERT_EQ(out.end, CodeOutcome::End::Report) << out.message.toStdString();
    const auto longest = b.rows("select max(length(SheetMei)) from T_XlName");
    EXPECT_GT(longest.at(0).at(0).toInt(), 255);
}
