#pragma once
// XOR obfuscation, the oldest of the three ways a 97-2003 workbook is saved
// with a password (FILEPASS wEncryptionType 0, MS-XLS 2.5.343; MS-OFFCRYPTO
// 2.3.7.1 to 2.3.7.3, "method 1"). The password gives a 16-bit key and a
// 16-bit verifier, which FILEPASS stores, and a 16-byte array; every byte of
// record data is rotated and XORed with the array entry its stream position
// picks. Nothing here knows about records.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>

namespace tabulon::xls {

// The password as the scheme takes it: one byte a character (the low byte,
// or the high one where the low is zero), at most 15 of them.
QByteArray xorPasswordBytes(const QString& password);

// CreatePasswordVerifier_Method1, MS-OFFCRYPTO 2.3.7.1.
uint16_t xorVerifier(const QByteArray& password);

// CreateXorKey_Method1, MS-OFFCRYPTO 2.3.7.2.
uint16_t xorKey(const QByteArray& password);

class XorObfuscation {
public:
    explicit XorObfuscation(const QString& password);
    // True when the key and verifier FILEPASS stores are this password's.
    bool verifies(uint16_t key, uint16_t verifier) const { return key == key_ && verifier == verifier_; }
    // Decrypts `size` bytes that lie at stream offset `at`; the array index
    // the first of them takes is `start` (the record's own rule).
    void decrypt(uint8_t* data, size_t size, size_t start) const;
    // The inverse, for writing test files.
    void encrypt(uint8_t* data, size_t size, size_t start) const;

private:
    uint16_t key_;
    uint16_t verifier_;
    std::array<uint8_t, 16> array_{};
};

}  // namespace tabulon::xls
