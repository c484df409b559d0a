#include "host/ooxml/crypto/CryptoPrimitives.h"

#include "common/Error.h"

#include <cstring>
#include <memory>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace tabulon::ooxml {

namespace {

const EVP_CIPHER* aesCipher(qsizetype keyBytes, bool cbc) {
    switch (keyBytes) {
    case 16: return cbc ? EVP_aes_128_cbc() : EVP_aes_128_ecb();
    case 24: return cbc ? EVP_aes_192_cbc() : EVP_aes_192_ecb();
    case 32: return cbc ? EVP_aes_256_cbc() : EVP_aes_256_ecb();
    default: return nullptr;
    }
}

QByteArray aes(const QByteArray& key, const QByteArray& iv, const QByteArray& data, bool decrypt) {
    const EVP_CIPHER* cipher = aesCipher(key.size(), !iv.isEmpty());
    if (!cipher) throw Error(err::Refused, QStringLiteral("AES key of %1 bytes").arg(key.size()));
    if (!iv.isEmpty() && iv.size() < 16) throw Error(err::Refused, QStringLiteral("AES IV of %1 bytes").arg(iv.size()));
    std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    const auto* k = reinterpret_cast<const unsigned char*>(key.constData());
    const auto* v = iv.isEmpty() ? nullptr : reinterpret_cast<const unsigned char*>(iv.constData());
    if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, k, v, decrypt ? 0 : 1) != 1)
        throw Error(err::Refused, QStringLiteral("AES unavailable"));
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    const int whole = int(data.size() - data.size() % 16);
    QByteArray out(whole, Qt::Uninitialized);
    int n = 0;
    if (EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &n,
                         reinterpret_cast<const unsigned char*>(data.constData()), whole) != 1)
        throw Error(err::Refused, QStringLiteral("AES failed"));
    out.truncate(n);
    return out;
}

}  // namespace

HashKind hashNamed(const QString& name) {
    const QString n = name.toUpper().remove(u'-');
    const EVP_MD* md = n == u"SHA1" ? EVP_sha1()
                       : n == u"SHA256" ? EVP_sha256()
                       : n == u"SHA384" ? EVP_sha384()
                       : n == u"SHA512" ? EVP_sha512()
                       : n == u"MD5" ? EVP_md5()
                                     : nullptr;
    return md ? HashKind{md, EVP_MD_get_size(md)} : HashKind{};
}

QByteArray hash(const HashKind& kind, const QByteArray& a, const QByteArray& b) {
    QByteArray out(kind.size, Qt::Uninitialized);
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned int n = 0;
    if (!ctx || EVP_DigestInit_ex(ctx.get(), static_cast<const EVP_MD*>(kind.md), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), a.constData(), size_t(a.size())) != 1 ||
        EVP_DigestUpdate(ctx.get(), b.constData(), size_t(b.size())) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &n) != 1)
        throw Error(err::Refused, QStringLiteral("hash failed"));
    return out;
}

QByteArray spunPasswordHash(const HashKind& kind, const QByteArray& salt, const QString& password, int spinCount) {
    QByteArray utf16;
    for (const QChar c : password) utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    QByteArray h = hash(kind, salt, utf16);
    // The rounds reuse one context and one buffer: 100,000 of them are the
    // bulk of opening a package.
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    const auto* md = static_cast<const EVP_MD*>(kind.md);
    unsigned char buffer[4 + EVP_MAX_MD_SIZE];
    std::memcpy(buffer + 4, h.constData(), size_t(kind.size));
    for (int i = 0; i < spinCount; ++i) {
        buffer[0] = uint8_t(i), buffer[1] = uint8_t(i >> 8), buffer[2] = uint8_t(i >> 16), buffer[3] = uint8_t(i >> 24);
        unsigned int n = 0;
        if (EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1 || EVP_DigestUpdate(ctx.get(), buffer, 4 + size_t(kind.size)) != 1 ||
            EVP_DigestFinal_ex(ctx.get(), buffer + 4, &n) != 1)
            throw Error(err::Refused, QStringLiteral("hash failed"));
    }
    return QByteArray(reinterpret_cast<const char*>(buffer + 4), kind.size);
}

QByteArray aesDecrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& data) { return aes(key, iv, data, true); }
QByteArray aesEncrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& data) { return aes(key, iv, data, false); }
bool isAesKeySize(qsizetype bytes) { return bytes == 16 || bytes == 24 || bytes == 32; }

QByteArray randomBytes(int count) {
    QByteArray out(count, Qt::Uninitialized);
    RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), count);
    return out;
}

}  // namespace tabulon::ooxml
