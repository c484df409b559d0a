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
        {"Drop Down 1", "ERROR"}, {"", "ERROR"},   {"Check Box 1", "グラフ"},     {"Co 2", "コメント"},
        {"OBJ", "オブジェクト"},   {"Button 3", "ボタン"}, {"Text Box 2", "ﾃｷｽﾄﾎﾞｯｸｽ"}, {"AutoShape 7", "ｵｰﾄｼｪｲﾌﾟ"},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(ShapeKindName(name), kind) << name.toStdString();
    EXPECT_EQ(TextShapeCheck("chart 1") + TextShapeCheck("Text Box 2"), "ERROR");
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
    const std::pair<int, QString> cases[] = {{1, "実線"}, {5, "破線・点線"}, {6, "破線１点線２"}, {0, "ERROR"}};
    for (const auto& [style, name] : cases)
        EXPECT_EQ(LineStyleName(style), name) << style;
    EXPECT_EQ(LineStyleName(4, false), "線なし");
}

using tabulon::intake::ShapeSelection;

namespace {

xlsw::XlsWriter craftedBook() {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& first = w.addSheet("Orders");
    first.textBox(0, 0, "first").name = "Target";
    first.button(2, 0, "second", "Module1.Second").name = "Target";
    first.textBox(4, 0, "no macro");
    first.picture(6, 0).macro = "ShowLogo";
    first.note(8, 0, "me", "a comment");
    xlsw::XlsSheet& locked = w.addSheet("Locked");
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
    const auto out = runShapeInventory(space.context(), {ShapeSelection::All, 0});
    ASSERT_EQ(out.end, analyses::code::CodeOutcome::End::Report) << out.message.toStdString();
    EXPECT_EQ(out.doneMark, 2);
    const auto rows = space.rows(
        "select objectNo, SheetName, ShapeName, MacroName, TextName, LineStyle, ShapeType, Label from T_XlShape order by ID");
    ASSERT_EQ(rows.size(), 6u);
    const auto at = [&](size_t r, size_t c) { return rows[r][c].toString(); };
    EXPECT_EQ(QStringList({at(0, 3), at(0, 4), at(1, 2), at(1, 3), at(1, 4)}),
              QStringList({"", "first", "Target", "Module1.Second", "second"}));  // same names, own data
    EXPECT_EQ(QStringList({at(3, 2), at(3, 4), at(3, 5)}), QStringList({"Picture 4", "", "線なし"}));
    EXPECT_EQ(at(4, 6), "コメント");
    EXPECT_EQ(rows[4][4], QVariant());  // a comment's text is not read
    EXPECT_EQ(QStringList({at(5, 1), at(5, 3), at(5, 7)}), QStringList({"Locked", "Go", "2"}));
    EXPECT_EQ(space.progress.values, (std::vector<int>{0, 33, 67, 100, 100}));
}

TEST(ShapeCommand, SelectionsListMacrosOnlyOrAllButCommentsAndRepeatOnlyShows) {
    test::workbook::BookSpace space;
    space.open(craftedBook());
    EXPECT_EQ(runShapeInventory(space.context(), {ShapeSelection::Macros, 0}).rows, 3);  // macros only
    EXPECT_FALSE(runShapeInventory(space.context(), {ShapeSelection::Macros, 1}).collected);
    EXPECT_EQ(runShapeInventory(space.context(), {ShapeSelection::AllButComments, 1}).rows, 5);  // all but the comment
}
