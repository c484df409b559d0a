// The decryption of encrypted workbooks (XOR obfuscation, RC4, RC4
// CryptoAPI) on an arbitrary Workbook stream: the FILEPASS record as the
// stream holds it, the default password first, then one the "user" gives,
// and what decrypts read on through the workbook reader.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/xls/Decrypt.h"
#include "host/xls/Loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray stream = tabulon::fuzz::bytesOf(data, size);
    const tabulon::xls::PasswordAsk ask = [](int attempt) -> std::optional<QString> {
        if (attempt > 0) return std::nullopt;
        return QStringLiteral("ひみつpass");
    };
    try {
        (void)tabulon::xls::decryptWorkbookStream(stream, QStringLiteral("/data/book/input.xls"), ask);
        (void)tabulon::xls::readWorkbookStream(stream, QStringLiteral("/data/book/input.xls"), ask);
    } catch (const tabulon::Error&) {
    }
    return 0;
}
