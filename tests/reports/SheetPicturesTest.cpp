// Pictures of the BLIP store: read from the drawing group, decoded, and kept
// decoded while the cache's budget holds them.
#include "SheetTestSupport.h"
#include "host/xls/SheetLayout.h"  // the BLIP store of an .xls drawing group
#include "reports/sheet/SheetPictures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tabulon;
using tabulon::reports::test::png;
using Blip = tabulon::model::Picture;

namespace {

QByteArray le(quint32 v, int bytes) {
    QByteArray b(bytes, '\0');
    for (int i = 0; i < bytes; ++i) b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

QByteArray art(quint16 type, int version, int instance, const QByteArray& body, int length = -1) {
    return le(quint32(version | (instance << 4)), 2) + le(type, 2) + le(quint32(length < 0 ? body.size() : length), 4) +
           body;
}

// An FBSE with the blip record embedded after its 36 fixed bytes.
QByteArray fbse(const QByteArray& blip) { return art(0xF007, 2, 0, QByteArray(36, '\0') + blip); }

// A 2 x 1 DIB of 24 bits: a BITMAPINFOHEADER, then one padded row (of
// the claimed size only the header).
QByteArray dib(quint32 width = 2, quint32 height = 1) {
    QByteArray d = le(40, 4) + le(width, 4) + le(height, 4) + le(1, 2) + le(24, 2) + QByteArray(24, '\0');
    return d + QByteArray::fromHex("0000ff00ff000000");  // red, green, row padding
}

QByteArray blipStore(const QByteArray& entries, int count) {
    return art(0xF000, 15, 0, art(0xF006, 0, 0, QByteArray(16, '\0')) + art(0xF001, 15, count, entries));
}

}  // namespace

TEST(SheetPictures, BlipStoreEntriesByKind) {
    const QByteArray uid(16, '\x22'), tag(1, '\xFF');
    const QByteArray red = png(3, 2, Qt::red);
    const QByteArray bytes = blipStore(fbse(art(0xF01E, 0, 0x6E0, uid + tag + red)) +
                                       fbse(art(0xF01F, 0, 0x7A9, uid + uid + tag + dib())) +
                                       fbse(art(0xF01A, 0, 0x3D4, uid + QByteArray(40, '\0'))) +
                                       art(0xF007, 2, 0, QByteArray(36, '\0')) +  // a picture kept elsewhere
                                       fbse(art(0xF01F, 0, 0x7A8, uid + tag + dib(200000, 200000))) +
                                       fbse(art(0xF01E, 0, 0x6E0, uid + tag + red, 1 << 30)),
                                   6);
    const std::vector<Blip> blips = tabulon::xls::parseBlipStore(bytes);
    struct Expect {
        Blip::Kind kind;
        QSize image;  // invalid: not decoded
    };
    const Expect expected[] = {{Blip::Png, {3, 2}}, {Blip::Bmp, {2, 1}},  {Blip::Missing, {}} /* an empty metafile */,
                               {Blip::Missing, {}}, {Blip::Bmp, {}} /* claims 200000 x 200000 */, {Blip::Png, {3, 2}}};
    ASSERT_EQ(blips.size(), std::size(expected));
    for (size_t i = 0; i < blips.size(); ++i) {
        EXPECT_EQ(blips[i].kind, expected[i].kind) << i;
        const QImage img = reports::sheet::pictureImage(blips[i]);
        EXPECT_EQ(img.isNull() ? QSize() : img.size(), expected[i].image) << i;
    }
    EXPECT_EQ(reports::sheet::pictureImage(blips[1]).pixelColor(0, 0), QColor(Qt::red)) << "the DIB's colours";
    EXPECT_LE(blips[5].data.size(), red.size() + 1) << "a length past the end takes only the bytes present";
}

TEST(SheetPictures, EachPictureIsDecodedOnceWhileTheBudgetHoldsIt) {
    const QByteArray bytes = png(40, 30, Qt::blue);
    const std::vector<Blip> blips{{Blip::Png, bytes}, {Blip::Png, bytes}, {Blip::Png, "damaged"}};

    reports::sheet::PictureCache roomy;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(roomy.image(0, blips).isNull());
    EXPECT_EQ(roomy.decodes(), 1);
    EXPECT_TRUE(roomy.image(2, blips).isNull());
    EXPECT_TRUE(roomy.image(2, blips).isNull());
    EXPECT_TRUE(roomy.image(8, blips).isNull()) << "a picture beyond the workbook's";
    EXPECT_TRUE(roomy.image(-1, blips).isNull()) << "no picture";
    EXPECT_EQ(roomy.decodes(), 2) << "a damaged picture is not tried again";

    reports::sheet::PictureCache oneImage(40 * 30 * 4);  // one decoded picture of 32 bits a pixel
    oneImage.image(0, blips);
    oneImage.image(1, blips);  // lets the first picture go
    oneImage.image(1, blips);
    EXPECT_EQ(oneImage.decodes(), 2);
    EXPECT_FALSE(oneImage.image(0, blips).isNull());
    EXPECT_EQ(oneImage.decodes(), 3);
}

TEST(SheetPictures, TheSheetsOfOneWorkbookShareTheirDecodedPictures) {
    xlsw::XlsWriter w;
    for (const char* name : {"一", "二"}) {
        xlsw::XlsSheet& s = w.addSheet(QString::fromUtf8(name));
        s.number(10, 4, 1);
        s.picture(1, 1).png = png(40, 30, Qt::blue);
    }
    const reports::test::PrintedWorkbook book(w);
    const auto first = book.image(QStringLiteral("一")), again = book.image(QStringLiteral("一"));
    const auto second = book.image(QStringLiteral("二"));
    for (const auto& doc : {first, again, second}) reports::test::renderPage(*doc, 0, 1);
    const auto cache = reports::sheet::PictureCache::of(book.book->model());
    EXPECT_EQ(cache->decodes(), 2) << "each of the two pictures once, however many documents print it";
    const host::Workbook other = host::Workbook::load(test::fixture("xls/poi/drawings.xls"));
    EXPECT_NE(reports::sheet::PictureCache::of(other.model()), cache) << "another workbook has its own";
}
