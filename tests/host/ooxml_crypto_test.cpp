// Encrypted packages: agile and standard encryption, the default password
// first and then the user's, and a clear refusal by kind for the rest.
#include "host/ReadFailure.h"
#include "host/cfb/CompoundFile.h"
#include "host/ooxml/crypto/EncryptedPackage.h"
#include "support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::ooxml;
using tabulon::host::ReadFailure;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

host::PasswordAsk answers(QStringList given, int* asked = nullptr) {
    return [given, asked](int attempt) -> std::optional<QString> {
        if (asked) ++*asked;
        if (attempt < given.size()) return given.at(attempt);
        return std::nullopt;
    };
}

ReadFailure failureOf(const EncryptedStreams& s, const host::PasswordAsk& ask) {
    try {
        decryptPackage(s.encryptionInfo, s.encryptedPackage, QStringLiteral("t.xlsx"), ask);
    } catch (const host::ReadError& e) {
        return e.kind();
    }
    return ReadFailure::FileMissing;  // stands for "opened"
}

TEST(OoxmlCrypto, AgileFixtureDecryptsToItsPublishedPackage) {
    const cfb::CompoundFile file(test::fixture("ooxml/msoffcrypto-tool/tests/inputs/example_password.xlsx"));
    ASSERT_TRUE(holdsEncryptedPackage(file));
    int asked = 0;
    const QByteArray zip = decryptPackage(file, QStringLiteral("example_password.xlsx"),
                                          answers({QStringLiteral("Password1234_")}, &asked));
    EXPECT_EQ(zip, fileBytes(test::fixture("ooxml/msoffcrypto-tool/tests/outputs/example.xlsx")));
    EXPECT_EQ(asked, 1) << "the default password must be tried before asking";
}

TEST(OoxmlCrypto, OwnEncryptionRoundTripsAndPasswordsAreTriedInOrder) {
    const QByteArray zip = QByteArray("PK\x03\x04 a package of 5000 bytes ").leftJustified(5000, 'z');
    for (bool agile : {true, false}) {
        SCOPED_TRACE(agile ? "agile" : "standard");
        const EncryptedStreams byUser = encryptPackage(zip, QStringLiteral("秘密"), agile, 1000);
        int asked = 0;
        EXPECT_EQ(decryptPackage(byUser.encryptionInfo, byUser.encryptedPackage, QStringLiteral("t.xlsx"),
                                 answers({QStringLiteral("wrong"), QStringLiteral("秘密")}, &asked)),
                  zip)
            << "a second answer after a wrong one must be tried; the size field must cut the padding";
        EXPECT_EQ(asked, 2);
        EXPECT_EQ(failureOf(byUser, {}), ReadFailure::PasswordNeeded);
        EXPECT_EQ(failureOf(byUser, answers({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("秘密")})),
                  ReadFailure::PasswordWrong)
            << "only two answers are asked for, as for .xls";

        const EncryptedStreams byDefault = encryptPackage(zip, QStringLiteral("VelvetSweatshop"), agile, 1000);
        asked = 0;
        EXPECT_EQ(decryptPackage(byDefault.encryptionInfo, byDefault.encryptedPackage, QStringLiteral("t.xlsx"),
                                 answers({}, &asked)),
                  zip);
        EXPECT_EQ(asked, 0) << "the default password must open without asking";
    }
}

TEST(OoxmlCrypto, DamagedOrUnknownEncryptionIsRefusedByKind) {
    const EncryptedStreams good = encryptPackage(QByteArray(100, 'x'), QStringLiteral("p"), true, 10);
    const EncryptedStreams goodStandard = encryptPackage(QByteArray(100, 'x'), QStringLiteral("p"), false);
    auto with = [](EncryptedStreams s, const std::function<void(EncryptedStreams&)>& change) {
        change(s);
        return s;
    };
    const struct {
        EncryptedStreams streams;
        ReadFailure expected;
        const char* catches;
    } cases[] = {
        {with(good, [](auto& s) { s.encryptionInfo[0] = 9; }), ReadFailure::UnknownEncryption, "an unknown version read"},
        {with(good, [](auto& s) { s.encryptionInfo.replace("SHA512", "WHIRL1"); }), ReadFailure::UnknownEncryption,
         "an unknown hash accepted"},
        {with(good, [](auto& s) { s.encryptionInfo.replace("spinCount=\"10\"", "spinCount=\"99999999\""); }),
         ReadFailure::UnknownEncryption, "a spin count that keeps the reader busy for minutes"},
        {with(good, [](auto& s) { s.encryptionInfo.truncate(40); }), ReadFailure::Damaged, "a cut description"},
        {with(good, [](auto& s) { s.encryptedPackage[5] = 0x7F; }), ReadFailure::Damaged, "a package size beyond its bytes"},
        {with(goodStandard, [](auto& s) { s.encryptionInfo[4] = 0x34; }), ReadFailure::UnknownEncryption,
         "extensible encryption read as standard"},
        {with(goodStandard, [](auto& s) { s.encryptionInfo.truncate(30); }), ReadFailure::Damaged, "a cut header"},
        {EncryptedStreams{}, ReadFailure::Damaged, "empty streams"},
    };
    for (const auto& c : cases) EXPECT_EQ(failureOf(c.streams, answers({QStringLiteral("p")})), c.expected) << c.catches;
}

}  // namespace
