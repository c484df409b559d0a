#include "host/xls/DecryptXor.h"

namespace tabulon::xls {

namespace {

// MS-OFFCRYPTO 2.3.7.2: what follows the password up to 16 bytes, the key's
// starting value by password length, and one row of seven values for each
// of the 15 character positions.
constexpr uint8_t kPad[15] = {0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80, 0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00};
constexpr uint16_t kInitialCode[15] = {0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E,
                                       0x1872, 0xE139, 0xD40F, 0x84F9, 0x280C, 0xA96A, 0x4EC3};
constexpr uint16_t kXorMatrix[105] = {
    0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7, 0x9DCF, 0x2BBF,
    0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4, 0x1BA8, 0x3750, 0x6EA0, 0xDD40,
    0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45, 0xDE8A, 0xAD35, 0x4A4B, 0x9496, 0x390D, 0x721A,
    0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC, 0x5FD9, 0x47D3, 0x8FA6, 0x0F6D, 0x1EDA, 0x3DB4, 0x7B68, 0xF6D0,
    0xB861, 0x60E3, 0xC1C6, 0x93AD, 0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40, 0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10,
    0xAA51, 0x4483, 0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4, 0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C,
    0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD, 0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373, 0x06E6, 0x0DCC,
    0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462, 0x48C4};

uint8_t rotateLeft(uint8_t v, int n) { return uint8_t((v << n) | (v >> (8 - n))); }

}  // namespace

QByteArray xorPasswordBytes(const QString& password) {
    QByteArray out;
    for (const QChar ch : password) {
        if (out.size() == 15) break;
        const uint8_t low = uint8_t(ch.unicode() & 0xFF);
        out.append(char(low != 0 ? low : uint8_t(ch.unicode() >> 8)));
    }
    return out;
}

uint16_t xorVerifier(const QByteArray& password) {
    // The length first, then the characters; folded from the last one back.
    QByteArray bytes = char(password.size()) + password;
    uint16_t verifier = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const uint16_t carry = (verifier & 0x4000) ? 1 : 0;
        verifier = uint16_t((((verifier << 1) & 0x7FFF) | carry) ^ uint8_t(bytes[i]));
    }
    return verifier ^ 0xCE4B;
}

uint16_t xorKey(const QByteArray& password) {
    if (password.isEmpty() || password.size() > 15) return 0;
    uint16_t key = kInitialCode[password.size() - 1];
    int element = 0x68;  // the last entry of the matrix row of the 15th character
    for (qsizetype i = password.size() - 1; i >= 0; --i) {
        uint8_t ch = uint8_t(password[i]);
        for (int bit = 0; bit < 7; ++bit, --element) {
            if (ch & 0x40) key ^= kXorMatrix[element];
            ch = uint8_t(ch << 1);
        }
    }
    return key;
}

// The array: the password followed by the pad bytes, each XORed with the
// key's low byte (even positions) or high byte (odd ones) and rotated left
// by two; a byte is decrypted by rotating it left by three and XORing it
// with its entry. These are the rotations workbooks saved by the
// spreadsheet hold, as other readers of such files found too; the
// pseudocode of MS-OFFCRYPTO 2.3.7.2/2.3.7.3 words them differently.
XorObfuscation::XorObfuscation(const QString& password) {
    const QByteArray bytes = xorPasswordBytes(password);
    key_ = xorKey(bytes);
    verifier_ = xorVerifier(bytes);
    for (size_t i = 0; i < array_.size(); ++i) {
        const uint8_t source = i < size_t(bytes.size()) ? uint8_t(bytes[qsizetype(i)]) : kPad[i - size_t(bytes.size())];
        const uint8_t half = (i % 2 == 0) ? uint8_t(key_ & 0xFF) : uint8_t(key_ >> 8);
        array_[i] = rotateLeft(uint8_t(source ^ half), 2);
    }
}

void XorObfuscation::decrypt(uint8_t* data, size_t size, size_t start) const {
    for (size_t k = 0; k < size; ++k) data[k] = rotateLeft(data[k], 3) ^ array_[(start + k) % 16];
}

void XorObfuscation::encrypt(uint8_t* data, size_t size, size_t start) const {
    for (size_t k = 0; k < size; ++k) data[k] = rotateLeft(uint8_t(data[k] ^ array_[(start + k) % 16]), 5);
}

}  // namespace tabulon::xls
