// The shape list: kinds by what a shape is (never by its name), which shapes
// each selection lists, the macro name cut, the line style names, colours as
// "#RRGGBB", and a crafted book walked end to end (duplicate names, a
// picture, a renamed Japanese button, a protected sheet).
#include "analyses/workbook/ShapeInventory.h"
#include "workbook_support.h"

#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses::workbook;

// The object's kind decides; a drawing of the Office shapes is told by its
// outline. Each name would have given another kind by its letters.
TEST(ShapeRules, KindIsWhatTheShapeIs) {
    using model::Geometry;
    using model::ShapeKind;
    const struct { ShapeKind kind; Geometry geometry; const char* name; const char* expected; } cases[] = {
        {ShapeKind::Button, Geometry::Other, "受注ボタン", "ボタン"},
        {ShapeKind::CheckBox, Geometry::Other, "Check Box 1", "チェックボックス"},
        {ShapeKind::OptionButton, Geometry::Other, "Option Button 2", "オプションボタン"},
        {ShapeKind::Label, Geometry::Other, "Label 3", "ラベル"},
        {ShapeKind::DropDown, Geometry::Other, "Drop Down 1", "ドロップダウン"},
        {ShapeKind::Group, Geometry::Other, "Group 3", "グループ"},
        {ShapeKind::Comment, Geometry::Other, "Text Box 9", "コメント"},
        {ShapeKind::TextBox, Geometry::Rectangle, "Comment 1", "ﾃｷｽﾄﾎﾞｯｸｽ"},
        {ShapeKind::Picture, Geometry::Other, "arrow 1", "ピクチャ"},
        {ShapeKind::Chart, Geometry::Other, "Rectangle 4", "グラフ"},
        {ShapeKind::AutoShape, Geometry::Ellipse, "Picture 2", "楕円"},
        {ShapeKind::AutoShape, Geometry::Line, "Button 1", "直線"},
        {ShapeKind::AutoShape, Geometry::Other, "三角", "ｵｰﾄｼｪｲﾌﾟ"},
        {ShapeKind::Other, Geometry::Other, "Button 2", "その他の図形"},
    };
    for (const auto& c : cases) {
        model::Shape shape;
        shape.kind = c.kind;
        shape.geometry = c.geometry;
        shape.name = QString::fromUtf8(c.name);
        EXPECT_EQ(ShapeKindName(shape), QString::fromUtf8(c.expected)) << c.name;
    }
}

// Comments keep their text for the cell list; kinds without text have none.
TEST(ShapeRules, TextIsReadFromShapesThatHoldOne) {
    model::Shape box;
    box.kind = model::ShapeKind::TextBox;
    box.hasText = true;
    EXPECT_TRUE(readsShapeText(box));
    box.kind = model::ShapeKind::Comment;
    EXPECT_FALSE(readsShapeText(box));
    EXPECT_FALSE(readsShapeText(model::Shape{}));
}

TEST(ShapeRules, ColourIsRedGreenBlueInHex) {
    const std::pair<model::Color, const char*> cases[] = {
        {model::Color::of(0xFFFFFF), "#FFFFFF"}, {model::Color::of(0), "#000000"},
        {model::Color::of(0xFF0000), "#FF0000"}, {model::Color::of(0x40800A), "#40800A"},
        {model::Color::automaticColor(), "#FFFFFF"},  // an automatic fill is the window's white
    };
    for (const auto& [colour, text] : cases) EXPECT_EQ(colorText(colour), QString::fromLatin1(text)) << text;
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
    // Renamed shapes whose names begin with no letter of the old rule.
    first.button(10, 0, "受注", "Module1.Order").name = QStringLiteral("受注ボタン");
    first.checkBox(12, 0, "確認", 1).name = QStringLiteral("確認欄");
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
        "select objectNo, SheetName, ShapeName, MacroName, TextName, LineStyle, ShapeType, Label, ForeColor "
        "from T_XlShape order by ID");
    ASSERT_EQ(rows.size(), 8u);
    const auto at = [&](size_t r, size_t c) { return rows[r][c].toString(); };
    EXPECT_EQ(QStringList({at(0, 3), at(0, 4), at(1, 2), at(1, 3), at(1, 4)}),
              QStringList({"", "first", "Target", "Module1.Second", "second"}));  // same names, own data
    EXPECT_EQ(QStringList({at(0, 6), at(1, 6)}), QStringList({"ﾃｷｽﾄﾎﾞｯｸｽ", "ボタン"}));
    EXPECT_EQ(at(0, 8), "#FFFFFF");
    EXPECT_EQ(QStringList({at(3, 2), at(3, 4), at(3, 5), at(3, 6)}), QStringList({"Picture 4", "", "線なし", "ピクチャ"}));
    EXPECT_EQ(at(4, 6), "コメント");
    EXPECT_EQ(rows[4][4], QVariant());  // a comment's text is not read
    EXPECT_EQ(QStringList({at(5, 2), at(5, 6), at(5, 3), at(5, 4)}),
              QStringList({"受注ボタン", "ボタン", "Module1.Order", "受注"}));
    EXPECT_EQ(QStringList({at(6, 2), at(6, 6), at(6, 4)}), QStringList({"確認欄", "チェックボックス", "確認"}));
    EXPECT_EQ(QStringList({at(7, 1), at(7, 3), at(7, 7)}), QStringList({"Locked", "Go", "2"}));
    EXPECT_EQ(space.progress.values, (std::vector<int>{0, 33, 67, 100, 100}));
}

TEST(ShapeCommand, SelectionsListMacrosOnlyOrAllButCommentsAndRepeatOnlyShows) {
    test::workbook::BookSpace space;
    space.open(craftedBook());
    EXPECT_EQ(runShapeInventory(space.context(), {ShapeSelection::Macros, 0}).rows, 4);  // macros only
    EXPECT_FALSE(runShapeInventory(space.context(), {ShapeSelection::Macros, 1}).collected);
    EXPECT_EQ(runShapeInventory(space.context(), {ShapeSelection::AllButComments, 1}).rows, 7);  // all but the comment
}

// A ribbon callback is listed like a button's macro, after the sheets: the
// workbook prefix cut as for shapes, the label as its text, none without one.
TEST(ShapeRules, RibbonCallbacksFollowTheSheetsAsButtons) {
    const std::vector<model::RibbonAction> actions = {
        {QStringLiteral("run"), QStringLiteral("実行"), QStringLiteral("Module1.Run")},
        {QStringLiteral("go"), QString(), QStringLiteral("'受注 (1).xlsm'!Module2.Go ")},
    };
    const std::vector<ShapeRow> rows = ribbonRows(actions, 4);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(QStringList({rows[0].sheetName, rows[0].name, rows[0].macro, rows[0].text}),
              QStringList({"リボン", "run", "Module1.Run", "実行"}));
    EXPECT_TRUE(rows[0].readText);
    EXPECT_EQ(rows[1].macro, QStringLiteral("Module2.Go"));
    EXPECT_FALSE(rows[1].readText);
    EXPECT_EQ(rows[1].objectNo, 4);
}
