// The worksheet's cells read by our own scanner instead of libxml2: for
// every snippet the handler must see what libxml2 alone gives it (elements,
// namespaces, attributes, text with references replaced, the error and its
// line), whether the scanner takes the rows or leaves them to libxml2, and
// in whatever pieces the bytes arrive.
#include "common/Error.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

#include <QStringList>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <random>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::ooxml;

namespace {

// Every event as text; text joined however it was cut into pieces.
class Record : public XmlHandler {
public:
    QStringList seen;
    bool inText = false;
    void start(const XmlElement& e) override {
        QString s = u'<' + qstr(e.local()) + u'{' + qstr(e.uri()) + u'}';
        for (int i = 0; i < e.count(); ++i)
            s += u' ' + qstr(e.attribute(i).local) + u'{' + qstr(e.attribute(i).uri) + QStringLiteral("}=") + qstr(e.attribute(i).value);
        seen << s;
        inText = false;
    }
    void end(std::string_view local) override {
        seen << QStringLiteral("</") + qstr(local);
        inText = false;
    }
    void text(std::string_view t) override {
        if (!inText) seen << QString();
        seen.back() += qstr(t);
        inText = true;
    }
};

struct Outcome {
    QStringList events;
    QString error;
    uint64_t scanned = 0;
};

// The XML handed over `piece` bytes at a time, libxml2 alone or with the
// scanner reading the content of <sheetData> (or of `scanned`).
Outcome read(const QByteArray& xml, bool scanning, size_t piece = 1 << 16, std::string_view scanned = "sheetData") {
    Outcome out;
    Record r;
    XmlParser parser(r, QStringLiteral("sheet1.xml"));
    qsizetype at = 0;
    try {
        parser.parse([&](char* buffer, size_t capacity) {
            const size_t n = std::min({capacity, piece, size_t(xml.size() - at)});
            std::memcpy(buffer, xml.constData() + at, n);
            at += qsizetype(n);
            return n;
        }, scanning ? scanned : "none");
    } catch (const Error& e) {
        out.error = e.description();
    }
    out.events = r.seen;
    out.scanned = parser.scannedBytes();
    return out;
}

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
                         "xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\">"
                         "<dimension ref=\"A1:C3\"/>\n<sheetData>\n";
const QByteArray kTail = "\n</sheetData>\n<mergeCells count=\"1\"><mergeCell ref=\"A1:B1\"/></mergeCells></worksheet>";
const QByteArray kRow = "<row r=\"1\" spans=\"1:3\" x14ac:dyDescent=\"0.25\"><c r=\"A1\" s=\"1\"><v>1.5</v></c>"
                        "<c r=\"B1\" t=\"s\"><v>0</v></c></row>";

struct Case {
    QByteArray rows;        // between <sheetData> and </sheetData>
    bool scannedWhole;      // the scanner reads every row, else it leaves some
    const char* catches;
};

TEST(OoxmlScanner, SameEventsAsLibxml2ForWhatItTakesAndWhatItLeaves) {
    const Case cases[] = {
        {kRow, true, "plain cells: values, shared strings, a prefixed attribute"},
        {"<row r=\"2\"><c r=\"A2\"><f t=\"shared\" ref=\"A2:A9\" si=\"0\">SUM(B1:B2)&amp;&quot;x&quot;</f><v>3</v></c>"
         "<c r=\"B2\" t=\"str\"><f t=\"array\" ref=\"B2:C3\" aca=\"false\">A1&lt;&gt;2</f><v>TRUE</v></c>"
         "<c r=\"C2\"><f t=\"shared\" si=\"0\"/></c></row>", true, "shared and array formulas, escaped operators"},
        {"<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><r><rPr><b/><sz val=\"11\"/><rFont val=\"游ゴシック\"/></rPr>"
         "<t xml:space=\"preserve\"> 日本 </t></r><r><t>&#x41;&#66;_x000D_&#10;</t></r><rPh sb=\"0\" eb=\"1\"><t>ニホン</t></rPh>"
         "</is></c></row>", true, "rich inline text, xml:space, references, phonetic runs, UTF-8"},
        {"<row r=\"4\" ht=\"20\"\tcustomHeight=\"1\" >\n  <c r=\"A4\" t=\"e\"><v>#N/A</v></c>\n  <c r='B4' t='b'><v>1</v></c>"
         "<c r=\"C4\" s=\"2\"/></row>\n<row r=\"5\"/>", true, "whitespace in tags, single quotes, empty elements"},
        {"<row r=\"6\"><c r=\"A6\" t=\"str\"><v a=\"x\ty\nz&#9;&#10;\">]] &gt; ]&gt; ]]&gt;</v></c></row>", true,
         "tab and line feed in an attribute as spaces, references kept, ']]' before an escaped '>'"},
        {"<row r=\"7\"><c r=\"A7\"><v>\xF0\x9F\x98\x80 \xC3\xA9 \xEF\xBF\xBD</v></c></row>", true, "four-byte UTF-8"},
        {kRow + "<row r=\"8\"><!-- a note --><c r=\"A8\"><v>1</v></c></row>", false, "a comment"},
        {kRow + "<row r=\"8\"><c r=\"A8\" t=\"str\"><v><![CDATA[<b>]]></v></c></row>", false, "a CDATA section"},
        {kRow + "<row r=\"8\"><?pi x?></row>", false, "a processing instruction"},
        {kRow + "<row r=\"8\"><x:c xmlns:x=\"urn:x\" r=\"A8\"><v>1</v></x:c></row>", false, "a prefixed element"},
        {kRow + "<row r=\"8\" xmlns=\"urn:other\"><c r=\"A8\"><v>1</v></c></row>", false, "a default namespace redeclared"},
        {kRow + "<row r=\"8\" q:r=\"1\"><c r=\"A8\"><v>1</v></c></row>", false, "an undeclared prefix"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>1\r\n2</v></c></row>", false, "a carriage return"},
        {kRow + "<row r=\"8\" ht=\"1\r\"><c r=\"A8\"><v>1</v></c></row>", false, "a carriage return in an attribute"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>&nbsp;</v></c></row>", false, "an undeclared entity"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>&#0;&#xFFFE;</v></c></row>", false, "a reference to no character"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>&#X41;</v></c></row>", false, "an upper-case hexadecimal reference"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>\x01</v></c></row>", false, "a control character"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>\xC3\x28 \xED\xA0\x80 \xEF\xBF\xBF \xC0\xAF</v></c></row>", false,
         "bad UTF-8, a surrogate, U+FFFF, an overlong form"},
        {kRow + "<row r=\"8\"><c r=\"A8\" r=\"B8\"><v>1</v></c></row>", false, "a repeated attribute"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>1</c></v></row>", false, "mismatched end tags"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>a]]>b</v></c></row>", false, "']]>' in text"},
        {kRow + "<row r=\"8\"><c r=\"A<8\"><v>1</v></c></row>", false, "'<' in an attribute"},
        {kRow + "<row r=\"8\"><c r=\"A8\"t=\"s\"><v>1</v></c></row>", false, "attributes without space between"},
        {kRow + "<row r=\"8\"><c r=\"A8\"><v>1</v></c></row><row>" + QByteArray("<a>").repeated(300), false,
         "nesting deeper than the limit, cut off"},
        {kRow + "<row r=\"8\">" + QByteArray("<a>").repeated(300) + QByteArray("</a>").repeated(300) + "</row>", false,
         "nesting deeper than the limit"},
    };
    for (const Case& c : cases) {
        const QByteArray xml = kHead + c.rows + kTail;
        const Outcome libxml2 = read(xml, false);
        ASSERT_EQ(libxml2.scanned, 0u);
        for (const size_t piece : {size_t(1) << 16, size_t(1), size_t(3), size_t(7)}) {
            const Outcome ours = read(xml, true, piece);
            EXPECT_EQ(ours.events, libxml2.events) << c.catches << ", pieces of " << piece;
            EXPECT_EQ(ours.error, libxml2.error) << c.catches << ", pieces of " << piece;
            if (c.scannedWhole) {
                EXPECT_EQ(ours.scanned, size_t(c.rows.size()) + 1) << c.catches << " not scanned";
            } else if (c.rows.startsWith(kRow)) {
                EXPECT_GE(ours.scanned, size_t(kRow.size()) + 1) << c.catches << ": the rows before";
                EXPECT_LE(ours.scanned, size_t(c.rows.size())) << c.catches << " scanned";
            }
        }
    }
}

TEST(OoxmlScanner, OnlyAnUnprefixedElementOfTheTopTwoLevelsInUtf8) {
    const struct {
        QByteArray xml;
        const char* catches;
    } cases[] = {
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><worksheet><sheetData><row><c><v>\xE9</v></c></row></sheetData>"
         "</worksheet>", "another encoding read as UTF-8"},
        {"<worksheet xmlns:x=\"urn:x\"><x:sheetData><row><c><v>1</v></c></row></x:sheetData></worksheet>",
         "a prefixed element of the name"},
        {"<!-- <sheetData> --><worksheet><a><sheetData><row/></sheetData></a></worksheet>",
         "the name in a comment, or deeper than the root's child"},
        {"<worksheet><a x=\"<sheetData>\"/><sheetData/><sheetData><row></sheetData></worksheet>",
         "the name in an attribute, an empty element, a broken one"},
        {"", "UTF-16 read as UTF-8"},
    };
    const QString utf16 = QStringLiteral("<worksheet><sheetData><row><c><v>\u00E9</v></c></row></sheetData></worksheet>");
    const QByteArray utf16Xml = QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    for (auto c : cases) {
        if (c.xml.isEmpty()) c.xml = utf16Xml;
        const Outcome libxml2 = read(c.xml, false);
        if (c.xml == utf16Xml) {
            ASSERT_TRUE(libxml2.events.contains(QStringLiteral("\u00E9"))) << libxml2.error.toStdString();
        }
        for (const size_t piece : {size_t(1) << 16, size_t(1), size_t(5)}) {
            const Outcome ours = read(c.xml, true, piece);
            EXPECT_EQ(ours.events, libxml2.events) << c.catches;
            EXPECT_EQ(ours.error, libxml2.error) << c.catches;
            EXPECT_EQ(ours.scanned, 0u) << c.catches;
        }
    }
}

TEST(OoxmlScanner, SharedStringsFromTheRoot) {
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst xmlns=\"http://purl.oclc.org/ooxml/spreadsheetml/main\" "
                           "count=\"3\"><si><t xml:space=\"preserve\"> a &amp; b </t></si><si><r><rPr><i/></rPr><t>x</t></r>"
                           "<r><t>y&#x3042;</t></r></si>\n<si><t/></si></sst>";
    const Outcome libxml2 = read(xml, false);
    for (const size_t piece : {size_t(1) << 16, size_t(2)}) {
        const Outcome ours = read(xml, true, piece, "sst");
        EXPECT_EQ(ours.events, libxml2.events);
        EXPECT_EQ(ours.error, libxml2.error);
        EXPECT_EQ(ours.scanned, size_t(xml.size() - xml.indexOf("<si>") - 6)) << "every item, the strict namespace";
    }
}

TEST(OoxmlScanner, ErrorsAfterTheScannedRowsKeepTheirLine) {
    const QByteArray xml = kHead + kRow + "\n" + kRow + "\n</sheetData>\n\n<a></b></worksheet>";
    const Outcome libxml2 = read(xml, false);
    const Outcome ours = read(xml, true);
    EXPECT_GT(ours.scanned, 0u);
    EXPECT_TRUE(libxml2.error.contains(QStringLiteral("line 8"))) << libxml2.error.toStdString();
    EXPECT_EQ(ours.error, libxml2.error);
}

// Cell values read on a short path where they can be: every one must be
// the double the full conversion gives, to the last bit.
TEST(OoxmlSheetNumbers, ShortDecimalsAsTheFullConversionReadsThem) {
    std::mt19937_64 random(20261207);
    std::vector<std::string> texts = {"0", "-0", "1", "-1", "0.1", "0.3", "123456789012345", "1234567890123456",
                                      "999999999999999.9", "0.000000000000001", "1.", ".5", "1e5", "-.5", "01.10",
                                      "7.0000000000000001", "2.5 ", "4x"};
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + int(random() % 17), point = int(random() % (digits + 1));
        std::string t = random() % 4 == 0 ? "-" : "";
        for (int d = 0; d < digits; ++d) {
            if (d == point && d > 0) t += '.';
            t += char('0' + random() % 10);
        }
        texts.push_back(t);
    }
    QByteArray xml = "<worksheet><sheetData>";
    for (size_t i = 0; i < texts.size(); ++i)
        xml += "<row r=\"" + QByteArray::number(qulonglong(i + 1)) + "\"><c r=\"A" + QByteArray::number(qulonglong(i + 1)) +
               "\"><v>" + QByteArray::fromStdString(texts[i]) + "</v></c></row>";
    xml += "</sheetData></worksheet>";
    SheetContext ctx;
    model::Sheet sheet;
    SheetRefs refs;
    QStringList warnings;
    WorksheetParser parser(ctx, sheet, refs, warnings);
    parseXml(xml, QStringLiteral("sheet1.xml"), parser.handler(), false, "sheetData");
    parser.finish();
    size_t at = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        double expected = 0;
        if (std::from_chars(texts[i].data(), texts[i].data() + texts[i].size(), expected).ec != std::errc()) continue;
        ASSERT_LT(at, sheet.cells.size());
        ASSERT_EQ(sheet.cells[at].row, int(i)) << texts[i];
        EXPECT_EQ(std::bit_cast<uint64_t>(sheet.cells[at].number), std::bit_cast<uint64_t>(expected)) << texts[i];
        ++at;
    }
    EXPECT_EQ(at, sheet.cells.size());
}

}  // namespace
