#include "host/ooxml/crypto/EncryptedPackage.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/CompoundFile.h"
#include "host/ooxml/crypto/CryptoPrimitives.h"
#include "host/ooxml/xml/XmlStream.h"
#include "host/xls/Decrypt.h"
#include "host/xls/ByteCursor.h"

#include <functional>

namespace tabulon::ooxml {

namespace {

// The spreadsheet's largest spin count is 10,000,000 (MS-OFFCRYPTO 2.3.4.11);
// a description asking for more would only keep the reader busy.
constexpr int kMaxSpinCount = 10000000;
constexpr qsizetype kSegment = 4096;

// Block keys of agile encryption, MS-OFFCRYPTO 2.3.4.13.
const QByteArray kVerifierInputBlock = QByteArray::fromHex("fea7d2763b4b9e79");
const QByteArray kVerifierValueBlock = QByteArray::fromHex("d7aa0f6d3061344e");
const QByteArray kKeyValueBlock = QByteArray::fromHex("146e0be7abacd0d6");

[[noreturn]] void fail(const QString& path, host::ReadFailure kind, const QString& why = {}) {
    host::raiseReadFailure(kind, path, why);
}

QByteArray le32(uint32_t v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

// A key or IV cut to `size` bytes, or filled up with `fill`.
QByteArray fitted(QByteArray b, qsizetype size, char fill) {
    if (b.size() > size) b.truncate(size);
    while (b.size() < size) b.append(fill);
    return b;
}

// One password's decipher of the package, or nothing when it does not open it.
using Opener = std::function<std::optional<QByteArray>(const QString& password)>;

// --- standard encryption (MS-OFFCRYPTO 2.3.4.5 - 2.3.4.9) --------------------

struct Standard {
    int keyBytes = 16;
    QByteArray salt, verifier, verifierHash;
};

QByteArray bytes(xls::ByteCursor& c, size_t n) { return QByteArray(reinterpret_cast<const char*>(c.take(n)), qsizetype(n)); }

Standard readStandard(xls::ByteCursor& c, const QString& path) {
    const uint32_t flags = c.u32();
    if (flags & 0x10) fail(path, host::ReadFailure::UnknownEncryption, QStringLiteral("extensible encryption"));
    if (!(flags & 0x20)) fail(path, host::ReadFailure::UnknownEncryption, QStringLiteral("standard encryption without AES"));
    const uint32_t headerSize = c.u32();
    if (headerSize < 32 || headerSize > c.remaining()) fail(path, host::ReadFailure::Damaged, QStringLiteral("encryption header"));
    xls::ByteCursor h("encryption header", c.take(headerSize), headerSize);
    h.skip(8);  // flags, size extra
    const uint32_t algorithm = h.u32();
    const uint32_t hashAlgorithm = h.u32();
    Standard s;
    s.keyBytes = int(h.u32() / 8);
    if ((algorithm != 0x660E && algorithm != 0x660F && algorithm != 0x6610) || (hashAlgorithm != 0 && hashAlgorithm != 0x8004) ||
        !isAesKeySize(s.keyBytes))
        fail(path, host::ReadFailure::UnknownEncryption,
             QStringLiteral("cipher 0x%1 with hash 0x%2").arg(algorithm, 0, 16).arg(hashAlgorithm, 0, 16));
    const uint32_t saltSize = c.u32();
    if (saltSize != 16) fail(path, host::ReadFailure::Damaged, QStringLiteral("salt of %1 bytes").arg(saltSize));
    s.salt = bytes(c, 16);
    s.verifier = bytes(c, 16);
    c.skip(4);  // verifier hash size: 20 for SHA-1
    s.verifierHash = bytes(c, 32);
    return s;
}

QByteArray standardKey(const Standard& s, const QString& password) {
    const HashKind sha1 = hashNamed(QStringLiteral("SHA1"));
    const QByteArray h = hash(sha1, spunPasswordHash(sha1, s.salt, password, 50000), le32(0));
    QByteArray x1(64, char(0x36)), x2(64, char(0x5C));
    for (int i = 0; i < h.size(); ++i) x1[i] = char(x1[i] ^ h[i]), x2[i] = char(x2[i] ^ h[i]);
    return (hash(sha1, x1) + hash(sha1, x2)).left(s.keyBytes);
}

Opener standardOpener(const Standard& s, const QByteArray& package) {
    return [s, &package](const QString& password) -> std::optional<QByteArray> {
        const QByteArray key = standardKey(s, password);
        const QByteArray verifier = aesDecrypt(key, {}, s.verifier);
        const QByteArray expected = aesDecrypt(key, {}, s.verifierHash).left(20);
        if (hash(hashNamed(QStringLiteral("SHA1")), verifier) != expected) return std::nullopt;
        return aesDecrypt(key, {}, package.mid(8));
    };
}

// --- agile encryption (MS-OFFCRYPTO 2.3.4.10 - 2.3.4.15) ---------------------

struct AgileKey {
    QString cipher, chaining, hashName;
    int keyBits = 0, blockSize = 16, spinCount = 0, hashSize = 0;
    QByteArray salt, verifierInput, verifierValue, keyValue;
};

class AgileDescription : public XmlHandler {
public:
    AgileKey data, password;
    bool hasPassword = false;
    void start(const XmlElement& e) override {
        if (e.is("keyData")) read(e, data);
        else if (e.is("encryptedKey") && e.has("spinCount") && !hasPassword) {
            read(e, password);
            hasPassword = true;
        }
    }
    static void read(const XmlElement& e, AgileKey& k) {
        k.cipher = e.text("cipherAlgorithm");
        k.chaining = e.text("cipherChaining");
        k.hashName = e.text("hashAlgorithm");
        k.keyBits = int(e.integer("keyBits"));
        k.blockSize = int(e.integer("blockSize", 16));
        k.hashSize = int(e.integer("hashSize"));
        k.spinCount = int(e.integer("spinCount"));
        auto b64 = [&](std::string_view n) { return QByteArray::fromBase64(QByteArray(e.attr(n).data(), qsizetype(e.attr(n).size()))); };
        k.salt = b64("saltValue");
        k.verifierInput = b64("encryptedVerifierHashInput");
        k.verifierValue = b64("encryptedVerifierHashValue");
        k.keyValue = b64("encryptedKeyValue");
    }
};

void checkAgile(const AgileKey& k, const QString& path) {
    if (k.cipher != u"AES" || (k.chaining != u"ChainingModeCBC") || !isAesKeySize(k.keyBits / 8) || k.blockSize != 16 ||
        !hashNamed(k.hashName) || k.salt.size() < 1)
        fail(path, host::ReadFailure::UnknownEncryption,
             QStringLiteral("agile encryption with %1 %2 %3").arg(k.cipher, k.chaining, k.hashName));
}

Opener agileOpener(const AgileDescription& d, const QByteArray& package, const QString& path) {
    checkAgile(d.data, path);
    checkAgile(d.password, path);
    if (d.password.spinCount < 0 || d.password.spinCount > kMaxSpinCount)
        fail(path, host::ReadFailure::UnknownEncryption, QStringLiteral("spin count %1").arg(d.password.spinCount));
    return [d, &package](const QString& password) -> std::optional<QByteArray> {
        const AgileKey& p = d.password;
        const HashKind h = hashNamed(p.hashName);
        const QByteArray spun = spunPasswordHash(h, p.salt, password, p.spinCount);
        const auto keyFor = [&](const QByteArray& block) { return fitted(hash(h, spun, block), p.keyBits / 8, char(0x36)); };
        const QByteArray iv = fitted(p.salt, p.blockSize, char(0x36));
        const QByteArray input = aesDecrypt(keyFor(kVerifierInputBlock), iv, p.verifierInput).left(p.salt.size());
        const QByteArray value = aesDecrypt(keyFor(kVerifierValueBlock), iv, p.verifierValue);
        if (hash(h, input) != value.left(h.size)) return std::nullopt;
        const QByteArray secret = aesDecrypt(keyFor(kKeyValueBlock), iv, p.keyValue).left(d.data.keyBits / 8);
        const HashKind dh = hashNamed(d.data.hashName);
        QByteArray plain;
        plain.reserve(package.size());
        for (qsizetype at = 8, n = 0; at < package.size(); at += kSegment, ++n) {
            const QByteArray segmentIv = fitted(hash(dh, d.data.salt, le32(uint32_t(n))), d.data.blockSize, char(0x36));
            plain += aesDecrypt(secret, segmentIv, package.mid(at, kSegment));
        }
        return plain;
    };
}

}  // namespace

bool holdsEncryptedPackage(const cfb::CompoundFile& file) {
    return file.rootStream(QStringLiteral("EncryptionInfo")).has_value() &&
           file.rootStream(QStringLiteral("EncryptedPackage")).has_value();
}

QByteArray decryptPackage(const cfb::CompoundFile& file, const QString& path, const host::PasswordAsk& ask) {
    const auto info = file.rootStream(QStringLiteral("EncryptionInfo"));
    const auto package = file.rootStreamView(QStringLiteral("EncryptedPackage"));
    if (!info || !package) fail(path, host::ReadFailure::NotWorkbook, QStringLiteral("no encrypted package"));
    return decryptPackage(*info, *package, path, ask);
}

QByteArray decryptPackage(const QByteArray& info, const QByteArray& package, const QString& path, const host::PasswordAsk& ask) {
    Opener open;
    uint64_t size = 0;
    try {
        xls::ByteCursor c("EncryptionInfo", info);
        const int major = c.u16(), minor = c.u16();
        xls::ByteCursor p("EncryptedPackage", package);
        size = p.u64();
        if (minor == 2 && (major == 2 || major == 3 || major == 4)) {
            open = standardOpener(readStandard(c, path), package);
        } else if (major == 4 && minor == 4) {
            c.skip(4);  // reserved flags
            AgileDescription d;
            parseXml(info.mid(qsizetype(c.pos())), QStringLiteral("EncryptionInfo"), d);
            if (!d.hasPassword) fail(path, host::ReadFailure::UnknownEncryption, QStringLiteral("no password key"));
            open = agileOpener(d, package, path);
        } else {
            fail(path, host::ReadFailure::UnknownEncryption, QStringLiteral("encryption version %1.%2").arg(major).arg(minor));
        }
    } catch (const host::ReadError&) {
        throw;
    } catch (const Error& e) {
        fail(path, host::ReadFailure::Damaged, QStringLiteral("encryption description: %1").arg(e.description()));
    }
    if (size > uint64_t(package.size()) - 8)
        fail(path, host::ReadFailure::Damaged, QStringLiteral("the encrypted package claims %1 bytes").arg(size));

    std::optional<QByteArray> plain = open(xls::kDefaultPassword);
    bool triedOne = false;
    for (int attempt = 0; !plain && attempt < 2 && ask; ++attempt) {
        const std::optional<QString> given = ask(attempt);
        if (!given) break;
        triedOne = true;
        plain = open(*given);
    }
    if (!plain) fail(path, triedOne ? host::ReadFailure::PasswordWrong : host::ReadFailure::PasswordNeeded);
    plain->truncate(qsizetype(size));
    return *plain;
}

EncryptedStreams encryptPackage(const QByteArray& zip, const QString& password, bool agile, int spinCount) {
    EncryptedStreams out;
    QByteArray sizeField;
    for (int i = 0; i < 8; ++i) sizeField.append(char((uint64_t(zip.size()) >> (8 * i)) & 0xFF));
    const QByteArray padded = fitted(zip, (zip.size() + 15) / 16 * 16 + (agile ? 0 : 0), '\0');
    if (!agile) {
        Standard s;
        s.salt = randomBytes(16);
        const QByteArray key = standardKey(s, password);
        const QByteArray verifier = randomBytes(16);
        const QByteArray verifierHash = fitted(hash(hashNamed(QStringLiteral("SHA1")), verifier), 32, '\0');
        QByteArray info = QByteArray::fromHex("04000200") + le32(0x24) + le32(32);
        info += le32(0x24) + le32(0) + le32(0x660E) + le32(0x8004) + le32(128) + le32(0x18) + le32(0) + le32(0);
        info += le32(16) + s.salt + aesEncrypt(key, {}, verifier) + le32(20) + aesEncrypt(key, {}, verifierHash);
        out.encryptionInfo = info;
        out.encryptedPackage = sizeField + aesEncrypt(key, {}, padded);
        return out;
    }
    const HashKind h = hashNamed(QStringLiteral("SHA512"));
    const QByteArray dataSalt = randomBytes(16), keySalt = randomBytes(16), secret = randomBytes(32);
    const QByteArray spun = spunPasswordHash(h, keySalt, password, spinCount);
    const auto keyFor = [&](const QByteArray& block) { return fitted(hash(h, spun, block), 32, char(0x36)); };
    const QByteArray input = randomBytes(16);
    const auto b64 = [](const QByteArray& b) { return QString::fromLatin1(b.toBase64()); };
    const QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<encryption xmlns=\"http://schemas.microsoft.com/office/2006/encryption\" "
        "xmlns:p=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
        "<keyData saltSize=\"16\" blockSize=\"16\" keyBits=\"256\" hashSize=\"64\" cipherAlgorithm=\"AES\" "
        "cipherChaining=\"ChainingModeCBC\" hashAlgorithm=\"SHA512\" saltValue=\"%1\"/>"
        "<keyEncryptors><keyEncryptor uri=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
        "<p:encryptedKey spinCount=\"%2\" saltSize=\"16\" blockSize=\"16\" keyBits=\"256\" hashSize=\"64\" "
        "cipherAlgorithm=\"AES\" cipherChaining=\"ChainingModeCBC\" hashAlgorithm=\"SHA512\" saltValue=\"%3\" "
        "encryptedVerifierHashInput=\"%4\" encryptedVerifierHashValue=\"%5\" encryptedKeyValue=\"%6\"/>"
        "</keyEncryptor></keyEncryptors></encryption>")
        .arg(b64(dataSalt)).arg(spinCount).arg(b64(keySalt),
             b64(aesEncrypt(keyFor(kVerifierInputBlock), keySalt, input)),
             b64(aesEncrypt(keyFor(kVerifierValueBlock), keySalt, hash(h, input))),
             b64(aesEncrypt(keyFor(kKeyValueBlock), keySalt, secret)));
    out.encryptionInfo = QByteArray::fromHex("04000400") + le32(0x40) + xml.toUtf8();
    out.encryptedPackage = sizeField;
    for (qsizetype at = 0, n = 0; at < padded.size(); at += kSegment, ++n)
        out.encryptedPackage += aesEncrypt(secret, fitted(hash(h, dataSalt, le32(uint32_t(n))), 16, char(0x36)), padded.mid(at, kSegment));
    return out;
}

}  // namespace tabulon::ooxml
