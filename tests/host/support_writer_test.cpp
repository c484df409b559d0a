// The test workbook writer must produce what real files hold, or the crafted
// cases prove nothing: its compressed VBA containers have to inflate back to
// the same bytes through the decompressor the reader uses.
#include "xlswriter/XlsWriter.h"

#include <gsf/gsf-infile-msvba.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>
#include "host/Sheet.h"
#include "host/Workbook.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using tabulon::xlsw::Rgce;
using tabulon::xlsw::XlsShape;
using tabulon::xlsw::XlsSheet;
using tabulon::xlsw::XlsWriter;

namespace {
QByteArray inflate(const QByteArray& container) {
    gsf_init();
    GsfInput* in = gsf_input_memory_new(reinterpret_cast<const guint8*>(container.constData()),
                                        container.size(), FALSE);
    int size = 0;
    guint8* out = gsf_vba_inflate(in, 0, &size, FALSE);
    QByteArray result = out ? QByteArray(reinterpret_cast<char*>(out), size) : QByteArray();
    g_free(out);
    g_object_unref(in);
    return result;
}
}  // namespace

TEST(WriterCompression, RoundTripsThroughTheReadersDecompressor) {
    QByteArray repetitive;
    for (int i = 0; i < 900; ++i)
        repetitive += "Attribute VB_Name = \"Module" + QByteArray::number(i % 7) + "\"\r\n";
    // Source-like text with few repeats (libgsf's decompressor, like the VBA
    // editor, knows no raw chunks, so the data must compress).
    QByteArray text;
    QRandomGenerator seeded(20261206);  // the same text every run
    auto* gen = &seeded;
    while (text.size() < 10000) {
        static const char* words[] = {"Dim ", "As Long", "For i = ", "Next", "If ", "Then\r\n",
                                      "Call Proc", "End Sub\r\n", "x", "y", "' note"};
        text += words[gen->bounded(11)];
        text += QByteArray::number(gen->bounded(1000));
    }
    // One chunk and its boundary: crafted modules stay below 4 KB, because
    // libgsf's decompressor reads some valid multi-chunk streams differently.
    for (const QByteArray& data : {QByteArray("abc"), repetitive.left(4096), text.left(100),
                                   text.left(3000), text.left(4095), text.left(4096)}) {
        EXPECT_EQ(inflate(XlsWriter::compress(data)), data) << "size " << data.size();
    }
}

namespace {

// The cell of the used range at an address.
tabulon::host::Cell cellAt(const tabulon::host::Sheet& sheet, const QString& address) {
    const auto range = sheet.usedRange();
    for (qint64 i = 0; i < range.count(); ++i)
        if (range.cell(i).address() == address) return range.cell(i);
    ADD_FAILURE() << "no cell " << address.toStdString();
    return range.cell(0);
}

class WriterRoundTrip : public ::testing::Test {
protected:
    QString save(const XlsWriter& w) {
        EXPECT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("book.xls"));
        EXPECT_TRUE(w.save(path));
        return path;
    }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(WriterRoundTrip, FormulaShowsTheOtherWorkbooksPathAndSheet) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\data\\Prices.xls", "='C:\\data\\[Prices.xls]Prices'!A1*2"},
        {"\\\\srv\\share\\P.xls", "='\\\\srv\\share\\[P.xls]Prices'!A1*2"},
    };
    for (const auto& [path, formula] : cases) {
        XlsWriter w;
        w.addSheet(QStringLiteral("Sheet1"));
        w.addSheet(QStringLiteral("Sheet2"));
        const int ixti = w.addExternalSheet(QString::fromUtf8(path), QStringLiteral("Prices"));
        EXPECT_EQ(ixti, 2);  // after the two own sheets
        w.sheet(0).formula(0, 0, Rgce().ref3d(ixti, 0, 0).integer(2).op(0x05), 0);
        const auto book = tabulon::host::Workbook::load(save(w));
        EXPECT_EQ(cellAt(book.sheet(1), QStringLiteral("$A$1")).formula(), QString::fromUtf8(formula));
        EXPECT_EQ(book.linkSources(1).size(), 1);
        EXPECT_TRUE(book.warnings().isEmpty()) << book.warnings().join('\n').toStdString();
    }
}

TEST_F(WriterRoundTrip, ExternalSheetsShareOneBookAndOneXtiEach) {
    XlsWriter w;
    w.addSheet(QStringLiteral("Own"));
    const int a = w.addExternalSheet(QStringLiteral("C:\\x\\Book.xls"), QStringLiteral("A"));
    const int b = w.addExternalSheet(QStringLiteral("C:\\x\\Book.xls"), QStringLiteral("B"));
    EXPECT_EQ(w.addExternalSheet(QStringLiteral("C:\\x\\Book.xls"), QStringLiteral("A")), a);
    EXPECT_NE(a, b);
    w.sheet(0).formula(0, 0, Rgce().ref3d(b, 1, 1, false), 0);
    const auto book = tabulon::host::Workbook::load(save(w));
    EXPECT_EQ(cellAt(book.sheet(1), QStringLiteral("$A$1")).formula(), QStringLiteral("='C:\\x\\[Book.xls]B'!$B$2"));
    EXPECT_EQ(book.linkSources(1), QStringList{QStringLiteral("C:\\x\\Book.xls")});
}

TEST_F(WriterRoundTrip, CommentsAndShapesComeBackWithTheirLook) {
    XlsWriter w;
    XlsSheet& s = w.addSheet(QStringLiteral("Sheet1"));
    s.number(0, 0, 1);
    s.note(0, 0, QStringLiteral("山田"), QStringLiteral("確認済み"));
    s.button(2, 2, QStringLiteral("Run"), QStringLiteral("Module1.Go"));
    XlsShape& box = s.textBox(5, 2, QStringLiteral("メモ"));
    box.fillRgb = 0x3366FF;
    box.lineDashing = 1;
    s.button(8, 2, QStringLiteral("開始"), QStringLiteral("Go")).name = QStringLiteral("受注ボタン");
    const auto book = tabulon::host::Workbook::load(save(w));
    const auto sheet = book.sheet(1);
    EXPECT_EQ(cellAt(sheet, QStringLiteral("$A$1")).noteText(), QStringLiteral("山田:\n確認済み"));
    // name|macro|text|dash style (1 solid, 4 dash) per shape.
    QStringList shapes;
    for (const auto& s : sheet.shapes())
        shapes << QStringLiteral("%1|%2|%3|%4").arg(s.isComment() ? QStringLiteral("(comment)") : s.name, s.onAction,
                                                     s.text).arg(s.dashStyle);
    EXPECT_EQ(shapes, (QStringList{"(comment)||山田:\n確認済み|1", "Button 2|Module1.Go|Run|1",
                                   "Text Box 3||メモ|4", "受注ボタン|Go|開始|1"}));
    EXPECT_EQ(sheet.shapes().at(2).fillColor, tabulon::model::Color::of(0x3366FF));
    EXPECT_EQ(sheet.shapes().at(2).fillColor.officeNumber(), 0xFF6633) << "the shape list's R + G*256 + B*65536";
    // Each macro once, as a hidden name the buttons' formulas point at.
    ASSERT_EQ(book.nameCount(), 2);
    for (int i : {1, 2})
        EXPECT_EQ(book.name(i).name() + (book.name(i).visible() ? "" : " hidden"),
                  QStringList({"Module1.Go hidden", "Go hidden"})[i - 1]);
    EXPECT_TRUE(book.warnings().isEmpty()) << book.warnings().join('\n').toStdString();
}

// Past about 60 objects Excel writes each shape's drawing pieces in CONTINUE
// records joined to the TXO or OBJ before them. Every note keeps its comment
// shape, in the sheet's order, and the shapes after the switch keep theirs.
TEST_F(WriterRoundTrip, EveryShapeWhenTheDrawingGoesOnInContinueRecords) {
    XlsWriter w;
    XlsSheet& s = w.addSheet(QStringLiteral("Notes"));
    constexpr int kNotes = 129;
    for (int i = 0; i < kNotes; ++i) {
        s.number(i, 0, i + 1);
        s.note(i, 0, QStringLiteral("me"), QStringLiteral("note %1").arg(i + 1));
    }
    s.picture(2, 4).png = QByteArray();  // no text: its piece follows its OBJ alone
    s.button(6, 4, QStringLiteral("Go"), QStringLiteral("Module1.Go"));
    s.drawingInContinuesFrom = 61;
    const auto book = tabulon::host::Workbook::load(save(w));
    const auto& shapes = book.sheet(1).shapes();
    ASSERT_EQ(shapes.size(), size_t(kNotes + 2));
    for (int i = 0; i < kNotes; ++i) {
        const auto& shape = shapes[size_t(i)];
        EXPECT_TRUE(shape.isComment()) << i;
        EXPECT_EQ(shape.text, QStringLiteral("me:\nnote %1").arg(i + 1)) << "in the sheet's order";
        EXPECT_TRUE(shape.anchor.has_value()) << i;
    }
    EXPECT_EQ(shapes[kNotes].name, QStringLiteral("Picture %1").arg(kNotes + 1));
    EXPECT_EQ(shapes[kNotes + 1].onAction, QStringLiteral("Module1.Go"));
    EXPECT_EQ(shapes[kNotes + 1].text, QStringLiteral("Go"));
    EXPECT_EQ(book.sheet(1).usedRange().cell(128).noteText(), QStringLiteral("me:\nnote 129"));
    EXPECT_TRUE(book.warnings().isEmpty()) << book.warnings().join('\n').toStdString();
}

TEST_F(WriterRoundTrip, ShapesOnSeveralSheetsKeepTheirOwnObjects) {
    XlsWriter w;
    w.addSheet(QStringLiteral("One")).note(3, 1, QStringLiteral("A"), QStringLiteral("x"));
    w.addSheet(QStringLiteral("Two"));
    w.addSheet(QStringLiteral("Three")).textBox(0, 0, QStringLiteral("long text ") + QString(300, u'y'));
    const auto book = tabulon::host::Workbook::load(save(w));
    EXPECT_EQ(book.sheet(1).shapes().size(), 1u);
    EXPECT_TRUE(book.sheet(2).shapes().empty());
    ASSERT_EQ(book.sheet(3).shapes().size(), 1u);
    EXPECT_EQ(book.sheet(3).shapes()[0].text.size(), 310);
    EXPECT_EQ(book.sheet(3).shapes()[0].name, QStringLiteral("Text Box 1"));
}

// A name that belongs to one sheet is written with that sheet when a formula
// on another sheet uses it, bare on its own sheet.
TEST_F(WriterRoundTrip, SheetNameIsWrittenWhereTheNameBelongsElsewhere) {
    XlsWriter w;
    w.addSheet("Defines");
    w.addSheet("My Calc");
    w.addName("Rate", Rgce().ref3d(0, 0, 0, false), 1);   // Defines!Rate
    w.addName("Total", Rgce().ref3d(1, 0, 0, false));     // a workbook name
    w.sheet(0).formula(1, 0, Rgce().name(1).integer(2).op(0x05));
    w.sheet(1).formula(0, 0, Rgce().name(1).name(2).op(0x03));
    const auto book = tabulon::host::Workbook::load(save(w));
    EXPECT_EQ(book.sheet(1).usedRange().cell(0).formula(), "=Rate*2");
    EXPECT_EQ(book.sheet(2).usedRange().cell(0).formula(), "=Defines!Rate+Total");
}
