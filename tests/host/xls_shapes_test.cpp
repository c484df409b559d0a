// The drawing layer: a sheet's OfficeArt drawing cut into MSODRAWING pieces
// with OBJ and TXO records in between, read into the shape collection the
// inventory walks (names, macros, fill colours, dash styles, texts), on
// crafted sheets and on real workbooks.
#include "support/TestSupport.h"
#include "common/Error.h"
#include "host/Sheet.h"
#include "host/Workbook.h"
#include "host/dump/WorkbookJson.h"
#include "host/xls/Colors.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/Loader.h"
#include "host/xls/Readers.h"

#include <QJsonArray>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

#include "xls_bytes.h"

using namespace tabulon::xls;
namespace model = tabulon::model;

namespace {

using namespace testbytes;

QByteArray drawing(const QByteArray& art) { return record(rt::MsoDrawing, art); }

// OfficeArt record header and body; a container header may claim more bytes
// than follow it, as it does when BIFF splits the drawing.
QByteArray art(int verInstance, int type, const QByteArray& body, qsizetype len = -1) {
    return Bytes().u16(verInstance).u16(type).u32(uint32_t(len < 0 ? body.size() : len)).raw(body).bytes();
}
QByteArray containerHeader(int type, qsizetype len) { return art(0x000F, type, QByteArray(), len); }
QByteArray container(int type, const QByteArray& body) { return art(0x000F, type, body); }

struct Prop {
    int id;
    uint32_t value;
};

// OfficeArtClientAnchorSheet: corner cells, the offsets into the second
// one in 1/1024 of its width and 1/256 of its height.
QByteArray anchorBody(int col1, int row1, int col2, int row2, int dx2 = 0, int dy2 = 0) {
    return Bytes().u16(0).u16(col1).u16(0).u16(row1).u16(0).u16(col2).u16(dx2).u16(row2).u16(dy2).bytes();
}

// FSP, FOPT (with an optional stored name), anchor and client data.
QByteArray shapeAtoms(uint32_t spid, uint32_t flags, std::vector<Prop> props, const QString& name = QString(),
                      const QByteArray& anchor = QByteArray(18, 0)) {
    QByteArray sp = art(0x0002 | (1 << 4), 0xF00A, Bytes().u32(spid).u32(flags).bytes());
    Bytes opt, complex;
    int count = int(props.size());
    for (const Prop& p : props) opt.u16(p.id).u32(p.value);
    if (!name.isEmpty()) {
        complex.wide(name).u16(0);
        opt.u16(0x0380 | 0x8000).u32(uint32_t(complex.bytes().size()));
        ++count;
    }
    sp += art(0x0003 | (count << 4), 0xF00B, opt.bytes() + complex.bytes());
    sp += art(0x0000, 0xF010, anchor);
    sp += art(0x0000, 0xF011, QByteArray());
    return sp;
}

QByteArray objRecord(int kind, int id, const QByteArray& macroTokens = QByteArray()) {
    Bytes b;
    b.u16(0x15).u16(0x12).u16(kind).u16(id).u16(0x6011).raw(QByteArray(12, 0));
    if (!macroTokens.isEmpty()) {
        Bytes fmla;
        fmla.u16(int(macroTokens.size())).u32(0).raw(macroTokens);
        if (fmla.bytes().size() % 2) fmla.u8(0);
        b.u16(0x04).u16(int(fmla.bytes().size())).raw(fmla.bytes());
    }
    b.u16(0).u16(0);
    return record(rt::Obj, b.bytes());
}

QByteArray txoRecord(const char* text) {
    const int cch = int(qstrlen(text));
    return record(rt::Txo, Bytes().u16(0x0212).u16(0).raw(QByteArray(6, 0)).u16(cch).u16(16).u32(0).bytes()) +
           record(rt::Continue, Bytes().u8(0).latin(text).bytes()) + record(rt::Continue, QByteArray(16, 0));
}

QByteArray nameToken(int index) { return Bytes().u8(0x43).u32(uint32_t(index)).bytes(); }

// A sheet with a button (macro, text), a renamed rectangle with colours and
// a dashed line, a group of two lines, and a picture (the third of the
// workbook's), in that order.
QByteArray craftedSheet() {
    const QByteArray patriarch = container(0xF004, art(0x0001, 0xF009, QByteArray(16, 0)) +
                                                       art(0x0002, 0xF00A, Bytes().u32(0x400).u32(0x5).bytes()));
    const QByteArray button = shapeAtoms(0x401, 0xA00, {{0x0181, 0x08000041}}, QString(), anchorBody(1, 2, 4, 8, 512, 128));
    const QByteArray buttonText = art(0x0000, 0xF00D, QByteArray());
    const QByteArray rect = container(0xF004, shapeAtoms(0x402, 0xA00, {{0x0181, 0x0800000A}, {0x01CE, 7}},
                                                         QStringLiteral("My Box")));
    const QByteArray groupHead = container(0xF004, shapeAtoms(0x403, 0x201, {}, QString(), anchorBody(0, 0, 2, 2)));
    const QByteArray line1 = container(0xF004, shapeAtoms(0x404, 0xA02, {}));
    const QByteArray line2 = container(0xF004, shapeAtoms(0x405, 0xA02, {}));
    const QByteArray group = container(0xF003, groupHead + line1 + line2);
    const QByteArray picture = container(0xF004, shapeAtoms(0x406, 0xA00, {{0x0181, 0x000000FF}, {0x0104, 3}}));

    const qsizetype buttonLen = button.size() + buttonText.size();
    const qsizetype groupBody = patriarch.size() + 8 + buttonLen + rect.size() + group.size() + picture.size();
    const QByteArray fdg = art(0x0010, 0xF008, QByteArray(8, 0));
    const QByteArray head = containerHeader(0xF002, fdg.size() + 8 + groupBody) + fdg +
                            containerHeader(0xF003, groupBody) + patriarch + containerHeader(0xF004, buttonLen);

    // The group's OBJ records follow the pieces that end with their client data.
    const qsizetype groupFirst = 8 + groupHead.size();
    return sheetBof() + drawing(head + button) + objRecord(ot::Button, 1, nameToken(1)) + drawing(buttonText) +
           txoRecord("Run it") + drawing(rect) + objRecord(ot::Rectangle, 2) +
           drawing(group.left(groupFirst)) + objRecord(ot::Group, 5) +
           drawing(group.mid(groupFirst, line1.size())) + objRecord(ot::Line, 3) +
           drawing(group.mid(groupFirst + line1.size())) + objRecord(ot::Line, 4) + drawing(picture) +
           objRecord(ot::Picture, 6) + eof();
}

// A sheet read over globals that hold one name, Macro1, for the macros.
model::Sheet readWithMacro(const QByteArray& stream, Globals& book) {
    NameModel macro;
    macro.name = QStringLiteral("Macro1");
    book.names = {macro};
    return readCrafted(stream, book);
}

// name|macro|fill colour (as the shape list shows it, R + G*256 + B*65536,
// in hex)|dash style|text of each shape, to compare whole lists.
QStringList describe(const std::vector<model::Shape>& shapes) {
    QStringList out;
    for (const model::Shape& s : shapes)
        out << QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(s.name, s.onAction)
                   .arg(s.fillColor.officeNumber(), 6, 16, QLatin1Char('0'))
                   .arg(s.dashStyle)
                   .arg(s.text);
    return out;
}

int errorNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const tabulon::Error& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

// A group is one member: its lines do not shift the later shapes' OBJ records.
// Colours: icv 0x41 (window background), icv 10 (red in the default palette),
// nothing stored (white, solid), plain RGB red.
TEST(XlsShapes, TopLevelShapesInDrawingOrderWithTheirObjectData) {
    Globals book;
    const model::Sheet s = readWithMacro(craftedSheet(), book);
    EXPECT_EQ(describe(s.shapes), (QStringList{"Button 1|Macro1|ffffff|1|Run it", "My Box||0000ff|7|",
                                               "Group 5||ffffff|1|", "Picture 6||0000ff|1|"}));
    ASSERT_EQ(s.shapes.size(), 4u);
    EXPECT_EQ(s.shapes[2].kind, model::ShapeKind::Group);
    EXPECT_EQ(s.shapes[3].objectId, 6);
    EXPECT_TRUE(book.warnings.isEmpty()) << book.warnings.join('\n').toStdString();
}

TEST(XlsShapes, PaletteRecordChangesSchemeColours) {
    std::vector<uint32_t> palette(56, 0);
    palette[2] = 0x00563412;  // icv 10 as 0x00BBGGRR
    EXPECT_EQ(artColor(0x0800000A, palette), model::Color::of(0x123456));
    EXPECT_EQ(artColor(0x0800000B, palette), model::Color::of(0));
    EXPECT_EQ(artColor(0x08000050, {}), model::Color::of(0xFFFFE1));  // the tooltip colour of comments
    EXPECT_EQ(artColor(0x10000005, {}), model::Color::of(0xFFFFFF));  // system colour: window
    EXPECT_EQ(artColor(0x00112233, {}), model::Color::of(0x332211));  // red, green, blue as stored
}

TEST(XlsShapes, DashStylesMapToTheOfficeNumbers) {
    const struct { uint32_t dashing; uint32_t cap; int style; } cases[] = {
        {0, 2, 1}, {1, 2, 4}, {2, 2, 2}, {2, 0, 3}, {3, 2, 5}, {4, 2, 6}, {5, 2, 2}, {6, 2, 4},
        {7, 2, 7}, {8, 2, 5}, {9, 2, 8}, {10, 2, 9}, {6, 0, 4}, {99, 2, 1}};
    for (const auto& c : cases) EXPECT_EQ(dashStyleFor(c.dashing, c.cap), c.style) << c.dashing << "/" << c.cap;
}

// Each top-level shape carries where it sits; a group's members are placed
// inside the group, so only the group has an anchor on the sheet.
TEST(XlsShapes, ShapesCarryTheirAnchorAndPicture) {
    Globals book;
    const model::Sheet s = readWithMacro(craftedSheet(), book);
    ASSERT_EQ(s.shapes.size(), 4u);
    ASSERT_TRUE(s.shapes[0].anchor && s.shapes[2].anchor);
    EXPECT_EQ(*s.shapes[0].anchor, (model::Anchor{1, 2, 4, 8, 0, 0, 0.5, 0.5}));
    EXPECT_EQ(*s.shapes[2].anchor, (model::Anchor{0, 0, 2, 2, 0, 0, 0, 0}));
    EXPECT_EQ(s.shapes[3].picture, 2) << "pib 3 is the third picture";
    EXPECT_EQ(s.shapes[0].picture, -1);
}

// Default names ("Button 540", "Object 2", "Comment 1"...) are checked on the real workbooks below.
TEST(XlsShapes, TextOfAKindWithoutTextIsTheErrorValue) {
    Globals globals;
    auto book = std::make_shared<model::Book>();
    book->sheets.push_back(readWithMacro(craftedSheet(), globals));
    const tabulon::host::Sheet sheet(book, 0);
    EXPECT_EQ(sheet.shapeText(0), QStringLiteral("Run it"));
    EXPECT_EQ(sheet.shapeText(1), QString());  // a rectangle holds text, here none
    EXPECT_EQ(errorNumber([&] { sheet.shapeText(2); }), tabulon::err::Unsupported);
    EXPECT_EQ(errorNumber([&] { sheet.shapeText(3); }), tabulon::err::Unsupported);
    EXPECT_NE(errorNumber([&] { sheet.shapeText(4); }), 0);
}

TEST(XlsShapes, CommentIsAShapeAndStillANote) {
    const QByteArray sp = shapeAtoms(0x401, 0xA00, {{0x0181, 0x08000050}});
    const QByteArray tb = art(0, 0xF00D, QByteArray());
    const QByteArray spgr = containerHeader(0xF003, 8 + sp.size() + tb.size()) + containerHeader(0xF004, sp.size() + tb.size());
    const QByteArray stream = sheetBof() + drawing(containerHeader(0xF002, spgr.size() + sp.size() + tb.size()) + spgr + sp) +
                              objRecord(ot::Note, 1) + drawing(tb) + txoRecord("me: hi") +
                              record(rt::Note, Bytes().u16(1).u16(1).u16(0).u16(1).u16(2).u8(0).latin("me").u8(0).bytes()) + eof();
    Globals book;
    const model::Sheet s = readWithMacro(stream, book);
    EXPECT_EQ(describe(s.shapes), QStringList{"Comment 1||e1ffff|1|me: hi"});
    ASSERT_EQ(s.shapes.size(), 1u);
    EXPECT_TRUE(s.shapes[0].isComment());
    EXPECT_FALSE(s.shapes[0].visible) << "the NOTE does not keep it in view";
    EXPECT_EQ(s.notes.at({1, 1}).text, QStringLiteral("me: hi"));
}

// Every cut of the sheet and a byte flipped at every position: shapes read
// up to the damage, a warning, never a crash or a read outside the data.
TEST(XlsShapes, DamagedDrawingIsSkippedWithAWarning) {
    const QByteArray good = craftedSheet();
    for (qsizetype cut = 0; cut < good.size(); ++cut) {
        Globals book;
        const model::Sheet s = readWithMacro(good.left(cut), book);
        EXPECT_LE(s.shapes.size(), 4u);
    }
    for (qsizetype at = sheetBof().size(); at < good.size() - 4; ++at) {
        QByteArray bad = good;
        bad[at] = char(bad[at] ^ 0xFF);
        Globals book;
        readWithMacro(bad, book);
    }
    // A drawing piece whose atom claims more than the drawing holds.
    Globals book;
    const QByteArray cut = sheetBof() + drawing(containerHeader(0xF002, 100) + art(0, 0xF008, QByteArray(8, 0), 4000)) + eof();
    EXPECT_TRUE(readWithMacro(cut, book).shapes.empty());
    EXPECT_TRUE(book.warnings.join('\n').contains(QStringLiteral("drawing"))) << book.warnings.join('\n').toStdString();
}

TEST(XlsShapes, DeeplyNestedContainersAreRefused) {
    QByteArray nest = art(0, 0xF011, QByteArray());
    for (int i = 0; i < 200; ++i) nest = container(0xF003, nest);
    Globals book;
    const model::Sheet s = readWithMacro(sheetBof() + drawing(container(0xF002, nest)) + eof(), book);
    EXPECT_TRUE(s.shapes.empty());
    EXPECT_FALSE(book.warnings.isEmpty());
}

namespace {

using tabulon::host::Workbook;

Workbook loadFixture(const char* relative) { return Workbook::load(tabulon::test::fixture(QString::fromLatin1(relative))); }

void expectShapes(const Workbook& book, const char* sheetName, const QStringList& expected) {
    EXPECT_EQ(describe(book.sheet(QString::fromUtf8(sheetName)).shapes()), expected) << sheetName;
}

}  // namespace

TEST(XlsShapesFixtures, CommentsAreShapesInTheirStoredOrder) {
    expectShapes(loadFixture("xls/poi/DrawingAndComments.xls"), "Sheet1",
                 {"Comment 1||e1ffff|1|evgeniy:\n1sdasdadsas\nsdasd", "Comment 2||e1ffff|1|evgeniy:\n21313213sfdf",
                  "Comment 3||e1ffff|1|evgeniy:\ndbgdfbtgbfdgb", "Овал 1||bd814f|1|",
                  "Полилиния 2||ffffff|1|"});  // drawn in CONTINUE records after the oval's OBJ, as LibreOffice reads it
    EXPECT_EQ(loadFixture("xls/poi/comments.xls").sheet(1).shapes().size(), 3u);
}

TEST(XlsShapesFixtures, StoredNamesColoursDashesAndTexts) {
    const Workbook book = loadFixture("xls/poi/drawings.xls");
    expectShapes(book, "rectangles", {"Прямоугольник 1||2ce03d|5|POItest"});
    // A green rectangle, its grey line 2 pt wide, turned 27 degrees, its text centred both ways in one run.
    const model::Shape& rect = book.sheet(QStringLiteral("rectangles")).shapes().at(0);
    EXPECT_EQ(std::tie(rect.geometry, rect.lineColor, rect.lineWidthPt, rect.rotation, rect.textHAlign, rect.textVAlign),
              std::make_tuple(model::Geometry::Rectangle, model::Color::of(0x616161), 2.0, 27.0, 2, 2));
    EXPECT_EQ(rect.textRuns.size(), 1u);
    expectShapes(book, "groups", {"Прямоугольник 1||bd814f|1|", "Группа 9||ffffff|1|"});
    expectShapes(book, "text", {"TextBox 1||ffffff|1|teeeeesssstttt"});
    // An embedded OLE object nobody renamed.
    expectShapes(book, "embedded", {"Object 2||ffffff|1|"});
}

TEST(XlsShapesFixtures, FormControlsWithMacrosAndDefaultNames) {
    const Workbook book = loadFixture("xls/poi/50939.xls");
    expectShapes(book, "sheet2", {"Picture 132||ffffff|1|",
                                  "Button 540|Repair_Result_Formula|c8d0d4|1|Repair Results\nColumns",
                                  "Drop Down 415||ffffff|1|"});
    // A framed picture and a button draw their line, a drop-down does not.
    std::vector<bool> lines;
    for (const model::Shape& s : book.sheet(QStringLiteral("sheet2")).shapes()) lines.push_back(s.lineVisible);
    EXPECT_EQ(lines, (std::vector<bool>{true, true, false}));
    expectShapes(book, "sheet3", {"Chart 5||ffffff|1|"});
    expectShapes(loadFixture("xls/poi/ex42570-20305.xls"), "Data", {"Oval 1|update|bd814f|1|Update"});
}

TEST(XlsShapesFixtures, MacroInAnotherBookKeepsItsBookPrefix) {
    const Workbook book = loadFixture("xls/poi/external_name.xls");
    const auto& shapes = book.sheet(QStringLiteral("Example YTP 1")).shapes();
    ASSERT_EQ(shapes.size(), 4u);
    EXPECT_EQ(shapes[1].name, QStringLiteral("cmdCreateWeeks"));
    EXPECT_TRUE(shapes[1].onAction.endsWith(QStringLiteral("Example CG YTP.xls'!CreateWeeks"))) << shapes[1].onAction.toStdString();
    EXPECT_EQ(shapes[1].text, QStringLiteral("Create Weeks"));
}

// The sheet has 71 auto shapes and a spinner, as LibreOffice reads it; the
// drawing of the shapes after the 46th goes on in CONTINUE records.
TEST(XlsShapesFixtures, PaletteRecordColoursEveryAutoShape) {
    const Workbook book = loadFixture("xls/poi/31749.xls");
    const auto& shapes = book.sheet(QStringLiteral("_Proj")).shapes();
    ASSERT_EQ(shapes.size(), 72u);
    for (const model::Shape& s : shapes) {
        if (s.kind == model::ShapeKind::Spinner) continue;
        EXPECT_EQ(s.fillColor.officeNumber(), 30425) << s.name.toStdString();  // icv 29 redefined by PALETTE
        EXPECT_TRUE(s.onAction.contains(QStringLiteral("_Click"))) << s.name.toStdString();
    }
    EXPECT_EQ(shapes[46].onAction, QStringLiteral("Spin_4_SOV_Top_Click"));
    EXPECT_EQ(shapes.back().name, QStringLiteral("Spinner 100"));
}

TEST(XlsShapesFixtures, ChartsPicturesAndControlsHaveNoText) {
    const Workbook chart = loadFixture("xls/poi/SimpleChart.xls");
    expectShapes(chart, "Sheet1", {"Chart 2||ffffff|1|"});
    EXPECT_THROW(chart.sheet(1).shapeText(0), tabulon::Error);
    const Workbook boxes = loadFixture("xls/poi/WithCheckBoxes.xls");
    ASSERT_EQ(boxes.sheet(1).shapes().size(), 1u);
    EXPECT_EQ(boxes.sheet(1).shapes()[0].name, QStringLiteral("CheckBox1"));  // an ActiveX control
    EXPECT_THROW(boxes.sheet(1).shapeText(0), tabulon::Error);
    const Workbook text = loadFixture("xls/calamine/OOM_alloc.xls");
    ASSERT_EQ(text.sheet(QStringLiteral("Data People")).shapes().size(), 2u);
    EXPECT_EQ(text.sheet(QStringLiteral("Data People")).shapeText(1).left(6), QStringLiteral("Notes\n"));
}

TEST(XlsShapesFixtures, WorkbooksWithoutDrawingsHaveNoShapes) {
    for (const char* f : {"xls/poi/SimpleMacro.xls", "xls/poi/SquareMacro.xls"}) {
        const Workbook book = loadFixture(f);
        for (int i = 1; i <= book.sheetCount(); ++i) EXPECT_TRUE(book.sheet(i).shapes().empty()) << f;
    }
}

TEST(XlsShapesFixtures, DumpListsEveryShapeMember) {
    const QJsonObject json = tabulon::host::workbookJson(loadFixture("xls/poi/ex42570-20305.xls"));
    const QJsonObject shape = json[QStringLiteral("sheets")].toArray()[0].toObject()[QStringLiteral("shapes")].toArray()[0].toObject();
    EXPECT_EQ(shape, (QJsonObject{{"name", "Oval 1"}, {"onAction", "update"}, {"fillRGB", 12419407},
                                  {"dashStyle", 1}, {"text", "Update"}}));
}
