// Encrypted workbooks: the keys against values worked out apart from this
// code, the password flow (default, given, wrong, none) and the schemes the
// reader does not know.
#include "common/Error.h"
#include "host/CellDisplay.h"
#include "host/Workbook.h"
#include "host/xls/DecryptKeys.h"
#include "host/xls/DecryptXor.h"
#include "host/xls/Loader.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::xls;
namespace model = tabulon::model;

namespace {

const QByteArray kSalt = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");

TEST(BlockKeyValues, MatchTheDocumentedDerivation) {
    const struct {
        BlockKeys::Scheme scheme;
        const char16_t* password;
        int keyBits;
        uint32_t block;
        const char* keyHex;
    } cases[] = {
        {BlockKeys::Scheme::Rc4, u"VelvetSweatshop", 0, 0, "e0f0f3ab5b2c55a6fff6d99ae30691fb"},
        {BlockKeys::Scheme::Rc4, u"VelvetSweatshop", 0, 3, "4b83c57d54f17f82bb08c65a9e66476d"},
        {BlockKeys::Scheme::CryptoApi, u"秘密pass", 40, 2, "56c1e8e6d10000000000000000000000"},
        {BlockKeys::Scheme::CryptoApi, u"秘密pass", 128, 0, "380ee9a21c6c3a687038ed8f3b68c42c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlockKeys(c.scheme, QString::fromUtf16(c.password), kSalt, c.keyBits).key(c.block).toHex(),
                  QByteArray(c.keyHex));
}

TEST(Rc4Cipher, KnownVector) {
    QByteArray text("Plaintext");
    Rc4(QByteArray("Key")).apply(reinterpret_cast<uint8_t*>(text.data()), size_t(text.size()));
    EXPECT_EQ(text.toHex(), QByteArray("bbf316e8d940af0ad3"));
}

QByteArray le(uint64_t v, int n) {
    QByteArray out;
    for (int k = 0; k < n; ++k) out.append(char((v >> (8 * k)) & 0xFF));
    return out;
}

// The FILEPASS data for a password: the verifier and its hash encrypted
// with the key of block 0.
QByteArray filePass(BlockKeys::Scheme scheme, const QString& password, int keyBits = 128) {
    const QByteArray verifier = QByteArray::fromHex("f00dfacecafebeef0123456789abcdef");
    const bool api = scheme == BlockKeys::Scheme::CryptoApi;
    QByteArray pair = verifier + QCryptographicHash::hash(verifier, api ? QCryptographicHash::Sha1 : QCryptographicHash::Md5);
    Rc4(BlockKeys(scheme, password, kSalt, keyBits).key(0)).apply(reinterpret_cast<uint8_t*>(pair.data()), size_t(pair.size()));
    if (!api) return le(1, 2) + le(1, 2) + le(1, 2) + kSalt + pair;
    const QByteArray header = le(0x24, 4) + le(0, 4) + le(0x6801, 4) + le(0x8004, 4) + le(uint32_t(keyBits), 4) +
                              le(1, 4) + le(0, 8) + QByteArray("M\0S\0\0\0", 6);
    return le(1, 2) + le(4, 2) + le(2, 2) + le(0x24, 4) + le(uint32_t(header.size()), 4) + header + le(16, 4) +
           kSalt + pair.left(16) + le(20, 4) + pair.mid(16);
}

// A workbook stream with a FILEPASS after its first BOF and the sheets'
// offsets moved past it.
QByteArray withFilePass(const QByteArray& fileData) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& sheet = w.addSheet(QStringLiteral("売上"));
    xlsw::XlsCell value;
    value.number = 12.5;
    sheet.cells.push_back(value);
    xlsw::XlsCell twice;
    twice.row = 1;
    twice.kind = xlsw::XlsCell::Formula;
    twice.number = 25;
    twice.rgce = xlsw::Rgce().ref(0, 0).integer(2).op(0x05).bytes();
    sheet.cells.push_back(twice);
    const QByteArray plain = w.workbookStream();
    const int bofEnd = 4 + (uint8_t(plain[2]) | (uint8_t(plain[3]) << 8));
    const QByteArray record = le(0x2F, 2) + le(uint32_t(fileData.size()), 2) + fileData;
    QByteArray out = plain.left(bofEnd) + record + plain.mid(bofEnd);
    for (int at = bofEnd + int(record.size()); at + 4 <= out.size();) {
        const int type = uint8_t(out[at]) | (uint8_t(out[at + 1]) << 8);
        const int size = uint8_t(out[at + 2]) | (uint8_t(out[at + 3]) << 8);
        if (type == 0x85) {
            uint32_t pos = 0;
            for (int k = 3; k >= 0; --k) pos = (pos << 8) | uint8_t(out[at + 4 + k]);
            out.replace(at + 4, 4, le(pos + uint32_t(record.size()), 4));
        }
        at += 4 + size;
    }
    return out;
}

// The same with its data run through the cipher (its own inverse).
QByteArray encryptedStream(const QByteArray& fileData, const QString& password) {
    return decryptWorkbookStream(withFilePass(fileData), QStringLiteral("x.xls"), [password](int) { return password; });
}

// Answers the password prompts in turn, counting them.
struct Prompts {
    QStringList answers;
    int asked = 0;
    PasswordAsk ask() {
        return [this](int attempt) -> std::optional<QString> {
            ++asked;
            if (attempt >= answers.size()) return std::nullopt;
            return answers[attempt];
        };
    }
};

QString formulaOf(const model::Book& book, int cell) {
    return cellFormula(book.sheets.at(0), book.sheets.at(0).cells.at(size_t(cell)));
}

// Each scheme and key size, with the default password (no prompt) or a given one.
TEST(EncryptedBook, ReadsAsThePlainWorkbook) {
    const struct {
        BlockKeys::Scheme scheme;
        const char16_t* password;
        int keyBits;
        int prompts;  // how often the user is asked
    } cases[] = {
        {BlockKeys::Scheme::Rc4, u"VelvetSweatshop", 128, 0},
        {BlockKeys::Scheme::Rc4, u"ひみつ", 128, 1},
        {BlockKeys::Scheme::CryptoApi, u"VelvetSweatshop", 40, 0},
        {BlockKeys::Scheme::CryptoApi, u"秘密pass", 40, 1},
        {BlockKeys::Scheme::CryptoApi, u"秘密pass", 128, 1},
    };
    for (const auto& c : cases) {
        const QString password = QString::fromUtf16(c.password);
        SCOPED_TRACE(password.toStdString() + " " + std::to_string(c.keyBits));
        Prompts prompts{{password}};
        const model::Book book = readWorkbookStream(encryptedStream(filePass(c.scheme, password, c.keyBits), password),
                                                      QStringLiteral("x.xls"), prompts.ask());
        EXPECT_EQ(prompts.asked, c.prompts);
        ASSERT_EQ(book.sheets.size(), 1u);
        EXPECT_EQ(book.sheets[0].name, QStringLiteral("売上"));
        EXPECT_EQ(formulaOf(book, 1), QStringLiteral("=A1*2"));
        EXPECT_TRUE(book.encrypted);
    }
}

QString refusal(const QByteArray& stream, const PasswordAsk& ask) {
    try {
        readWorkbookStream(stream, QStringLiteral("x.xls"), ask);
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::Refused);
        return e.description();
    }
    return QStringLiteral("(opened)");
}

TEST(EncryptedBookPassword, SecondTryAfterAWrongOneThenGivesUp) {
    const QByteArray stream = encryptedStream(filePass(BlockKeys::Scheme::Rc4, "right"), "right");
    Prompts second{{"wrong", "right"}};
    EXPECT_EQ(refusal(stream, second.ask()), QStringLiteral("(opened)"));
    Prompts third{{"wrong", "wrong", "right"}};
    EXPECT_TRUE(refusal(stream, third.ask()).endsWith(kPasswordWrong));
    EXPECT_EQ(third.asked, 2);
    Prompts none;
    EXPECT_TRUE(refusal(stream, none.ask()).endsWith(kPasswordNeeded));
    EXPECT_TRUE(refusal(stream, {}).endsWith(kPasswordNeeded));
}

TEST(EncryptedBookPassword, UnknownSchemesAreNamed) {
    const QByteArray rc4 = filePass(BlockKeys::Scheme::Rc4, kDefaultPassword);
    const QByteArray api = filePass(BlockKeys::Scheme::CryptoApi, kDefaultPassword);
    QByteArray aes = api;
    aes.replace(6 + 8 + 8, 4, le(0x660E, 4));  // AES-128 in place of RC4
    for (const QByteArray& data : {le(2, 2) + le(0x1234, 2) + le(0x5678, 2), le(1, 2) + le(5, 2) + le(5, 2) + rc4.mid(6),
                                   rc4.left(30), aes, le(0, 2) + le(0x1234, 1)})
        EXPECT_TRUE(refusal(withFilePass(data), {}).endsWith(kUnknownEncryption)) << data.toHex().toStdString();
}

// XOR obfuscation: the FILEPASS key and verifier of a password, the values
// read from a workbook the spreadsheet saved with the password "1950".
TEST(XorObfuscationKeys, MatchAWorkbookTheSpreadsheetSaved) {
    const QByteArray password = xorPasswordBytes(QStringLiteral("1950"));
    EXPECT_EQ(xorKey(password), 0x499A);
    EXPECT_EQ(xorVerifier(password), 0xCC61);
    EXPECT_EQ(xorPasswordBytes(QStringLiteral("Āあbcdefghijklmnop")).toHex(), QByteArray("014262636465666768696a6b6c6d6e"))
        << "one byte a character (the low one, else the high one), at most 15";
}

// A stream obfuscated as the spreadsheet does it: every record's data after
// FILEPASS, the sheets' stream positions left plain.
QByteArray xorStream(const QString& password) {
    const XorObfuscation keys(password);
    const QByteArray pass = xorPasswordBytes(password);
    QByteArray out = withFilePass(le(0, 2) + le(xorKey(pass), 2) + le(xorVerifier(pass), 2));
    const int bofEnd = 4 + (uint8_t(out[2]) | (uint8_t(out[3]) << 8));
    const int dataFrom = bofEnd + 4 + 6;
    auto* bytes = reinterpret_cast<uint8_t*>(out.data());
    for (int at = dataFrom; at + 4 <= out.size();) {
        const int type = bytes[at] | (bytes[at + 1] << 8);
        const int size = bytes[at + 2] | (bytes[at + 3] << 8);
        const int skip = type == 0x85 ? 4 : 0;
        keys.encrypt(bytes + at + 4 + skip, size_t(size - skip), size_t(at + 4 + skip + size) % 16);
        at += 4 + size;
    }
    return out;
}

TEST(XorObfuscatedBook, OpensWithTheDefaultOrTheGivenPassword) {
    Prompts none;
    const model::Book book = readWorkbookStream(xorStream(kDefaultPassword), QStringLiteral("x.xls"), none.ask());
    EXPECT_EQ(none.asked, 0) << "the default password is tried first";
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].name, QStringLiteral("売上"));
    EXPECT_EQ(formulaOf(book, 1), QStringLiteral("=A1*2"));

    const QByteArray given = xorStream(QStringLiteral("ひみつ1"));
    Prompts right{{QStringLiteral("ひみつ1")}}, wrong{{"wrong", "wrong"}};
    EXPECT_EQ(formulaOf(readWorkbookStream(given, QStringLiteral("x.xls"), right.ask()), 1), QStringLiteral("=A1*2"));
    EXPECT_TRUE(refusal(given, wrong.ask()).endsWith(kPasswordWrong));
}

TEST(EncryptedBookFixture, OpensWithItsPassword) {
    const QString path = test::fixture("xls/oletools/encrypted.xls");
    Prompts given{{"encrypted"}};
    const host::Workbook wb = host::Workbook::load(path, given.ask());
    EXPECT_TRUE(wb.model().encrypted);
    // The formats and the cells' XFs are read with the cells, from the decrypted stream.
    EXPECT_GE(wb.model().formats.cellFormats.size(), 16u);
    EXPECT_EQ(wb.sheet(1).model().layout.cellFormats.size(), 2u);
    ASSERT_GE(wb.sheetCount(), 1);
    EXPECT_EQ(wb.sheet(1).name(), QStringLiteral("Tabelle1"));
    EXPECT_EQ(wb.sheet(1).usedRange().cell(0).value().toString(), QStringLiteral("Encrypted Test File"));
}

}  // namespace
