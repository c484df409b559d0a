// The package layer under hostile input: unsafe part names, relationships
// that leave the package, parts that claim more than they may inflate to,
// XML with entity declarations or runaway nesting. Each ends in a clean
// error or a warning, never a crash or an allocation of the claimed size.
#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/xml/XmlStream.h"
#include "support/PackageWriter.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::ooxml;
using tabulon::test::PackageWriter;

namespace {

const QByteArray kTypes = "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                          "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                          "<Override PartName=\"/xl/workbook.xml\" ContentType=\"main\"/></Types>";

ZipArchive zipOf(const QByteArray& bytes) { return ZipArchive(PackageBytes::of(bytes), QStringLiteral("t.xlsx")); }

// Sets the inflated size every central directory entry claims.
QByteArray claimSize(QByteArray zip, uint32_t size) {
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4))
        for (int k = 0; k < 4; ++k) zip[at + 24 + k] = char((size >> (8 * k)) & 0xFF);
    return zip;
}

host::ReadFailure failureOf(const QByteArray& bytes) {
    try {
        Package p(zipOf(bytes));
    } catch (const host::ReadError& e) {
        return e.kind();
    }
    return host::ReadFailure::FileMissing;  // stands for "no failure"
}

TEST(OoxmlPackage, WhatIsNoPackageIsRefusedByKind) {
    const QByteArray good = PackageWriter().add("[Content_Types].xml", kTypes).add("xl/workbook.xml", "<w/>").bytes();
    EXPECT_EQ(failureOf("plain text, no zip"), host::ReadFailure::NotWorkbook) << "a file that is no zip";
    EXPECT_EQ(failureOf(good.left(good.size() - 30)), host::ReadFailure::Damaged) << "a zip cut short";
    EXPECT_EQ(failureOf(good), host::ReadFailure::FileMissing) << "a good package refused";
}

TEST(OoxmlPackage, PartNamesAndTargetsStayInsideThePackage) {
    const QByteArray bytes = PackageWriter()
                                 .add("[Content_Types].xml", kTypes)
                                 .add("../../evil.xml", "<x/>")
                                 .add("/abs.xml", "<x/>")
                                 .add("xl\\..\\..\\back.xml", "<x/>")
                                 .add("xl\\styles.xml", "<s/>")
                                 .add("xl/workbook.xml", "<w/>")
                                 .add("XL/WORKBOOK.XML", "<second/>")
                                 .add("xl/_rels/workbook.xml.rels",
                                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                      "<Relationship Id=\"r1\" Type=\"t/worksheet\" Target=\"../../../x.xml\"/>"
                                      "<Relationship Id=\"r2\" Type=\"t/worksheet\" Target=\"worksheets/../sheet%201.xml\"/>"
                                      "<Relationship Id=\"r3\" Type=\"t/hyperlink\" Target=\"../x\" TargetMode=\"External\"/>"
                                      "</Relationships>")
                                 .bytes();
    const Package p(zipOf(bytes));
    EXPECT_FALSE(p.hasPart("../../evil.xml"));
    EXPECT_FALSE(p.hasPart("abs.xml"));
    EXPECT_EQ(p.zip().entries().size(), 4u) << "unsafe names must be left out, the duplicate too";
    EXPECT_TRUE(p.hasPart("xl/styles.xml")) << "folders separated the Windows way must be read";
    EXPECT_EQ(p.read("xl/workbook.xml", 100), QByteArray("<w/>")) << "the first of two same-named parts is read";
    const auto& rels = p.relationships("xl/workbook.xml");
    ASSERT_EQ(rels.size(), 3u);
    EXPECT_TRUE(rels[0].part.isEmpty()) << "a target above the root must not resolve";
    EXPECT_EQ(rels[1].part, QStringLiteral("xl/sheet 1.xml")) << "dot segments and escapes resolved";
    EXPECT_TRUE(rels[2].external);
    EXPECT_EQ(p.contentType("/XL/Workbook.xml"), QStringLiteral("main")) << "part names compare without case";
    EXPECT_GE(p.warnings().size(), 5) << p.warnings().join('\n').toStdString();
    EXPECT_EQ(resolveTarget("xl/drawings/drawing1.xml", "../media/a.png"), QStringLiteral("xl/media/a.png"));
    EXPECT_EQ(resolveTarget("xl/workbook.xml", "/xl/styles.xml"), QStringLiteral("xl/styles.xml"));
}

TEST(OoxmlPackage, PartsInflateNoFurtherThanAllowed) {
    const QByteArray zeros(4096, '\0');
    PackageWriter w;
    w.add("[Content_Types].xml", kTypes).add("a.bin", zeros).add("b.bin", zeros).add("c.bin", zeros);
    const QByteArray good = w.bytes();
    {
        const ZipArchive zip = zipOf(good);
        EXPECT_THROW(zip.read(*zip.find("a.bin"), 100), Error) << "a part larger than the caller allows";
        EXPECT_EQ(zip.read(*zip.find("b.bin"), 1 << 20).size(), 4096);
    }
    {
        // A directory that understates the size is no reason to refuse the
        // part: what it really inflates to is counted.
        const ZipArchive zip = zipOf(claimSize(good, 100));
        EXPECT_EQ(zip.read(*zip.find("a.bin"), 1 << 20).size(), 4096);
    }
    {
        const ZipArchive zip = zipOf(claimSize(good, 0xC0000000u));
        EXPECT_THROW(zip.read(*zip.find("a.bin"), ~0ull), Error) << "a part claiming more than 2 GB";
    }
    {
        const ZipArchive zip = zipOf(claimSize(good, 1200u << 20));
        EXPECT_THROW(zip.read(*zip.find("a.bin"), ~0ull), Error) << "a claim past what the package may inflate to";
    }
    {
        // The parts together may inflate to 10,000 bytes: the third is
        // refused, whatever handle reads it and whatever it claims.
        ZipArchive zip = zipOf(claimSize(good, 10));
        zip.limitInflation(10000);
        EXPECT_NO_THROW(zip.read(*zip.find("a.bin"), ~0ull));
        const ZipArchive other = zip.reopen();
        EXPECT_NO_THROW(other.read(*other.find("b.bin"), ~0ull));
        EXPECT_THROW(other.read(*other.find("c.bin"), ~0ull), Error) << "handles must share one budget";
    }
}

// Text that deflates about as a sheet does, from a seeded generator.
QByteArray sheetLikeText(int rows, unsigned seed) {
    QByteArray out;
    for (int r = 1; r <= rows; ++r) {
        seed = seed * 1103515245u + 12345u;
        out += "<row r=\"" + QByteArray::number(r) + "\"><c><v>" + QByteArray::number(seed % 100000) + "</v></c></row>";
    }
    return out;
}

TEST(OoxmlPackage, PartsReadWholeAgreeWithTheirBytesAndKeepWhatPrecedesDamage) {
    const QByteArray big = sheetLikeText(6000, 7), small = sheetLikeText(20, 8), middle = sheetLikeText(3000, 9);
    const QByteArray good = PackageWriter()
                                .add("[Content_Types].xml", kTypes)
                                .add("big.xml", big)
                                .add("small.xml", small)
                                .add("middle.xml", middle)
                                .bytes();
    {
        // One handle, parts of falling and rising size: memory kept from one
        // part for the next must never show through.
        const ZipArchive zip = zipOf(good);
        for (const auto& [name, bytes] : {std::pair{"big.xml", big}, {"small.xml", small}, {"middle.xml", middle}, {"big.xml", big}})
            EXPECT_EQ(zip.read(*zip.find(name), 1 << 24), bytes) << name;
    }
    // big.xml's local header, its stored bytes, and its central directory entry.
    const qsizetype local = good.indexOf("big.xml") - 30, central = good.indexOf("big.xml", local + 40) - 46;
    const auto u16 = [&](qsizetype at) { return qsizetype(uchar(good[at]) | (uchar(good[at + 1]) << 8)); };
    const qsizetype data = local + 30 + u16(local + 26) + u16(local + 28);
    const qsizetype stored = good.indexOf("PK\x03\x04", data) - data;
    QByteArray damaged = good, badCrc = good;
    damaged.replace(data + stored / 2, 64, QByteArray(64, '\xff'));
    for (const qsizetype at : {local + 14, central + 16}) badCrc[at] = char(badCrc[at] ^ 0x55);
    struct Case {
        const char* what;
        QByteArray bytes;
        bool whole;  // every byte comes before the failure
    } cases[] = {
        {"stored bytes overwritten halfway", damaged, false},
        {"the CRC both headers record", badCrc, true},
    };
    for (const Case& c : cases) {
        const ZipArchive zip = zipOf(c.bytes);
        QByteArray got;
        EXPECT_THROW(zip.stream(*zip.find("big.xml"), 1 << 24, [&](const char* d, size_t n) { got.append(d, qsizetype(n)); }), Error)
            << c.what;
        // Inflating stops only some way past the damage: the first quarter
        // is the part's own.
        EXPECT_GE(got.size(), c.whole ? big.size() : big.size() / 4) << c.what << ": what precedes the damage must be read";
        EXPECT_EQ(got.left(c.whole ? big.size() : big.size() / 4), big.left(c.whole ? big.size() : big.size() / 4)) << c.what;
        EXPECT_EQ(zip.read(*zip.find("small.xml"), 1 << 24), small) << c.what << ": the other parts read on";
    }
}

class Collect : public XmlHandler {
public:
    QStringList seen;
    void start(const XmlElement& e) override {
        seen << qstr(e.local()) + u'=' + e.text("v") + u'|' + qstr(e.relAttr("id"));
    }
    void text(std::string_view t) override { seen << qstr(t); }
};

TEST(OoxmlXml, ElementsAttributesAndTextInPiecesAsTheyCome) {
    Collect c;
    XmlParser parser(c, QStringLiteral("t.xml"));
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a xmlns:r=\"http://schemas.openxmlformats.org/"
                           "officeDocument/2006/relationships\"><b v=\"1 &amp; 2\" r:id=\"rId1\"/><t>x&lt;y</t></a>";
    qsizetype at = 0;
    parser.parse([&](char* buffer, size_t) {  // seven bytes at a time: pieces may split anything
        const size_t n = std::min<size_t>(7, size_t(xml.size() - at));
        std::memcpy(buffer, xml.constData() + at, n);
        at += qsizetype(n);
        return n;
    });
    EXPECT_EQ(c.seen.join(u','), QStringLiteral("a=|,b=1 & 2|rId1,t=|,x,<,y").replace(u',', u','))
        << c.seen.join(u',').toStdString();
}

TEST(OoxmlXml, HostileOrBrokenXmlEndsInAClearError) {
    const struct {
        QByteArray xml;
        const char* catches;
    } cases[] = {
        {"<!DOCTYPE a [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><a>&c;&c;&c;&c;</a>", "entity expansion obeyed"},
        {"<!DOCTYPE a SYSTEM \"file:///etc/passwd\"><a/>", "an external document type loaded"},
        {QByteArray("<a>").repeated(300) + QByteArray("</a>").repeated(300), "nesting without limit"},
        {"<a><b></a>", "mismatched tags accepted"},
        {"", "an empty part accepted"},
    };
    for (const auto& c : cases) {
        Collect h;
        EXPECT_THROW(parseXml(c.xml, QStringLiteral("x.xml"), h), Error) << c.catches;
    }
    Collect h;
    try {
        parseXml("<a>\n<b></a>", QStringLiteral("x.xml"), h);
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("x.xml"))) << "the part must be named";
        EXPECT_TRUE(e.description().contains(QStringLiteral("line 2"))) << e.description().toStdString();
    }
}

}  // namespace
