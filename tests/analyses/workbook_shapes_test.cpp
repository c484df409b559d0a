// The shape list: kinds by the first letters of the name, which shapes each
// selection lists, the macro name cut, the line style names, and a crafted
// book walked end to end (duplicate names, a picture, a protected sheet).
#include "analyses/workbook/ShapeInventory.h"
#include "workbook_support.h"

#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses::workbook;

TEST(ShapeRules, KindIsDecidedByTheFirstLetters) {
    const std::pair<QString, QString> cases[] = {
        {"Drop Down 1", "ERROR"}, {"Group 3", "ERROR"},      {"arrow 1", "ERROR"},     {"", "ERROR"},
        {"Check Box 1", "グラフ"}, {"Option Button 2", "楕円"}, {"Label 3", "直線"},       {"Comment 1", "コメント"},
        {"Co 2", "コメント"},      {"OBJ", "オブジェクト"},      {"Object 4", "オブジェクト"}, {"Button 3", "ボタン"},
        {"Picture 5", "ピクチャ"},  {"Rectangle 5", "四角形"},   {"Text Box 2", "ﾃｷｽﾄﾎﾞｯｸｽ"}, {"AutoShape 7", "ｵｰﾄｼｪｲﾌﾟ"},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(ShapeKindName(name), kind) << name.toStdString();
    EXPECT_EQ(TextShapeCheck("chart 1"), "ERROR");
    EXPECT_EQ(TextShapeCheck("Line 2"), "ERROR");
    EXPECT_EQ(TextShapeCheck("Text Box 2"), "");
}

TEST(ShapeRules, SelectionDecidesWhichShapesAreListed) {
    using S = ShapeSelection;
    const struct { S sel; QString name, macro; bool listed; } cases[] = {
        {S::Macro, "Button 1", "Run", true},    {S::Macro, "Button 1", "", false},
        {S::All, "Button 1", "", true},         {S::All, "Comment 1", "", true},
        {S::AllButComments, "Comment 1", "", false}, {S::AllButComments, "Chart 1", "", true},
        {S::All, "Drop Down 1", "Run", false},  {S::Macro, "group 1", "Run", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isListed(c.sel, c.name, c.macro), c.listed) << c.name.toStdString() << int(c.sel);
}

TEST(ShapeRules, MacroNameIsThePartAfterTheLastUnquotedBang) {
    const std::pair<QString, QString> cases[] = {
        {"Book1.xls!Macro1", "Macro1"},
        {"Macro1", "Macro1"},
        {"'Sales!2003.xls'!Module1.Run", "Module1.Run"},
        {"'C:\\a!b\\[x.xls]'!M", "M"},
    };
    for (const auto& [assignment, name] : cases)
        EXPECT_EQ(macroNameOf(assignment), name) << assignment.toStdString();
}

TEST(ShapeRules, LineStylesFollowTheOfficeDashScale) {
    const std::pair<int, QString> cases[] = {
        {1, "実線"}, {2, "点線"}, {4, "破線"}, {5, "破線・点線"}, {6, "破線１点線２"}, {0, "ERROR"}, {-4115, "ERROR"},
    };
    for (const auto& [style, name] : cases)
        EXPECT_EQ(LineStyleName(style), name) << style;
    EXPECT_EQ(LineStyleName(4, false), "線なし");
}

namespace {

test::XlsWriter craftedBook() {
    test::XlsWriter w;
    test::XlsSheet& first = w.addSheet("Orders");
    first.textBox(0, 0, "first").name = "Target";
    first.button(2, 0, "second", "Module1.Second").name = "Target";
    first.textBox(4, 0, "no macro");
    first.picture(6, 0).macro = "ShowLogo";
    first.note(8, 0, "me", "a comment");
    test::XlsSheet& locked = w.addSheet("Locked");
    locked.protectedContents = true;
    locked.passwordHash = 0xCC3D;
    locked.button(0, 0, "Go", "Go");
    w.addSheet("Empty");
    return w;
}

}  // namespace

TEST(ShapeCommand, EveryShapeKeepsItsOwnMacroAndText) {
    test::workbook::BookSpace space;
    space.open(craftedBook());
    const auto out = runShapeInventory(space.context(), {2, 0});
    ASSERT_EQ(out.end, analyses::code::CodeOutcome::End::Report) << out.message.toStdString();
    EXPECT_EQ(out.doneMark, 2);
    const auto rows = space.rows(
        "select objectNo, SheetName, ShapeName, MacroName, TextName, LineStyle, ShapeType, Label from T_XlShape order by ID");
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0][3], QVariant());
    EXPECT_EQ(rows[0][4].toString(), "first");
    EXPECT_EQ(rows[1][2].toString(), "Target");
    EXPECT_EQ(rows[1][3].toString(), "Module1.Second");
    EXPECT_EQ(rows[1][4].toString(), "second");
    EXPECT_EQ(rows[3][2].toString(), "Picture 4");
    EXPECT_EQ(rows[3][4].toString(), "");
    EXPECT_EQ(rows[3][5].toString(), "線なし");
    EXPECT_EQ(rows[4][6].toString(), "コメント");
    EXPECT_EQ(rows[4][4], QVariant());  // a comment's text is not read
    EXPECT_EQ(rows[5][1].toString(), "Locked");
    EXPECT_EQ(rows[5][3].toString(), "Go");
    EXPECT_EQ(rows[5][7].toInt(), 2);
    EXPECT_EQ(space.progress.values, (std::vector<int>{0, 33, 67, 100, 100}));
}

TEST(ShapeCommand, SameSelectionOnlyShowsTheReportAgain) {
    test::workbook::BookSpace space;
    space.open(craftedBook());
    EXPECT_EQ(runShapeInventory(space.context(), {1, 0}).rows, 3);
    const auto again = runShapeInventory(space.context(), {1, 1});
    EXPECT_FALSE(again.collected);
    EXPECT_EQ(again.report, "R_XlShape");
    EXPECT_EQ(runShapeInventory(space.context(), {3, 1}).rows, 5);
}
