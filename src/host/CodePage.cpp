#include "host/CodePage.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

namespace tabulon::host {
namespace {

// The iconv name of a Windows code page. 932 must be Microsoft's table
// (CP932): plain Shift_JIS maps 0x8160 to U+301C where Windows shows U+FF5E,
// and lacks the NEC and IBM extensions (circled digits, ㈱).
QByteArray iconvName(int codePage) {
    switch (codePage) {
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "BIG5";
    case 65001: return "UTF-8";
    case 1200: return "UTF-16LE";
    case 10000: return "MACINTOSH";
    default: return "CP" + QByteArray::number(codePage);
    }
}

struct IconvHandle {
    iconv_t cd;
    explicit IconvHandle(const QByteArray& from) : cd(iconv_open("UTF-16LE", from.constData())) {}
    ~IconvHandle() {
        if (ok())
            iconv_close(cd);
    }
    bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

QString convert(IconvHandle& handle, const QByteArray& bytes) {
    QString result;
    result.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(handle.cd, &in, &inLeft, &out, &outLeft);
        result.append(reinterpret_cast<const QChar*>(buffer),
                      static_cast<qsizetype>((sizeof buffer - outLeft) / 2));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (an incomplete sequence at the end): one byte is
        // lost, the rest is read on.
        result.append(QChar(0xFFFD));
        ++in;
        --inLeft;
        iconv(handle.cd, nullptr, nullptr, nullptr, nullptr);
    }
    return result;
}

}  // namespace

bool isKnownCodePage(int codePage) {
    return IconvHandle(iconvName(codePage)).ok();
}

QString decodeCodePage(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty())
        return {};
    IconvHandle handle(iconvName(codePage));
    if (handle.ok())
        return convert(handle, bytes);
    IconvHandle western("CP1252");
    if (western.ok())
        return convert(western, bytes);
    return QString::fromLatin1(bytes);
}

}  // namespace tabulon::host
