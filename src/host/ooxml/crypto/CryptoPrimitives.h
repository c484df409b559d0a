#pragma once
// The hashes and AES of the package encryption, through OpenSSL's libcrypto.
#include <QByteArray>
#include <QString>

namespace tabulon::ooxml {

// A hash by the name the encryption description uses: "SHA1", "SHA256",
// "SHA384", "SHA512", "MD5". Null when unknown.
struct HashKind {
    const void* md = nullptr;  // EVP_MD
    int size = 0;
    explicit operator bool() const { return md != nullptr; }
};
HashKind hashNamed(const QString& name);
QByteArray hash(const HashKind& kind, const QByteArray& a, const QByteArray& b = {});

// The key of a password (MS-OFFCRYPTO 2.3.4.7 and 2.3.4.11): H(salt +
// UTF-16 password), then spinCount rounds of H(round + previous).
QByteArray spunPasswordHash(const HashKind& kind, const QByteArray& salt, const QString& password, int spinCount);

// AES with a key of 16, 24 or 32 bytes, no padding; data a whole number of
// blocks (a short tail is left out). Empty iv: ECB.
QByteArray aesDecrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& data);
QByteArray aesEncrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& data);
bool isAesKeySize(qsizetype bytes);

// Random bytes (for the test-side encryption).
QByteArray randomBytes(int count);

}  // namespace tabulon::ooxml
