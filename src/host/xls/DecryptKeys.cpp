#include "host/xls/DecryptKeys.h"

#include <QCryptographicHash>
#include <utility>

namespace tabulon::xls {

Rc4::Rc4(const QByteArray& key) {
    for (int k = 0; k < 256; ++k) s_[k] = uint8_t(k);
    if (key.isEmpty()) return;
    uint8_t j = 0;
    for (int k = 0; k < 256; ++k) {
        j = uint8_t(j + s_[k] + uint8_t(key[k % key.size()]));
        std::swap(s_[k], s_[j]);
    }
}

uint8_t Rc4::next() {
    i_ = uint8_t(i_ + 1);
    j_ = uint8_t(j_ + s_[i_]);
    std::swap(s_[i_], s_[j_]);
    return s_[uint8_t(s_[i_] + s_[j_])];
}

void Rc4::apply(uint8_t* data, size_t size) {
    for (size_t k = 0; k < size; ++k) data[k] ^= next();
}

namespace {

// Passwords are hashed as UTF-16LE without a terminator, at most 255
// characters as the spreadsheet accepts.
QByteArray utf16le(const QString& password) {
    QByteArray out;
    const QString p = password.left(255);
    out.reserve(p.size() * 2);
    for (QChar c : p) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

QByteArray le32(uint32_t v) {
    QByteArray out(4, '\0');
    for (int k = 0; k < 4; ++k) out[k] = char((v >> (8 * k)) & 0xFF);
    return out;
}

}  // namespace

BlockKeys::BlockKeys(Scheme scheme, const QString& password, const QByteArray& salt, int keyBits)
    : scheme_(scheme) {
    if (scheme == Scheme::Rc4) {
        // The first 5 bytes of MD5(password), with the salt, sixteen times
        // over; MD5 of that, cut to 5 bytes again.
        const QByteArray h0 = QCryptographicHash::hash(utf16le(password), QCryptographicHash::Md5).left(5);
        QByteArray buffer;
        for (int k = 0; k < 16; ++k) buffer += h0 + salt;
        base_ = QCryptographicHash::hash(buffer, QCryptographicHash::Md5).left(5);
        keyBytes_ = 16;
    } else {
        base_ = QCryptographicHash::hash(salt + utf16le(password), QCryptographicHash::Sha1);
        keyBytes_ = keyBits / 8;
    }
}

QByteArray BlockKeys::key(uint32_t block) const {
    if (scheme_ == Scheme::Rc4) return QCryptographicHash::hash(base_ + le32(block), QCryptographicHash::Md5);
    QByteArray h = QCryptographicHash::hash(base_ + le32(block), QCryptographicHash::Sha1).left(keyBytes_);
    // A 40-bit key is used as a 128-bit one whose other bits are zero.
    if (keyBytes_ == 5) h.append(QByteArray(11, '\0'));
    return h;
}

bool BlockKeys::verifies(const Rc4Verifier& v) const {
    QByteArray both = v.verifier + v.verifierHash;
    Rc4 cipher(key(0));
    cipher.apply(reinterpret_cast<uint8_t*>(both.data()), size_t(both.size()));
    const QByteArray verifier = both.left(v.verifier.size());
    const QByteArray stored = both.mid(v.verifier.size());
    const QByteArray hash = QCryptographicHash::hash(
        verifier, scheme_ == Scheme::Rc4 ? QCryptographicHash::Md5 : QCryptographicHash::Sha1);
    return stored.size() >= hash.size() && stored.left(hash.size()) == hash;
}

}  // namespace tabulon::xls
