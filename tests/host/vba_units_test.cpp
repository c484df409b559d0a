// The pieces of the VBA reader on crafted bytes: decompression, the PROJECT
// stream and its obfuscated values, the dir stream, code pages, export text
// rules and safe file names.
#include "support/TestSupport.h"

#include "common/Error.h"
#include "host/CodePage.h"
#include "host/cfb/CompoundFile.h"
#include "host/vba/Decompress.h"
#include "host/vba/DirStream.h"
#include "host/vba/ExportText.h"
#include "host/vba/ProjectStream.h"
#include "host/vba/SafeFileName.h"

#include <QSet>
#include <gtest/gtest.h>

using tabulon::Error;
using namespace tabulon::vba;
using tabulon::host::decodeCodePage;
using tabulon::host::isKnownCodePage;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

// A raw (uncompressed) chunk: header 0x3FFF and exactly 4096 bytes.
QByteArray rawChunk(char fill) { return hex("ff3f") + QByteArray(4096, fill); }

QByteArray u16(quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); }
QByteArray u32(quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }
QByteArray record(quint16 id, const QByteArray& data) { return u16(id) + u32(data.size()) + data; }

// MS-OVBA 2.4.3.2, written out independently of the reader's decryption.
QString encryptProjectValue(quint8 seed, quint8 projKey, const QByteArray& data) {
    QByteArray out;
    const quint8 versionEnc = seed ^ 2;
    const quint8 projKeyEnc = seed ^ projKey;
    out.append(char(seed)).append(char(versionEnc)).append(char(projKeyEnc));
    quint8 unencrypted1 = projKey, encrypted1 = projKeyEnc, encrypted2 = versionEnc;
    auto put = [&](quint8 byte) {
        const quint8 byteEnc = byte ^ quint8(encrypted2 + unencrypted1);
        out.append(char(byteEnc));
        encrypted2 = encrypted1;
        encrypted1 = byteEnc;
        unencrypted1 = byte;
    };
    for (int i = 0; i < (seed & 6) / 2; ++i)
        put(0x5A);
    for (int i = 0; i < 4; ++i)
        put(quint8(quint32(data.size()) >> (8 * i)));
    for (char c : data)
        put(quint8(c));
    return QString::fromLatin1(out.toHex().toUpper());
}

}  // namespace

TEST(VbaDecompress, LiteralAndCopyTokensAndRawChunks) {
    EXPECT_EQ(decompress(hex("0103b000616263"), 0), "abc");
    // "abc" then a copy token (offset 3, length 6): "abcabcabc".
    EXPECT_EQ(decompress(hex("0105b008616263" "0320"), 0), "abcabcabc");
    EXPECT_EQ(decompress(hex("deadbeef" "0103b000616263"), 4), "abc");  // from the source offset
    EXPECT_EQ(decompress("\x01" + rawChunk('x') + hex("03b000616263"), 0), QByteArray(4096, 'x') + "abc");
}

// A writer's last copy of a chunk may run past its 4096 bytes (a public
// workbook's module does): the copy is cut at the chunk's end and the next
// chunk goes on, while a token after a full chunk is still damage.
TEST(VbaDecompress, ACopyRunningPastTheChunkIsCutAtItsEnd) {
    // "a", then a copy of offset 1 and length 4098 from the second byte on.
    EXPECT_EQ(decompress(hex("01" "03b0" "0261ff0f" "03b000616263"), 0), QByteArray(4096, 'a') + "abc");
    EXPECT_THROW(decompress(hex("01" "05b0" "0661ff0f0100"), 0), Error);
}

TEST(VbaDecompress, DamagedContainersAreCleanErrors) {
    const struct {
        const char* what;
        QByteArray bytes;
        qint64 offset;
    } cases[] = {
        {"wrong signature byte", hex("0203b000616263"), 0},
        {"offset past the end", hex("0103b000616263"), 7},
        {"chunk cut short", hex("0103b0006162"), 0},
        {"lone header byte", hex("0103b000616263" "03"), 0},
        {"chunk signature not 3", hex("0103a000616263"), 0},
        {"raw chunk shorter than 4096", hex("0103300061626364"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(decompress(c.bytes, c.offset), Error);
    }
}

TEST(VbaDecompress, OutputIsBoundedBeforeInflating) {
    QByteArray many = "\x01";
    for (int i = 0; i < 4; ++i)
        many += hex("03b000616263");
    EXPECT_EQ(decompress(many, 0, 4 * 4096).size(), 12);
    EXPECT_THROW(decompress(many, 0, 3 * 4096), Error);
}

TEST(VbaProjectStream, DecryptsRealVisibilityValuesAndRefusesMalformedOnes) {
    QByteArray data;
    ASSERT_TRUE(decryptProjectValue("ABA9076C416D416D41", data));  // a locked project
    EXPECT_EQ(data, QByteArray(1, '\0'));
    ASSERT_TRUE(decryptProjectValue("7371594A2B4B2B4BD4", data));  // an open one
    EXPECT_EQ(data, QByteArray(1, '\xff'));
    ASSERT_TRUE(decryptProjectValue("D1D3FBF9FFF9FFF9FFF9FF", data));  // CMG
    EXPECT_EQ(data.size(), 4);
    EXPECT_FALSE(decryptProjectValue("", data));
    EXPECT_FALSE(decryptProjectValue("ABA9076C", data));             // too short
    EXPECT_FALSE(decryptProjectValue("ABA9076C416D416D4", data));    // odd length
    EXPECT_FALSE(decryptProjectValue("ABA9076C416D416D41FF", data)); // length disagrees
    EXPECT_FALSE(decryptProjectValue("ABAA076C416D416D41", data));   // version not 2
    EXPECT_FALSE(decryptProjectValue("ZZA9076C416D416D41", data));   // not hex
}

TEST(VbaProjectStream, DecryptionInvertsTheDocumentedEncryption) {
    for (quint8 seed : {0x00, 0x02, 0x04, 0x06, 0x37, 0xFF}) {
        const QByteArray data = hex("00ff7f10");
        QByteArray back;
        ASSERT_TRUE(decryptProjectValue(encryptProjectValue(seed, 0x9C, data), back)) << int(seed);
        EXPECT_EQ(back, data) << int(seed);
    }
}

TEST(VbaProjectStream, ComponentKindsAndVisibility) {
    const ProjectInfo info = parseProject(
        "ID=\"{00000000-0000-0000-0000-000000000000}\"\r\n"
        "Document=ThisWorkbook/&H00000000\r\n"
        "Module=Module1\r\n"
        "Class=Klasse\r\n"
        "BaseClass=UserForm1\r\n"
        "Module=a/b\r\n"
        "Name=\"VBAProject\"\r\n"
        "GC=\"ABA9076C416D416D41\"\r\n"
        "\r\n"
        "[Workspace]\r\n"
        "Module=NotAComponent\r\n");
    const QHash<QString, ComponentType> kinds{{"THISWORKBOOK", ComponentType::Document},
                                              {"MODULE1", ComponentType::Standard},
                                              {"KLASSE", ComponentType::Class},
                                              {"USERFORM1", ComponentType::Form},
                                              {"A/B", ComponentType::Standard}};
    EXPECT_EQ(info.kinds, kinds) << "the [Workspace] section names no components";
    EXPECT_TRUE(info.lockedForViewing);
    EXPECT_FALSE(parseProject("Module=M\r\n").lockedForViewing) << "visible unless GC says otherwise";
    EXPECT_TRUE(parseProject("GC=\"0000\"\r\n").lockedForViewing);  // damaged: kept closed
}

TEST(VbaDirStream, ReadsCodePageAndModules) {
    const QByteArray dir = record(0x0001, u32(1)) + record(0x0003, u16(932)) +
                           u16(0x0009) + u32(4) + u32(0x1234) + u16(7) +  // PROJECTVERSION
                           record(0x000F, u16(2)) +
                           record(0x0019, "Mod") + record(0x0047, QByteArray("M\0o\0d\0", 6)) +
                           record(0x001A, "ModS") + record(0x0031, u32(77)) +
                           record(0x0021, {}) + record(0x002B, {}) +
                           record(0x0019, "Cls") + record(0x0031, u32(5)) +
                           record(0x0022, {}) + record(0x002B, {}) + record(0x0010, {});
    const DirInfo info = parseDir(dir);
    EXPECT_EQ(info.codePage, 932);
    // name|unicode name|stream|offset|procedural; without a stream name, the module name
    QStringList modules;
    for (const DirModule& m : info.modules)
        modules << QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(QString::fromLatin1(m.name), m.nameUnicode, QString::fromLatin1(m.streamName))
                       .arg(m.sourceOffset)
                       .arg(m.procedural);
    EXPECT_EQ(modules, (QStringList{"Mod|Mod|ModS|77|1", "Cls||Cls|5|0"}));
}

TEST(VbaDirStream, TruncatedOrIncompleteRecordsAreErrors) {
    const QByteArray good = record(0x0019, "Mod") + record(0x0031, u32(0)) + record(0x002B, {});
    for (int cut = 1; cut < good.size(); ++cut)
        EXPECT_THROW(parseDir(good.left(cut)), Error) << cut;
    EXPECT_THROW(parseDir(record(0x0019, "Mod") + record(0x002B, {})), Error);  // no offset
    EXPECT_THROW(parseDir(u16(0x0019) + u32(0xFFFFFFF0) + "M"), Error);         // huge size
}

// A lead byte without its trail byte costs one character, not the rest; an
// unknown code page reads as Western.
TEST(CodePage, MicrosoftTablesAndDamagedBytes) {
    const struct {
        const char* bytes;
        int codePage;
        QString text;
    } cases[] = {
        {"8160", 932, QString(QChar(0xFF5E))}, {"8740", 932, "①"}, {"955c", 932, "表"}, {"b6c0", 932, "ｶﾀ"},
        {"e4f6fc80", 1252, "äöü€"}, {"c0", 1251, "А"}, {"e282ac", 65001, "€"},
        {"41ff42", 932, QString("A") + QChar(0xFFFD) + "B"}, {"4181", 932, QString("A") + QChar(0xFFFD)},
        {"e4", 12345, "ä"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeCodePage(hex(c.bytes), c.codePage), c.text) << c.bytes;
    EXPECT_FALSE(isKnownCodePage(12345));
}

TEST(VbaExportText, LineEndsBecomeCrlfAndTheTextEndsWithOne) {
    EXPECT_EQ(exportText(ComponentType::Standard, "Attribute VB_Name = \"M\"\nSub A()\rEnd Sub"),
              "Attribute VB_Name = \"M\"\r\nSub A()\r\nEnd Sub\r\n");
    EXPECT_EQ(exportText(ComponentType::Standard, ""), "");
}

TEST(VbaExportText, OnlyTheLeadingStorageAttributesAreDropped) {
    const QString source =
        "Attribute VB_Name = \"C\"\r\n"
        "Attribute VB_Base = \"0{FCFB3D2A-A0FA-1068-A738-08002B3371B5}\"\r\n"
        "Attribute VB_Exposed = False\r\n"
        "Attribute VB_TemplateDerived = False\r\n"
        "Attribute VB_Customizable = False\r\n"
        "Private x As Long\r\n"
        "Attribute x.VB_VarHelpID = -1\r\n"
        "' Attribute VB_Base = kept in code\r\n";
    EXPECT_EQ(exportText(ComponentType::Class, source),
              "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
              "Attribute VB_Name = \"C\"\r\n"
              "Attribute VB_Exposed = False\r\n"
              "Private x As Long\r\n"
              "Attribute x.VB_VarHelpID = -1\r\n"
              "' Attribute VB_Base = kept in code\r\n");
}

TEST(VbaExportText, FormBlobLineTakesItsAlphabeticalPlace) {
    const QString source = "Attribute VB_Name = \"F\"\r\nAttribute VB_TemplateDerived = False\r\n";
    const QString head = "VERSION 5.00\r\nBegin {C62A69F0-16DC-11CE-9E98-00AA00574A4F} F \r\n";
    const QString blob = "   OleObjectBlob   =   \"F_.frx\":0000\r\n";
    // After every property: it goes before End.
    EXPECT_EQ(exportText(ComponentType::Form, source,
                         head + "   Caption         =   \"F\"\r\n   TypeInfoVer     =   7\r\nEnd\r\n",
                         "F_.frx"),
              head + "   Caption         =   \"F\"\r\n" + blob + "End\r\nAttribute VB_Name = \"F\"\r\n");
    // Before ShowModal, and nested property blocks keep their own lines.
    EXPECT_EQ(exportText(ComponentType::Form, source,
                         head +
                             "   BeginProperty Font \r\n      Name = \"Arial\"\r\n   EndProperty\r\n"
                             "   ShowModal       =   0   'False\r\nEnd\r\n",
                         "F_.frx"),
              head + "   BeginProperty Font \r\n      Name = \"Arial\"\r\n   EndProperty\r\n" + blob +
                  "   ShowModal       =   0   'False\r\nEnd\r\nAttribute VB_Name = \"F\"\r\n");
}

TEST(VbaSafeFileName, HostileNamesBecomePlainFileNames) {
    const struct {
        QString name;
        QString expected;
    } cases[] = {
        {"Module1", "Module1"}, {"集計処理", "集計処理"}, {"..\\..\\evil", "_.._.._evil"}, {"a/b", "a_b"},
        {"..", "_._"}, {".hidden", "_.hidden"}, {"CON", "_CON"}, {"nul", "_nul"}, {"COM1", "_COM1"},
        {"lpt9.x", "_lpt9.x"}, {"CONSOLE", "CONSOLE"}, {"COM10", "COM10"},
        {QString("Ctl") + QChar(0x1B) + "Name", "Ctl_Name"}, {QString("a") + QChar(0x85) + "b", "a_b"},
        {"a:b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"}, {"trail. ", "trail._"}, {"", "_"},
        {QString(1, QChar(0xD800)) + "x", "_x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(safeBaseName(c.name), c.expected) << c.name.toStdString();
}

TEST(VbaSafeFileName, LongNamesAreCutOnCharacterBoundaries) {
    const QString name = QString("ü").repeated(200);  // 400 UTF-8 bytes
    const QString safe = safeBaseName(name);
    EXPECT_LE(safe.toUtf8().size(), 120);
    EXPECT_EQ(safe, QString("ü").repeated(60));
    const QString emoji = QString::fromUtf8("😀").repeated(40);  // 4 bytes each
    EXPECT_EQ(safeBaseName(emoji), QString::fromUtf8("😀").repeated(30));
}

TEST(VbaSafeFileName, CollisionsGetANumber) {
    QSet<QString> taken;
    EXPECT_EQ(uniqueFileName("a_b", ".bas", taken), "a_b.bas");
    EXPECT_EQ(uniqueFileName("a_b", ".bas", taken), "a_b~2.bas");
    EXPECT_EQ(uniqueFileName("A_B", ".bas", taken), "A_B~3.bas");
    EXPECT_EQ(uniqueFileName("a_b", ".cls", taken), "a_b.cls");
}

TEST(VbaDecompress, CutModuleStreamGivesAnErrorOrAPrefix) {
    // Module1 of the hostile workbook mixes raw, literal-only and ordinary
    // chunks; a cut anywhere must never read past the bytes or invent text.
    const tabulon::cfb::CompoundFile file(tabulon::test::fixture("xls/crafted/hostile_names.xls"));
    const tabulon::cfb::Storage code = file.root().storage("_VBA_PROJECT_CUR").storage("VBA");
    const QByteArray stream = code.stream("Module1", 1 << 20);
    const QByteArray whole = decompress(stream, 0);
    ASSERT_GT(whole.size(), 9000);
    int errors = 0;
    for (qsizetype cut = 0; cut < stream.size(); ++cut) {
        try {
            const QByteArray part = decompress(stream.left(cut), 0);
            EXPECT_TRUE(whole.startsWith(part)) << cut;
        } catch (const Error&) {
            ++errors;
        }
    }
    EXPECT_GT(errors, stream.size() / 2);
}
