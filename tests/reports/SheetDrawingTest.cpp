// Rich texts, centre across selection and drawing objects on the print image
// of crafted sheets, and the picture cache under them.
#include "SheetTestSupport.h"
#include "reports/sheet/SheetPictures.h"
#include "xlswriter/XlsWriter.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace tabulon;

namespace {

constexpr double kPxPerMm = 4;
constexpr double kPxPerPt = 25.4 / 72 * kPxPerMm;

QByteArray record(int type, const QByteArray& body) {
    QByteArray r;
    r.append(char(type & 0xFF)).append(char(type >> 8)).append(char(body.size() & 0xFF)).append(char(body.size() >> 8));
    return r + body;
}

QByteArray words(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    return b;
}

// Font, MS-XLS 2.4.122: height in twips, weight, icv, a compressed name.
QByteArray font(int twips, int weight, int icv) {
    return record(0x0031, words({twips, 0, icv, weight, 0}) + QByteArray("\0\0\x80\0\x05\0Arial", 12));
}

// A cell XF (MS-XLS 2.4.353) on font 0 with the horizontal alignment given.
QByteArray xf(int hAlign) {
    return record(0x00E0, words({0, 0, 0x0001, hAlign | (2 << 4), 0, 0, 0, 0, 0, 0x20C0}));
}

QByteArray label(int row, int col, int ixfe, const QByteArray& latin) {
    return record(0x0204, words({row, col, ixfe, int(latin.size())}) + QByteArray(1, '\0') + latin);
}

// The first page of a crafted sheet in colour, with the plan that says
// where its cells are.
std::pair<QImage, reports::sheet::SheetPlan> firstPage(const xlsw::XlsWriter& w, const QString& sheet) {
    const reports::test::PrintedWorkbook printed(w);
    const auto doc = printed.image(sheet);
    return {reports::test::renderPage(*doc, 0, kPxPerMm, QImage::Format_RGB32), doc->plan()};
}

// The left edge of a column and the top of a row on the first page, in points.
double colX(const reports::sheet::SheetPlan& plan, double col) {
    double x = plan.marginLeftPt + plan.headingWidthPt;
    for (int c = plan.range.firstCol; c < int(col); ++c) x += plan.colWidthPt[size_t(c)];
    return x + (col - int(col)) * plan.colWidthPt[size_t(int(col))];
}
double rowY(const reports::sheet::SheetPlan& plan, int row) {
    double y = plan.marginTopPt + plan.headingHeightPt;
    for (int r = plan.range.firstRow; r < row; ++r) y += plan.rowHeight(r);
    return y;
}

// Pixels inside a rectangle in points from the paper's corner that pass test.
template <class Test>
int pixelsIn(const QImage& img, double x1, double y1, double x2, double y2, Test&& test) {
    int n = 0;
    for (int y = int(y1 * kPxPerPt); y < int(y2 * kPxPerPt); ++y)
        for (int x = int(x1 * kPxPerPt); x < int(x2 * kPxPerPt); ++x)
            if (test(QColor(img.pixel(x, y)))) ++n;
    return n;
}

bool dark(QColor c) { return qGray(c.rgb()) < 128; }
bool red(QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; }

}  // namespace

TEST(SheetDrawing, RichTextRunsPrintInTheirOwnFonts) {
    xlsw::XlsWriter w;
    // Fonts 0-3 plain black 10 pt; 5 (the file format skips 4) bold red 20 pt.
    w.extraGlobals = font(200, 400, 8) + font(200, 400, 8) + font(200, 400, 8) + font(200, 400, 8) +
                     font(400, 700, 10);
    // RSTRING "plainRED": from character 5 on in font 5.
    const QByteArray text("plainRED");
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("書式"));
    s.extraRecords = record(0x00D6, words({0, 0, 15, int(text.size())}) + QByteArray(1, '\0') + text + words({1, 5, 5}));
    const auto [img, plan] = firstPage(w, QStringLiteral("書式"));
    const double row = rowY(plan, 0), bottom = rowY(plan, 1), left = colX(plan, 0);
    const double split = left + 24;  // "plain" in Arial 10 is about 22 pt wide
    EXPECT_EQ(pixelsIn(img, left, row, split - 2, bottom, red), 0) << "the text before the run keeps the cell's font";
    EXPECT_GT(pixelsIn(img, left, row, split - 2, bottom, dark), 10);
    EXPECT_GT(pixelsIn(img, split, row, colX(plan, 2), bottom, red), 40) << "the run is red";
    EXPECT_GT(pixelsIn(img, split, row, colX(plan, 2), row + 3, red), 0) << "and taller than the row's text";
}

TEST(SheetDrawing, CentreAcrossSelectionSpansTheEmptyCellsFormattedAlike) {
    struct Case {
        const char* what;
        bool valueInC;
        double centre;  // where the text's middle belongs, in columns from A's left
    };
    const Case cases[] = {
        {"A1:C1 empty and formatted alike", false, 1.5},
        {"C1 holds a value: A1:B1 only", true, 1.0},
    };
    for (const Case& c : cases) {
        xlsw::XlsWriter w;
        w.extraGlobals = font(200, 400, 8);
        for (int i = 0; i < 16; ++i) w.extraGlobals += xf(0);
        w.extraGlobals += xf(6);
        xlsw::XlsSheet& s = w.addSheet(QStringLiteral("中央"));
        s.extraRecords = label(0, 0, 16, "XX") + record(0x0201, words({0, 1, 16})) +
                         (c.valueInC ? label(0, 2, 16, "z") : record(0x0201, words({0, 2, 16})));
        const auto [img, plan] = firstPage(w, QStringLiteral("中央"));
        const double mid = colX(plan, c.centre), top = rowY(plan, 0), bottom = rowY(plan, 1);
        EXPECT_GT(pixelsIn(img, mid - 6, top, mid + 6, bottom, dark), 10) << c.what;
        EXPECT_EQ(pixelsIn(img, colX(plan, 0) + 2, top + 2, mid - 14, bottom - 2, dark), 0) << c.what;
    }
}

TEST(SheetDrawing, ShapesPrintWithTheirFillAndButtonsWithTheirFace) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("図形"));
    s.number(20, 6, 1);
    s.textBox(1, 1, QStringLiteral("メモ")).fillRgb = 0xFF0000;
    s.button(10, 1, QStringLiteral("実行"), QStringLiteral("Module1.Run"));
    const auto [img, plan] = firstPage(w, QStringLiteral("図形"));
    const auto face = [](QColor c) { return c == QColor(0xD4, 0xD0, 0xC8); };
    // Each object covers two rows of one column from its top-left cell.
    const double left = colX(plan, 1), right = colX(plan, 2);
    EXPECT_GT(pixelsIn(img, left, rowY(plan, 1), right, rowY(plan, 3), red), 200) << "text box filled red";
    EXPECT_GT(pixelsIn(img, left, rowY(plan, 10), right, rowY(plan, 12), face), 200) << "button face";
    EXPECT_GT(pixelsIn(img, left, rowY(plan, 10), right, rowY(plan, 12), dark), 10) << "its caption";
}

TEST(SheetDrawing, CheckBoxesShowTheirStateAndLabel) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("選択"));
    s.number(8, 4, 1);
    s.checkBox(1, 1, QStringLiteral("済"), 1);
    s.checkBox(5, 1, QStringLiteral("済"), 0);
    const auto [img, plan] = firstPage(w, QStringLiteral("選択"));
    // The mark is 9 pt square at the left of the two rows the box covers,
    // the label right of it.
    const auto markInk = [&](int row) {
        const double middle = (rowY(plan, row) + rowY(plan, row + 2)) / 2, left = colX(plan, 1);
        return pixelsIn(img, left + 2.5, middle - 3.5, left + 9.5, middle + 3.5, dark);
    };
    EXPECT_GT(markInk(1), markInk(5) + 10) << "the checked box has its tick";
    EXPECT_GT(pixelsIn(img, colX(plan, 1) + 12, rowY(plan, 5), colX(plan, 2), rowY(plan, 7), dark), 10) << "label";
}

TEST(SheetDrawing, EachPictureIsDecodedOnceWhileTheBudgetHoldsIt) {
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    const std::vector<xls::Blip> blips{{xls::Blip::Png, bytes}, {xls::Blip::Png, bytes}, {xls::Blip::Png, "damaged"}};

    reports::sheet::PictureCache roomy;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(roomy.image(1, blips).isNull());
    EXPECT_EQ(roomy.decodes(), 1);
    EXPECT_TRUE(roomy.image(3, blips).isNull());
    EXPECT_TRUE(roomy.image(3, blips).isNull());
    EXPECT_TRUE(roomy.image(9, blips).isNull()) << "a pib beyond the store";
    EXPECT_EQ(roomy.decodes(), 2) << "a damaged picture is not tried again";

    reports::sheet::PictureCache oneImage(small.sizeInBytes());
    oneImage.image(1, blips);
    oneImage.image(2, blips);  // lets picture 1 go
    oneImage.image(2, blips);
    EXPECT_EQ(oneImage.decodes(), 2);
    EXPECT_FALSE(oneImage.image(1, blips).isNull());
    EXPECT_EQ(oneImage.decodes(), 3);
}
