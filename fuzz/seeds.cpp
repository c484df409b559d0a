// fuzz_seeds OUTDIR FILE.xls...: writes the seed corpora of the fuzz targets
// from sample workbooks into OUTDIR/<target>/. Files larger than
// MaxSeedBytes are left out so that each run stays quick.
#include "common/Error.h"
#include "host/cfb/CompoundFile.h"
#include "host/ooxml/package/ZipArchive.h"
#include "host/vba/Decompress.h"
#include "host/vba/DirStream.h"
#include "host/Workbook.h"
#include "host/vba/Project.h"
#include "host/xls/Decrypt.h"
#include "host/xls/DecryptKeys.h"
#include "host/xls/DecryptXor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

using namespace tabulon;

namespace {

constexpr qint64 MaxSeedBytes = 256 * 1024;

void put(const QString& folder, const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > MaxSeedBytes) return;
    QDir().mkpath(folder);
    const QString name = QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    QFile f(folder + QLatin1Char('/') + name);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void vbaSeeds(const QString& path, const QString& out) {
    const cfb::CompoundFile file(path);
    const cfb::Storage project = file.root().storage(QStringLiteral("_VBA_PROJECT_CUR"));
    if (project.isNull()) return;
    put(out + QStringLiteral("/fuzz_vba"), readAll(path));
    const cfb::Storage code = project.storage(QStringLiteral("VBA"));
    if (code.isNull()) return;
    const QByteArray dir = code.stream(QStringLiteral("dir"), MaxSeedBytes);
    put(out + QStringLiteral("/fuzz_vba"), dir);
    for (const vba::DirModule& m : vba::parseDir(vba::decompress(dir, 0)).modules) {
        const QByteArray stream = code.stream(QString::fromLatin1(m.streamName), MaxSeedBytes);
        put(out + QStringLiteral("/fuzz_vba"), stream.mid(qsizetype(m.sourceOffset)));
    }
    const vba::Project p = vba::Project::read(project, path);
    if (!p.isPresent() || p.isProtected()) return;
    for (const vba::Component& c : p.components())
        put(out + QStringLiteral("/fuzz_code_chapters"), c.exportText.toUtf8());
}

QByteArray le(uint32_t v, int n) {
    QByteArray out;
    for (int k = 0; k < n; ++k) out.append(char((v >> (8 * k)) & 0xFF));
    return out;
}

uint32_t at16(const QByteArray& b, qsizetype at) { return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8); }

// The stream with a FILEPASS record of `data` after its first BOF and the
// sheets' positions moved past it.
QByteArray withFilePass(const QByteArray& plain, const QByteArray& data) {
    if (plain.size() < 4) return {};
    const qsizetype bofEnd = 4 + at16(plain, 2);
    const QByteArray record = le(0x2F, 2) + le(uint32_t(data.size()), 2) + data;
    QByteArray out = plain.left(bofEnd) + record + plain.mid(bofEnd);
    for (qsizetype at = bofEnd + record.size(); at + 4 <= out.size(); at += 4 + at16(out, at + 2)) {
        if (at16(out, at) != 0x85 || at + 8 > out.size()) continue;
        const uint32_t pos = at16(out, at + 4) | (at16(out, at + 6) << 16);
        out.replace(at + 4, 4, le(pos + uint32_t(record.size()), 4));
    }
    return out;
}

// Obfuscated under the default password: every record's data after FILEPASS
// but a sheet's position.
QByteArray xorSeed(const QByteArray& plain) {
    const QByteArray pass = xls::xorPasswordBytes(xls::kDefaultPassword);
    QByteArray out = withFilePass(plain, le(0, 2) + le(xls::xorKey(pass), 2) + le(xls::xorVerifier(pass), 2));
    if (out.isEmpty()) return out;
    const xls::XorObfuscation keys(xls::kDefaultPassword);
    auto* bytes = reinterpret_cast<uint8_t*>(out.data());
    for (qsizetype at = 4 + at16(out, 2) + 10; at + 4 <= out.size(); at += 4 + at16(out, at + 2)) {
        const size_t size = at16(out, at + 2), skip = at16(out, at) == 0x85 ? 4 : 0;
        const size_t begin = size_t(at) + 4 + skip, end = std::min(size_t(out.size()), size_t(at) + 4 + size);
        if (begin < end) keys.encrypt(bytes + begin, end - begin, (begin + size) % 16);
    }
    return out;
}

// Encrypted with RC4 under the default password (the cipher is its own
// inverse, so the reader's decryption encrypts).
QByteArray rc4Seed(const QByteArray& plain) {
    const QByteArray salt = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    const QByteArray verifier = QByteArray::fromHex("f00dfacecafebeef0123456789abcdef");
    QByteArray pair = verifier + QCryptographicHash::hash(verifier, QCryptographicHash::Md5);
    const xls::BlockKeys keys(xls::BlockKeys::Scheme::Rc4, xls::kDefaultPassword, salt);
    xls::Rc4(keys.key(0)).apply(reinterpret_cast<uint8_t*>(pair.data()), size_t(pair.size()));
    const QByteArray stream = withFilePass(plain, le(1, 2) + le(1, 2) + le(1, 2) + salt + pair);
    if (stream.isEmpty()) return stream;
    try {
        return xls::decryptWorkbookStream(stream, QStringLiteral("seed.xls"), {});
    } catch (const Error&) {
        return {};
    }
}

void decryptSeeds(const QByteArray& stream, const QString& out) {
    const QString folder = out + QStringLiteral("/fuzz_decrypt");
    if (xls::filePassEnd(stream)) {
        put(folder, stream);
        return;
    }
    put(folder, xorSeed(stream));
    put(folder, rc4Seed(stream));
}

// A package whole, and each of its worksheet parts for the sheet parser of
// its form (XML or binary records).
void ooxmlSeeds(const QByteArray& bytes, const QString& out) {
    put(out + QStringLiteral("/fuzz_ooxml_package"), bytes);
    try {
        const ooxml::ZipArchive zip(ooxml::PackageBytes::of(bytes), QStringLiteral("seed.xlsx"));
        for (const ooxml::ZipEntry& e : zip.entries()) {
            if (!e.name.contains(QStringLiteral("worksheets/"))) continue;
            if (e.name.endsWith(QStringLiteral(".xml")))
                put(out + QStringLiteral("/fuzz_ooxml_sheet"), zip.read(e, MaxSeedBytes));
            else if (e.name.endsWith(QStringLiteral(".bin")))
                put(out + QStringLiteral("/fuzz_xlsb_sheet"), zip.read(e, MaxSeedBytes));
        }
    } catch (const Error&) {
    }
}

// The metafile pictures of a workbook, each behind the byte that names its
// kind to the metafile target.
void metafileSeeds(const QString& path, const QString& out) {
    try {
        const host::Workbook book = host::Workbook::load(path);  // held: the loop reads into it
        for (const model::Picture& p : book.model().pictures)
            if (p.kind == model::Picture::Emf || p.kind == model::Picture::Wmf || p.kind == model::Picture::Pict)
                put(out + QStringLiteral("/fuzz_metafile"),
                    QByteArray(1, p.kind == model::Picture::Emf ? '\0' : p.kind == model::Picture::Wmf ? '\1' : '\2') + p.data);
    } catch (const Error&) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTDIR FILE.xls...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const QByteArray whole = readAll(path);
        metafileSeeds(path, out);
        if (ooxml::looksLikeZip(whole.constData(), size_t(whole.size()))) {
            ooxmlSeeds(whole, out);
            continue;
        }
        put(out + QStringLiteral("/fuzz_compound_file"), whole);
        try {
            const cfb::CompoundFile file(path);
            for (const char* name : {"Workbook", "Book"})
                if (auto s = file.rootStream(QString::fromLatin1(name))) {
                    put(out + QStringLiteral("/fuzz_workbook"), *s);
                    decryptSeeds(*s, out);
                }
        } catch (const Error&) {
        }
        try {
            vbaSeeds(path, out);
        } catch (const Error&) {
        }
    }
    return 0;
}
