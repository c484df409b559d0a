#pragma once
// The keys of the two RC4 schemes a 97-2003 workbook is encrypted with
// (MS-OFFCRYPTO 2.3.6 RC4, 2.3.5 RC4 CryptoAPI), the cipher itself, and the
// check that a password is the one the file was saved with. Everything stays
// in memory; nothing here knows about records.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace tabulon::xls {

// The stream cipher: symmetric, so the same call encrypts and decrypts.
class Rc4 {
public:
    explicit Rc4(const QByteArray& key);
    uint8_t next();
    void apply(uint8_t* data, size_t size);

private:
    std::array<uint8_t, 256> s_{};
    uint8_t i_ = 0, j_ = 0;
};

// The salt and the encrypted verifier pair the file stores.
struct Rc4Verifier {
    QByteArray salt;          // 16 bytes
    QByteArray verifier;      // 16 bytes, encrypted
    QByteArray verifierHash;  // 16 (MD5) or 20 (SHA-1) bytes, encrypted
};

// Derives the key of one 1024-byte block from a password. The password hash
// is worked out once per password and kept.
class BlockKeys {
public:
    enum class Scheme { Rc4, CryptoApi };
    // keyBits: the CryptoAPI key length (40 to 128); ignored for plain RC4.
    BlockKeys(Scheme scheme, const QString& password, const QByteArray& salt, int keyBits = 40);
    QByteArray key(uint32_t block) const;
    // True when the verifier decrypts to a value whose hash the file holds.
    bool verifies(const Rc4Verifier& v) const;

private:
    Scheme scheme_;
    QByteArray base_;  // RC4: the truncated salted hash; CryptoAPI: H(salt + password)
    int keyBytes_ = 16;
};

}  // namespace tabulon::xls
