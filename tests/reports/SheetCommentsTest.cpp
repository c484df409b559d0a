// Comments on the printed sheet, as its page setup says: not at all, where
// they are displayed, or listed after the sheet's pages.
#include "SheetTestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QDataStream>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;

namespace {

// Setup, with the comment flags in its grbit.
QByteArray setupRecord(quint16 grbit) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    out << quint16(9) << quint16(100) << quint16(1) << quint16(1) << quint16(1) << grbit << quint16(300)
        << quint16(300) << 0.5 << 0.5 << quint16(1);
    QByteArray rec;
    QDataStream head(&rec, QIODevice::WriteOnly);
    head.setByteOrder(QDataStream::LittleEndian);
    head << quint16(0x00A1) << quint16(body.size());
    return rec + body;
}

// Dark pixels of a page in a rectangle given in points from the paper's corner.
int ink(const QImage& img, double pxPerMm, QRectF pt) {
    const double k = 25.4 / 72 * pxPerMm;
    int dark = 0;
    for (int y = int(pt.top() * k); y < int(pt.bottom() * k); ++y)
        for (int x = int(pt.left() * k); x < int(pt.right() * k); ++x) dark += qGray(img.pixel(x, y)) < 128;
    return dark;
}

struct Outcome {
    int pages = 0;
    int noteInk = 0;  // in the comment box's place beside its cell
    int lastPageInk = 0;
};

Outcome print(quint16 grbit, bool shown) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("注記"));
    s.number(0, 0, 1);
    s.note(2, 1, QStringLiteral("山田"), QStringLiteral("単価を確認してください")).shown = shown;
    s.extraRecords = setupRecord(grbit);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.xls"));
    EXPECT_TRUE(w.save(path));
    const host::Workbook book = host::Workbook::load(path);
    const auto doc = reports::test::sheetImage(book, QStringLiteral("注記"));
    Outcome o;
    o.pages = doc->pagesKnown();
    const double pxPerMm = 4;
    // The box sits from column C, row 3 (margins 54 and 72 pt, headings 28
    // and 13.5 pt, columns 54 pt, rows 13.5 pt).
    o.noteInk = ink(reports::test::renderPage(*doc, 0, pxPerMm), pxPerMm, QRectF(190, 113, 100, 50));
    o.lastPageInk = ink(reports::test::renderPage(*doc, o.pages - 1, pxPerMm), pxPerMm, QRectF(54, 72, 300, 40));
    return o;
}

}  // namespace

TEST(SheetComments, PrintAsThePageSetupSays) {
    constexpr quint16 kNotes = 0x0020, kAtEnd = 0x0200;
    const Outcome none = print(0, true), hiddenNote = print(kNotes, false), displayed = print(kNotes, true),
                  atEnd = print(kNotes | kAtEnd, false);
    EXPECT_EQ(none.pages, 1);
    EXPECT_EQ(displayed.pages, 1);
    EXPECT_GT(displayed.noteInk, none.noteInk + 50) << "a comment kept in view prints in its box";
    EXPECT_EQ(hiddenNote.noteInk, none.noteInk) << "a comment shown on hover only does not";
    ASSERT_EQ(atEnd.pages, 2) << "the list of comments follows the sheet";
    EXPECT_EQ(atEnd.noteInk, none.noteInk);
    EXPECT_GT(atEnd.lastPageInk, 100) << "the cell and the comment text";
}
