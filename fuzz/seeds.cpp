// fuzz_seeds OUTDIR FILE.xls...: writes the seed corpora of the fuzz targets
// from sample workbooks into OUTDIR/<target>/. Files larger than
// MaxSeedBytes are left out so that each run stays quick.
#include "common/Error.h"
#include "host/cfb/CompoundFile.h"
#include "host/vba/Compound.h"
#include "host/vba/Decompress.h"
#include "host/vba/DirStream.h"
#include "host/vba/Project.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    const vba::Storage root = vba::Storage::open(path);
    const vba::Storage project = root.storage(QStringLiteral("_VBA_PROJECT_CUR"));
    if (project.isNull()) return;
    put(out + QStringLiteral("/fuzz_vba"), readAll(path));
    const vba::Storage code = project.storage(QStringLiteral("VBA"));
    if (code.isNull()) return;
    const QByteArray dir = code.stream(QStringLiteral("dir"), MaxSeedBytes);
    put(out + QStringLiteral("/fuzz_vba"), dir);
    for (const vba::DirModule& m : vba::parseDir(vba::decompress(dir, 0)).modules) {
        const QByteArray stream = code.stream(QString::fromLatin1(m.streamName), MaxSeedBytes);
        put(out + QStringLiteral("/fuzz_vba"), stream.mid(qsizetype(m.sourceOffset)));
    }
    const vba::Project p = vba::Project::load(path);
    if (!p.isPresent() || p.isProtected()) return;
    for (const vba::Component& c : p.components())
        put(out + QStringLiteral("/fuzz_code_chapters"), c.exportText.toUtf8());
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
        put(out + QStringLiteral("/fuzz_compound_file"), readAll(path));
        try {
            const cfb::CompoundFile file(path);
            for (const char* name : {"Workbook", "Book"})
                if (auto s = file.rootStream(QString::fromLatin1(name))) put(out + QStringLiteral("/fuzz_workbook"), *s);
        } catch (const Error&) {
        }
        try {
            vbaSeeds(path, out);
        } catch (const Error&) {
        }
    }
    return 0;
}
