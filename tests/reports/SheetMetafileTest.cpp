// Metafile pictures (EMF, WMF) of sheet prints: kept by the readers, drawn
// in their colours, and a damaged one printed as a frame with its name and
// size; hostile files end in a null image, never a crash.
#include "ReportTestSupport.h"
#include "SheetTestSupport.h"
#include "host/xls/SheetLayout.h"  // the BLIP store of an .xls drawing group
#include "reports/PdfOutput.h"
#include "reports/sheet/EmfPicture.h"
#include "reports/sheet/SheetPainter.h"
#include "reports/sheet/SheetPictures.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace tabulon;
using tabulon::reports::test::words;
using Blip = tabulon::model::Picture;

namespace {

QByteArray le32(quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

// A WMF record: its size in words, its function, its parameters.
QByteArray wmfRecord(int function, std::initializer_list<int> params, const QByteArray& tail = {}) {
    const QByteArray body = words(params) + tail;
    return le32(quint32(3 + (body.size() + 1) / 2)) + words({function}) + body + QByteArray(body.size() % 2, '\0');
}

// A 100 x 50 unit Windows metafile with a placeable header: the left half a
// red rectangle, the right half a blue ellipse, a text in the middle.
QByteArray wmf(bool placeable = true) {
    QByteArray r = wmfRecord(0x020B, {0, 0}) + wmfRecord(0x020C, {50, 100}) +
                   wmfRecord(0x02FA, {5, 0, 0, 0, 0}) +                 // a null pen: object 0
                   wmfRecord(0x02FC, {0, 0x00FF, 0, 0}) +               // a red brush: object 1
                   wmfRecord(0x02FC, {0, 0, 0x00FF, 0}) +               // a blue brush: object 2
                   wmfRecord(0x012D, {0}) + wmfRecord(0x012D, {1}) +    // select the pen and the red brush
                   wmfRecord(0x041B, {50, 50, 0, 0}) +                  // RECTANGLE bottom, right, top, left
                   wmfRecord(0x012D, {2}) + wmfRecord(0x0418, {50, 100, 0, 50}) +
                   wmfRecord(0x02FB, {-10, 0, 0, 0, 400, 0, 0x8000, 0, 0}, QByteArray("\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", 15)) +
                   wmfRecord(0x012D, {3}) + wmfRecord(0x0521, {4}, QByteArray("\x93\xfa\x96\x7b", 4) + words({20, 40})) +
                   wmfRecord(0x0000, {});
    const QByteArray header = words({1, 9, 0x0300}) + le32(quint32((18 + r.size()) / 2)) + words({4}) + le32(20) + words({0});
    QByteArray aldus = le32(0x9AC6CDD7) + words({0, 0, 0, 100, 50, 1440}) + le32(0);
    quint16 check = 0;
    for (int i = 0; i < 10; ++i) check ^= quint16(uchar(aldus[2 * i]) | uchar(aldus[2 * i + 1]) << 8);
    aldus += words({check});
    return (placeable ? aldus : QByteArray()) + header + r;
}

// An EMF record: its type, its size, its parameters.
QByteArray emfRecord(quint32 type, std::initializer_list<quint32> params) {
    QByteArray r = le32(type) + le32(quint32(8 + 4 * params.size()));
    for (quint32 p : params) r += le32(p);
    return r;
}

QByteArray utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

// EXTCREATEFONTINDIRECTW of a 30-unit Japanese font (a LOGFONTW of 92
// bytes in a LOGFONT_PANOSE of 320), then EXTTEXTOUTW of a text at (10, 30),
// its characters given as glyph numbers when options has 0x10.
QByteArray emfText(const QString& face, const QString& text, quint32 options = 0) {
    QByteArray logfont = le32(quint32(-30)) + QByteArray(12, '\0') + le32(400) + QByteArray("\0\0\0\x80\0\0\0\0", 8) +
                         utf16(face).leftJustified(64, '\0', true);
    QByteArray font = le32(82) + le32(332) + le32(2) + logfont.leftJustified(320, '\0');
    const QByteArray chars = utf16(text).leftJustified((text.size() * 2 + 3) / 4 * 4, '\0');
    QByteArray out = le32(84) + le32(quint32(76 + chars.size())) + le32(0) + le32(0) + le32(100) + le32(50) + le32(1) +
                     le32(0x3F800000) + le32(0x3F800000) + le32(10) + le32(30) + le32(quint32(text.size())) + le32(76) +
                     le32(options) + le32(0) + le32(0) + le32(0) + le32(0) + le32(0) + chars;
    return font + emfRecord(37, {2}) + emfRecord(22, {1}) + out;  // select it, transparent background
}

// A 200 x 100 pixel enhanced metafile (5 x 2.5 cm): a green rectangle over
// its right half, a text at its left when one is given.
QByteArray emf(const QString& text = {}, quint32 textOptions = 0) {
    const QByteArray records = emfRecord(39, {1, 0, 0x0000C000, 0}) +  // CREATEBRUSHINDIRECT green
                               emfRecord(37, {1}) + emfRecord(37, {0x80000008}) +  // it and the null pen
                               emfRecord(43, {100, 0, 200, 100}) +     // RECTANGLE
                               (text.isEmpty() ? QByteArray() : emfText(QStringLiteral("ＭＳ Ｐゴシック"), text, textOptions)) +
                               emfRecord(14, {0, 16, 20});             // EOF
    QByteArray h = emfRecord(1, {0, 0, 199, 99, 0, 0, 5000, 2500, 0x464D4520, 0x10000, 0, 5, 2, 0, 0, 0, 1024, 768, 270, 203});
    h.replace(4, 4, le32(88));
    h.replace(48, 4, le32(quint32(88 + records.size())));
    return h + records;
}

// The colour at a fraction of the image's width and height.
QColor at(const QImage& img, double fx, double fy) { return img.pixelColor(int(fx * (img.width() - 1)), int(fy * (img.height() - 1))); }
bool reddish(QColor c) { return c.alpha() > 200 && c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool bluish(QColor c) { return c.alpha() > 200 && c.blue() > 200 && c.red() < 60 && c.green() < 60; }
bool greenish(QColor c) { return c.alpha() > 200 && c.green() > 150 && c.red() < 60 && c.blue() < 60; }

// The store's OfficeArt record of a metafile blip: its id, the metafile
// header (its size, bounds, size in EMUs, saved size, compression) and data.
QByteArray metafileBlip(quint16 type, int instance, const QByteArray& file, bool deflated, qint64 claimed = -1) {
    QByteArray saved = deflated ? qCompress(file).mid(4) : file;  // qCompress: a size, then the zlib stream
    const QByteArray header = le32(quint32(claimed < 0 ? file.size() : claimed)) + le32(0) + le32(0) + le32(100) +
                              le32(50) + le32(914400) + le32(457200) + le32(quint32(saved.size())) +
                              QByteArray(1, deflated ? '\0' : '\xFE') + QByteArray(1, '\xFE');
    const QByteArray body = QByteArray(16, '\x33') + header + saved;
    return words({instance << 4, type}) + le32(quint32(body.size())) + body;
}

// The store's entries, each an FBSE with its picture after it, or (the
// first `bare` ones) the picture's record alone.
QByteArray blipStore(const std::vector<QByteArray>& blips, size_t bare = 0) {
    QByteArray entries;
    for (const QByteArray& b : blips) {
        const QByteArray fbse = QByteArray(36, '\0') + b;
        entries += bare > 0 ? b : words({2, 0xF007}) + le32(quint32(fbse.size())) + fbse;
        bare -= bare > 0 ? 1 : 0;
    }
    const QByteArray store = words({15 | int(blips.size()) << 4, 0xF001}) + le32(quint32(entries.size())) + entries;
    const QByteArray dgg = words({0, 0xF006}) + le32(16) + QByteArray(16, '\0');
    return words({15, 0xF000}) + le32(quint32(dgg.size() + store.size())) + dgg + store;
}

// Big-endian words of a Macintosh picture.
QByteArray be(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF));
    return b;
}

// A version 2 picture of 40 x 20 points: its top half an indexed pixel map
// (packed, every pixel the second colour: red), its bottom half a direct
// one (packed planes: blue); or a JPEG in a QuickTime opcode.
QByteArray pict(bool quickTime = false) {
    QByteArray p = be({0, 0, 0, 20, 40, 0x0011, 0x02FF, 0x0C00}) + QByteArray(24, '\0');
    if (quickTime) {
        const QByteArray jpeg = [] {
            QImage img(16, 8, QImage::Format_RGB32);
            img.fill(QColor(0, 160, 0));
            QByteArray out;
            QBuffer buffer(&out);
            buffer.open(QIODevice::WriteOnly);
            img.save(&buffer, "JPEG");
            return out;
        }();
        const QByteArray description = QByteArray(68, '\0').replace(4, 4, "jpeg");
        p += be({0x8200}) + be({0, int(description.size() + jpeg.size())}) + description + jpeg;
        if (p.size() % 2) p += '\0';
    } else {
        p += be({0x0098, 0x8000 | 40, 0, 0, 10, 40, 0, 0, 0, 0, 0x48, 0, 0x48, 0, 0, 8, 1, 8, 0, 0, 0, 0, 0, 0}) +
             be({0, 0, 0, 1, 0, 0xFFFF, 0xFFFF, 0xFFFF, 1, 0xFFFF, 0, 0}) +  // two colours: white, red
             be({0, 0, 10, 40, 0, 0, 10, 40, 0});                              // source, destination, mode
        for (int row = 0; row < 10; ++row) p += QByteArray("\x02\xD9\x01", 3);  // 40 times colour 1
        p += be({0x009A, 0, 0xFF, 0x8000 | 160, 0, 0, 10, 40, 0, 4, 0, 0, 0x48, 0, 0x48, 0, 16, 32, 3, 8, 0, 0, 0, 0, 0, 0}) +
             be({0, 0, 10, 40, 10, 0, 20, 40, 0});
        for (int row = 0; row < 10; ++row) p += QByteArray("\x06\xD9\x00\xD9\x00\xD9\xFF", 7);  // planes R, G, B
        if (p.size() % 2) p += '\0';
    }
    return p + be({0x00FF});
}

}  // namespace

TEST(SheetMetafiles, DrawingGroupKeepsMetafilesInflated) {
    const QByteArray plainWmf = wmf(false);
    const std::vector<Blip> blips = xls::parseBlipStore(blipStore({
        metafileBlip(0xF01A, 0x3D4, emf(), true),
        metafileBlip(0xF01B, 0x216, plainWmf, true),
        metafileBlip(0xF01B, 0x216, plainWmf, false),
        metafileBlip(0xF01A, 0x3D4, emf(), true, 1ll << 31),      // claims more than a metafile may take
        metafileBlip(0xF01A, 0x3D4, "not deflated at all", true).replace(8 + 16 + 34, 2, "xx"),
    }));
    ASSERT_EQ(blips.size(), 5u);
    EXPECT_EQ(blips[0].kind, Blip::Emf);
    EXPECT_EQ(blips[0].data, emf()) << "the EMF inflated";
    for (int i : {1, 2}) {
        EXPECT_EQ(blips[size_t(i)].kind, Blip::Wmf) << i;
        EXPECT_TRUE(blips[size_t(i)].data.startsWith("\xD7\xCD\xC6\x9A")) << i << ": a placeable header from the bounds";
        EXPECT_TRUE(blips[size_t(i)].data.endsWith(plainWmf)) << i;
        EXPECT_EQ(uchar(blips[size_t(i)].data[14]), 100) << i << ": 100 units over the inch the size in EMUs gives";
        EXPECT_FALSE(reports::sheet::pictureImage(blips[size_t(i)]).isNull()) << i;
    }
    EXPECT_EQ(blips[3].kind, Blip::Missing) << "an inflated size past the cap";
    EXPECT_EQ(blips[4].kind, Blip::Missing) << "a damaged zlib stream";
    const std::vector<Blip> bare = xls::parseBlipStore(blipStore({metafileBlip(0xF01A, 0x3D4, emf(), true)}, 1));
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0].data, emf()) << "a picture's record standing in the store without its FBSE";
}

TEST(SheetMetafiles, MetafilesAreDrawnInTheirColours) {
    const QImage placed = reports::sheet::pictureImage({Blip::Wmf, wmf()});
    ASSERT_FALSE(placed.isNull());
    EXPECT_NEAR(double(placed.width()) / placed.height(), 2.0, 0.05) << "the placeable header's proportions";
    EXPECT_TRUE(reddish(at(placed, 0.1, 0.1))) << "the rectangle's corner";
    EXPECT_TRUE(bluish(at(placed, 0.75, 0.5))) << "the ellipse's middle";
    EXPECT_EQ(at(placed, 0.99, 0.02).alpha(), 0) << "outside the ellipse the ground stays clear";
    int text = 0;  // the text's glyphs, dark over the rectangle's red
    for (int y = 0; y < placed.height(); ++y)
        for (int x = 0; x < placed.width() / 2; ++x) text += qGray(placed.pixel(x, y)) < 40 ? 1 : 0;
    EXPECT_GT(text, 20) << "the text is drawn";
    const QImage unplaced = reports::sheet::pictureImage({Blip::Wmf, wmf(false)});
    EXPECT_TRUE(bluish(at(unplaced, 0.75, 0.5))) << "without a placeable header the window is the frame";

    const QImage enhanced = reports::sheet::pictureImage({Blip::Emf, emf()});
    ASSERT_FALSE(enhanced.isNull());
    EXPECT_NEAR(double(enhanced.width()) / enhanced.height(), 2.0, 0.05) << "the header's frame";
    EXPECT_TRUE(greenish(at(enhanced, 0.75, 0.5)));
    EXPECT_EQ(at(enhanced, 0.25, 0.5).alpha(), 0);

    const QImage withText = reports::sheet::pictureImage({Blip::Emf, emf(QStringLiteral("日本"))});
    int ink = 0;  // the text's glyphs left of the rectangle
    for (int y = 0; y < withText.height(); ++y)
        for (int x = 0; x < withText.width() / 2; ++x) ink += qAlpha(withText.pixel(x, y)) > 128 ? 1 : 0;
    EXPECT_GT(ink, 50) << "the EMF's text is drawn";
}

TEST(SheetMetafiles, MacintoshPicturesDrawTheirBitmaps) {
    const QImage maps = reports::sheet::pictureImage({Blip::Pict, pict()});
    ASSERT_FALSE(maps.isNull());
    EXPECT_NEAR(double(maps.width()) / maps.height(), 2.0, 0.05) << "the picture's frame";
    EXPECT_TRUE(reddish(at(maps, 0.5, 0.2))) << "the indexed map's colour table";
    EXPECT_TRUE(bluish(at(maps, 0.5, 0.8))) << "the direct map's planes";
    const QImage file = reports::sheet::pictureImage({Blip::Pict, QByteArray(512, '\0') + pict()});
    EXPECT_EQ(file.size(), maps.size()) << "a picture file's 512-byte header";
    const QImage photo = reports::sheet::pictureImage({Blip::Pict, pict(true)});
    EXPECT_EQ(photo.size(), QSize(16, 8)) << "a QuickTime JPEG prints at its own resolution";
    EXPECT_TRUE(greenish(at(photo, 0.5, 0.5)));
    const QByteArray whole = pict();
    for (qsizetype cut = 0; cut < whole.size(); ++cut) reports::sheet::pictureImage({Blip::Pict, whole.left(cut)});
}

TEST(SheetMetafiles, MetafileTextIsSetInTheReportFaces) {
    const QByteArray svg = reports::sheet::withReportFaces(
        QStringLiteral("<text font-family=\"ＭＳ Ｐゴシック\">日本</text><text font-family=\"ＭＳ 明朝\">x</text>").toUtf8());
    const QString family = reports::sheet::reportFamily(false), serif = reports::sheet::substituteFamily(QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(QString::fromUtf8(svg), QStringLiteral("<text font-family=\"%1\">日本</text><text font-family=\"%2\">x</text>").arg(family, serif));
    EXPECT_NE(family, serif);
}

TEST(SheetMetafiles, FixtureMetafilesAreDrawn) {
    struct Case {
        const char* file;
        int metafiles;  // pictures of the book that are metafiles
    };
    for (const Case& c : {Case{"ooxml/epplus/EPPlusTest/Workbooks/VBADecompressBug.xlsm", 4},
                          Case{"xls/poi/drawings.xls", 1}}) {
        const host::Workbook book = host::Workbook::load(test::fixture(c.file));
        int drawn = 0;
        for (const Blip& b : book.model().pictures) {
            if (b.kind != Blip::Emf && b.kind != Blip::Wmf) continue;
            const QImage img = reports::sheet::pictureImage(b);
            int ink = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) ink += qAlpha(img.pixel(x, y)) > 0 ? 1 : 0;
            drawn += ink > 0 ? 1 : 0;
        }
        EXPECT_EQ(drawn, c.metafiles) << c.file;
    }
}

// A damaged picture prints as its frame, with its name and size inside.
TEST(SheetMetafiles, DamagedPicturePrintsItsFrameWithNameAndSize) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("図"));
    s.number(20, 6, 1);
    s.picture(2, 1).png = QByteArray("\x89PNG damaged beyond its signature");
    const reports::test::PrintedWorkbook book(w);
    const reports::test::PrintedPage page = book.firstPage(QStringLiteral("図"));
    const double left = page.colX(1), top = page.rowY(2), bottom = page.rowY(4);
    EXPECT_GT(page.ink(left - 1, top + 3, left + 1, bottom - 3), 10) << "the frame's left edge";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    reports::writePdf({book.image(QStringLiteral("図"))}, pdf);
    const QString text = reports::test::pdfText(pdf).simplified();
    const model::Shape& shape = book.book->model().sheets[0].shapes.at(0);
    // The anchor's size as printed: one column, two rows.
    const auto cm = [](double pt) { return QString::number(pt / 72 * 2.54, 'f', 1); };
    const QString size = QStringLiteral("%1 × %2 cm").arg(cm(page.colX(2) - page.colX(1)), cm(bottom - top));
    EXPECT_TRUE(text.contains(shape.name)) << qPrintable(text);
    EXPECT_TRUE(text.contains(size)) << qPrintable(text) << " lacks " << qPrintable(size);
}

TEST(SheetMetafiles, CutOrFlippedMetafilesNeverCrash) {
    QRandomGenerator random(20261207);
    for (const auto& [kind, file] : {std::pair{Blip::Wmf, wmf()}, std::pair{Blip::Emf, emf()}}) {
        for (qsizetype cut = 0; cut < file.size(); cut += 3) reports::sheet::pictureImage({kind, file.left(cut)});
        for (int i = 0; i < 300; ++i) {
            QByteArray flipped = file;
            flipped[random.bounded(int(flipped.size()))] = char(random.bounded(256));
            flipped[random.bounded(int(flipped.size()))] = char(0xFF);
            reports::sheet::pictureImage({kind, flipped});
        }
    }
    EXPECT_TRUE(reports::sheet::pictureImage({Blip::Emf, emf().left(60)}).isNull()) << "a cut header";
    EXPECT_TRUE(reports::sheet::pictureImage({Blip::Wmf, wmf().left(30)}).isNull()) << "a cut header";
    EXPECT_TRUE(reports::sheet::pictureImage({Blip::Pict, QByteArray(600, '\0')}).isNull());
    for (int i = 0; i < 300; ++i) {
        QByteArray flipped = pict();
        flipped[random.bounded(int(flipped.size()))] = char(random.bounded(256));
        reports::sheet::pictureImage({Blip::Pict, flipped});
    }
    // Glyph numbers: the converter would reset the fontconfig the painter's
    // fonts use (an abort where fontconfig checks itself); the rectangle stays.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(greenish(at(reports::sheet::pictureImage({Blip::Emf, emf(QStringLiteral("\x24\x25"), 0x10)}), 0.75, 0.5)));
}
