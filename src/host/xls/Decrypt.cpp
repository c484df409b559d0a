#include "host/xls/Decrypt.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/xls/DecryptKeys.h"
#include "host/xls/DecryptXor.h"
#include "host/xls/RecordStream.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>

namespace tabulon::xls {

const QString kPasswordNeeded = host::readFailureText(host::ReadFailure::PasswordNeeded);
const QString kPasswordWrong = host::readFailureText(host::ReadFailure::PasswordWrong);
const QString kUnknownEncryption = host::readFailureText(host::ReadFailure::UnknownEncryption);

namespace {

constexpr size_t kBlock = 1024;

// Records whose data stays plain in an encrypted stream (MS-XLS 2.2.10).
constexpr uint16_t kUsrExcl = 0x0194, kFileLock = 0x0195, kInterfaceHdr = 0x00E1, kRrdInfo = 0x0196,
                   kRrdHead = 0x0138;

bool staysPlain(uint16_t type) {
    return type == rt::Bof || type == rt::FilePass || type == kUsrExcl || type == kFileLock ||
           type == kInterfaceHdr || type == kRrdInfo || type == kRrdHead;
}

[[noreturn]] void fail(const QString& path, host::ReadFailure kind, ErrorDetail detail = {}) {
    host::raiseReadFailure(kind, path, {}, std::move(detail));
}

struct Header {
    uint16_t type = 0;
    size_t size = 0;
};

bool headerAt(const QByteArray& stream, size_t at, Header& h) {
    if (at + 4 > size_t(stream.size())) return false;
    const auto* p = reinterpret_cast<const uint8_t*>(stream.constData()) + at;
    h.type = uint16_t(p[0] | (p[1] << 8));
    h.size = size_t(p[2] | (p[3] << 8));
    return true;
}

// What the FILEPASS record says: the scheme, the salt and the verifier.
struct Encryption {
    bool xor_ = false;  // XOR obfuscation: only the key and verifier below
    uint16_t xorKey = 0, xorVerifier = 0;
    BlockKeys::Scheme scheme = BlockKeys::Scheme::Rc4;
    int keyBits = 128;
    Rc4Verifier verifier;
};

Encryption readFilePass(const QByteArray& stream, size_t at, const QString& path) {
    Header h;
    headerAt(stream, at, h);
    const size_t from = at + 4;
    const size_t size = std::min(h.size, size_t(stream.size()) - std::min(size_t(stream.size()), from));
    const auto* data = reinterpret_cast<const uint8_t*>(stream.constData()) + from;
    size_t pos = 0;
    const auto unknown = [&](const QString& found) {
        ErrorDetail d;
        d.record = rt::FilePass;
        d.offset = at;
        d.found = found;
        fail(path, host::ReadFailure::UnknownEncryption, d);
    };
    const auto bytes = [&](size_t n) {
        if (size - pos < n) unknown(QStringLiteral("a FILEPASS record of %1 bytes").arg(size));
        QByteArray out(reinterpret_cast<const char*>(data + pos), qsizetype(n));
        pos += n;
        return out;
    };
    const auto u16 = [&] {
        const QByteArray b = bytes(2);
        return uint16_t(uint8_t(b[0]) | (uint8_t(b[1]) << 8));
    };
    const auto u32 = [&] {
        const uint32_t low = u16();
        return low | (uint32_t(u16()) << 16);
    };
    Encryption e;
    const uint16_t type = u16();
    if (type == 0) {  // XORObfuscation, MS-XLS 2.5.343
        e.xor_ = true;
        e.xorKey = u16();
        e.xorVerifier = u16();
        return e;
    }
    if (type != 1) unknown(QStringLiteral("encryption type %1").arg(type));
    const uint16_t major = u16(), minor = u16();
    if (major == 1 && minor == 1) {
        e.scheme = BlockKeys::Scheme::Rc4;
        e.verifier.salt = bytes(16);
        e.verifier.verifier = bytes(16);
        e.verifier.verifierHash = bytes(16);
        return e;
    }
    if (major < 2 || major > 4 || minor != 2) unknown(QStringLiteral("encryption version %1.%2").arg(major).arg(minor));
    e.scheme = BlockKeys::Scheme::CryptoApi;
    u32();  // the header flags, repeated in the header
    const uint32_t headerSize = u32();
    if (headerSize < 32 || headerSize > size - pos) unknown(QStringLiteral("an encryption header of %1 bytes").arg(headerSize));
    const size_t headerEnd = pos + headerSize;
    u32();  // flags
    u32();  // size of extra data
    const uint32_t algId = u32(), hashId = u32(), keyBits = u32();
    if (algId != 0 && algId != 0x6801) unknown(QStringLiteral("cipher 0x%1").arg(algId, 4, 16, QLatin1Char('0')));
    if (hashId != 0 && hashId != 0x8004) unknown(QStringLiteral("hash 0x%1").arg(hashId, 4, 16, QLatin1Char('0')));
    e.keyBits = keyBits == 0 ? 40 : int(keyBits);
    if (e.keyBits < 40 || e.keyBits > 128 || e.keyBits % 8) unknown(QStringLiteral("a key of %1 bits").arg(keyBits));
    bytes(headerEnd - pos);  // provider type, reserved, provider name
    if (u32() != 16) unknown(QStringLiteral("a salt that is not 16 bytes"));
    e.verifier.salt = bytes(16);
    e.verifier.verifier = bytes(16);
    const uint32_t hashSize = u32();
    if (hashSize != 20) unknown(QStringLiteral("a verifier hash of %1 bytes").arg(hashSize));
    e.verifier.verifierHash = bytes(20);
    return e;
}

// Decrypts the bytes [begin, end) of the stream, which belong to a record
// of `size` data bytes.
using Decipher = std::function<void(uint8_t* bytes, size_t begin, size_t end, size_t size)>;

// RC4: the cipher restarts with the block's own key at each 1024-byte
// boundary of the stream, and runs over the headers and plain records too
// (their bytes use it up unchanged).
Decipher rc4Decipher(std::shared_ptr<const BlockKeys> keys) {
    struct State {
        uint32_t block = uint32_t(-1);
        std::array<uint8_t, kBlock> pad{};
    };
    auto state = std::make_shared<State>();
    return [keys, state](uint8_t* bytes, size_t begin, size_t end, size_t) {
        for (size_t p = begin; p < end; ++p) {
            if (p / kBlock != state->block) {
                state->block = uint32_t(p / kBlock);
                Rc4 cipher(keys->key(state->block));
                for (uint8_t& b : state->pad) b = cipher.next();
            }
            bytes[p] ^= state->pad[p % kBlock];
        }
    };
}

// XOR obfuscation: a record's first data byte takes the array entry of its
// stream offset plus the record's size, the following ones the next entries
// (MS-XLS 2.2.10).
Decipher xorDecipher(std::shared_ptr<const XorObfuscation> xorKeys) {
    return [xorKeys](uint8_t* bytes, size_t begin, size_t end, size_t size) {
        xorKeys->decrypt(bytes + begin, end - begin, (begin + size) % 16);
    };
}

// Decrypts the record data from `from` on.
void decryptRecords(QByteArray& stream, size_t from, const Decipher& decipher) {
    auto* bytes = reinterpret_cast<uint8_t*>(stream.data());
    const size_t total = size_t(stream.size());
    Header h;
    for (size_t at = from; headerAt(stream, at, h); at += 4 + h.size) {
        if (staysPlain(h.type)) continue;
        size_t begin = at + 4;
        const size_t end = std::min(total, begin + h.size);
        // A sheet's position in the stream stays readable without the key.
        if (h.type == rt::BoundSheet8) begin = std::min(end, begin + 4);
        decipher(bytes, begin, end, h.size);
    }
}

}  // namespace

std::optional<size_t> filePassEnd(const QByteArray& stream) {
    Header bof, next;
    if (!headerAt(stream, 0, bof) || bof.type != rt::Bof) return std::nullopt;
    const size_t at = 4 + bof.size;
    if (!headerAt(stream, at, next) || next.type != rt::FilePass) return std::nullopt;
    return at + 4 + next.size;
}

QByteArray decryptWorkbookStream(const QByteArray& stream, const QString& path, const PasswordAsk& ask) {
    const std::optional<size_t> end = filePassEnd(stream);
    if (!end) return stream;
    Header bof;
    headerAt(stream, 0, bof);
    const Encryption e = readFilePass(stream, 4 + bof.size, path);
    const auto open = [&](const QString& password) -> Decipher {
        if (e.xor_) {
            auto xorKeys = std::make_shared<const XorObfuscation>(password);
            if (!xorKeys->verifies(e.xorKey, e.xorVerifier)) return {};
            return xorDecipher(xorKeys);
        }
        auto keys = std::make_shared<const BlockKeys>(e.scheme, password, e.verifier.salt, e.keyBits);
        if (!keys->verifies(e.verifier)) return {};
        return rc4Decipher(keys);
    };
    Decipher keys = open(kDefaultPassword);
    bool triedOne = false;
    for (int attempt = 0; !keys && attempt < 2 && ask; ++attempt) {
        const std::optional<QString> given = ask(attempt);
        if (!given) break;
        triedOne = true;
        keys = open(*given);
    }
    if (!keys) fail(path, triedOne ? host::ReadFailure::PasswordWrong : host::ReadFailure::PasswordNeeded);
    QByteArray plain = stream;
    decryptRecords(plain, *end, keys);
    return plain;
}

}  // namespace tabulon::xls
